#pragma once
// A test seam for dying mid-action: a back end that counts the operations that
// change the machine (file writes, copies, flushes and deletes, registry and
// profile writes, the saves of an action) and ends the process on the spot at
// the k-th, before it happens, as a kill or a power cut would: no destructor,
// no save, no flush. korvanta-drive offers it as --abort-after K, so a test can
// stop a delete at every step and check what the next start offers back.

#include <memory>

#include "store/machine_backend.h"

namespace korvanta::store {

// The process exits with this status when the seam fires.
inline constexpr int kAbortSeamExit = 86;

std::unique_ptr<MachineBackend> AbortAfter(std::unique_ptr<MachineBackend> inner, long k);

}  // namespace korvanta::store
