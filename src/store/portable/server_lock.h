#pragma once
// Whether a wineserver runs on a prefix. While one runs it owns the registry
// files: it read them at its start and will write its own copy back over them,
// so our edits would be lost. It holds a write lock on byte 0 of the file
// "lock" in its server folder for its whole life; that lock is the only sure
// sign (the folder and a stale socket outlive it).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvanta::store {

// The folders where a wineserver for prefix keeps its lock, in the order they
// are checked: upstream Wine's /tmp/.wine-<uid>, Debian's /run/user/<uid>/wine,
// and Debian's temporary folder named in <prefix>/wineserver. Each ends in
// server-<dev>-<ino> of the prefix folder (links resolved). Empty when the
// prefix does not exist.
std::vector<std::filesystem::path> WineserverDirectories(const std::filesystem::path& prefix);

// The process id of the wineserver running on prefix, or nothing when none runs.
std::optional<long> RunningWineserver(const std::filesystem::path& prefix);

// The message that refuses a registry write while a wineserver runs on prefix
// (for the UI), or nothing when writing is safe.
std::optional<std::string> WineserverWriteRefusal(const std::filesystem::path& prefix);

}  // namespace korvanta::store
