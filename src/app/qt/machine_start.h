#pragma once
// Which machine korvanta starts on: --machine as a folder or as the name of a
// Wine prefix found on the computer, else WINEPREFIX, else the user's choice
// among the prefixes found (asked before the main window when there are
// several, and remembered), else ~/.wine or the demo machine.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "store/portable/machine_choice.h"

namespace korvanta::app::qt {

struct StartMachine {
  store::MachineChoiceResult chosen;
  std::string title;       // the machine's name for the title bar, when it has one
  bool cancelled = false;  // the user closed the chooser
};

// may_ask: whether a window may be shown to ask (not in a smoke run).
StartMachine ChooseStartMachine(const std::optional<std::string>& named,
                                const store::MachineEnvironment& env,
                                const std::vector<std::filesystem::path>& templates, bool may_ask);

// --list-machines: origin, name and folder of each machine, a tab between, one
// a line, the demo machine last. Touches no window system.
void ListMachines(std::ostream& out, const store::MachineEnvironment& env);

}  // namespace korvanta::app::qt
