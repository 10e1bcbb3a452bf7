#pragma once
// What a Wine prefix says of itself in its system.reg: the architecture wineboot
// made it for and the Windows version it reports. A chooser reads this for every
// prefix on the computer, so the hive is never loaded: the head of the file
// gives the architecture, and the version key is found by bisecting the file,
// whose keys wineserver writes in its own sorted order.

#include <filesystem>
#include <string>

namespace korvanta::store {

struct PrefixFacts {
  std::string architecture;  // "win32", "win64", or empty when not said
  std::string windows;       // "Windows 7 Service Pack 1", or empty
};

// Empty facts for a file that is missing, unreadable or not a Wine registry file.
PrefixFacts ReadPrefixFacts(const std::filesystem::path& system_reg);

}  // namespace korvanta::store
