#pragma once
// The machine a test may change: a fresh prefix copy in dir in the Linux build,
// the Wine machine itself with its program folder in dir in the Windows build.

#include <memory>

#include "store/machine.h"
#include "support/test_support.h"

#ifdef _WIN32
#include "store/win32/machine_win32.h"
#else
#include "store/portable/machine_portable.h"
#endif

namespace korvanta::test {

inline std::unique_ptr<store::Machine> OpenTestMachine(const TempDir& dir) {
#ifdef _WIN32
  return std::make_unique<store::Machine>(store::OpenLiveMachine(dir.path().string()));
#else
  return std::make_unique<store::Machine>(store::OpenMachineFolder(CopyFreshPrefix(dir.path())));
#endif
}

}  // namespace korvanta::test
