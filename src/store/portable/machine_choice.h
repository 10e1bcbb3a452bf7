#pragma once
// Which machine folder the Linux program works on: the one named on the command
// line, else WINEPREFIX, else ~/.wine when it exists, else the demo machine under
// the user's data folder, made from the shipped template on first run.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvanta::store {

// The parts of the environment the choice reads.
struct MachineEnvironment {
  std::optional<std::string> wineprefix;       // WINEPREFIX
  std::optional<std::string> home;             // HOME (else the password database's)
  std::optional<std::string> xdg_data_home;    // XDG_DATA_HOME
  std::optional<std::string> xdg_config_home;  // XDG_CONFIG_HOME
  static MachineEnvironment FromProcess();
};

enum class MachineSource { kCommandLine, kWinePrefix, kHomeWine, kDemo };

struct MachineChoice {
  std::filesystem::path folder;
  MachineSource source = MachineSource::kCommandLine;
  bool created = false;  // the demo machine was made just now
};

struct MachineChoiceResult {
  std::optional<MachineChoice> choice;
  std::string error;  // why there is none
};

// templates: where the demo machine's template may be, in order of preference.
MachineChoiceResult ChooseMachine(const std::optional<std::filesystem::path>& command_line,
                                  const MachineEnvironment& env,
                                  const std::vector<std::filesystem::path>& templates);

// The demo machine, made from the first template there is when it is not there.
MachineChoiceResult ChooseDemoMachine(const MachineEnvironment& env,
                                      const std::vector<std::filesystem::path>& templates);

// $XDG_DATA_HOME/korvanta/machine (XDG_DATA_HOME defaults to ~/.local/share and
// must be absolute); nothing without a home folder.
std::optional<std::filesystem::path> DemoMachineFolder(const MachineEnvironment& env);

// Copies the template to target as a whole or not at all (symbolic links stay
// links: dosdevices/c: -> ../drive_c). A target made meanwhile by another start
// is kept. False with the reason in error.
bool CreateDemoMachine(const std::filesystem::path& templ, const std::filesystem::path& target,
                       std::string& error);

}  // namespace korvanta::store
