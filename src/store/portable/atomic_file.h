#pragma once
// Replacing a file so that nobody ever sees half of it: the new bytes go to a
// temporary file in the same folder, reach the disk, and only then take the old
// file's name in one rename. A crash or a full disk leaves the old file whole.

#include <filesystem>
#include <string>
#include <string_view>

#include "store/status.h"

namespace korvanta::store {

// Writes bytes as the new content of path. The new file keeps the old one's
// permission bits (a new file gets the usual ones); when path is a symbolic
// link, the file it points to is replaced and the link stays. A read-only file
// (no owner write bit) is not replaced, as on Windows. Returns kSuccess,
// kAccessDenied, kPathNotFound or kWriteFault; error (when given) receives the
// system's reason on failure. No temporary file is left behind either way.
// Without flush the new bytes may still be in the system's cache (the caller
// flushes a group of files at once).
Status ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                             std::string* error = nullptr, bool flush = true);

}  // namespace korvanta::store
