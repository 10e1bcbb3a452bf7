#pragma once
// Every Wine prefix on the computer: the user's own, and those that Wine front
// ends and game launchers keep in their own places (winetricks, Bottles, Lutris,
// Steam's Proton, Heroic, PlayOnLinux, CrossOver, PortProton). Only reads; a
// configuration file that is missing, unreadable, malformed or huge is passed by.

#include <filesystem>
#include <string>
#include <vector>

#include "store/portable/machine_choice.h"
#include "store/portable/prefix_facts.h"

namespace korvanta::store {

struct FoundPrefix {
  std::string origin;  // the program that made it, by its own name: "Bottles", "Steam"
  std::string name;    // the bottle's, the game's, else the folder's name
  std::filesystem::path path;
  PrefixFacts facts;
};

// A folder holding system.reg, user.reg and drive_c, links followed.
bool IsWinePrefix(const std::filesystem::path& folder);

// In the order the places are looked at; a folder reached twice (through a
// link, or named by two programs) appears once, as first found.
std::vector<FoundPrefix> DiscoverPrefixes(const MachineEnvironment& env);

}  // namespace korvanta::store
