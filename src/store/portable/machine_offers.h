#pragma once
// The machines the Linux program offers when none is named: every Wine prefix
// found, the one chosen last time first, the demo machine always last. The last
// choice is kept in $XDG_CONFIG_HOME/korvanta/machine (one line, its folder).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/portable/machine_choice.h"
#include "store/portable/prefix_discovery.h"

namespace korvanta::store {

inline constexpr std::string_view kDemoOrigin = "Korvanta";
inline constexpr std::string_view kDemoName = "演示计算机";
inline constexpr std::string_view kInUseMark = "（Wine 正在使用）";

struct MachineOffer {
  FoundPrefix prefix;
  bool demo = false;
  bool in_use = false;      // a wineserver runs on it: its registry is Wine's
  bool remembered = false;  // chosen last time
};

// The discovered prefixes, then the demo machine (demo_facts_from: the system.reg
// its facts are read from while it is not made yet; it may not exist).
std::vector<MachineOffer> OfferMachines(const MachineEnvironment& env,
                                        const std::filesystem::path& demo_facts_from = {});

// The title bar's words for a machine: "Steam：Half-Life 2".
std::string MachineTitle(const FoundPrefix& prefix);

// A machine by its name, or by origin/name, as --machine gives it; an error
// when none or several answer to it.
struct NamedMachine {
  std::optional<MachineOffer> offer;
  std::string error;
};
NamedMachine FindMachineNamed(const std::vector<MachineOffer>& offers, std::string_view name);

std::optional<std::filesystem::path> RememberedMachineFile(const MachineEnvironment& env);
std::optional<std::filesystem::path> RememberedMachine(const MachineEnvironment& env);
bool RememberMachine(const MachineEnvironment& env, const std::filesystem::path& folder);

}  // namespace korvanta::store
