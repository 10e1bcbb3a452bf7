#include "store/portable/machine_choice.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <system_error>

namespace korvanta::store {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> Env(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

}  // namespace

MachineEnvironment MachineEnvironment::FromProcess() {
  MachineEnvironment env;
  env.wineprefix = Env("WINEPREFIX");
  env.home = Env("HOME");
  if (!env.home) {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) {
      env.home = std::string(pw->pw_dir);
    }
  }
  env.xdg_data_home = Env("XDG_DATA_HOME");
  env.xdg_config_home = Env("XDG_CONFIG_HOME");
  return env;
}

std::optional<fs::path> DemoMachineFolder(const MachineEnvironment& env) {
  // A relative XDG_DATA_HOME is invalid and ignored, by the XDG base directory
  // rules.
  if (env.xdg_data_home && fs::path(*env.xdg_data_home).is_absolute()) {
    return fs::path(*env.xdg_data_home) / "korvanta" / "machine";
  }
  if (!env.home || env.home->empty()) return std::nullopt;
  return fs::path(*env.home) / ".local" / "share" / "korvanta" / "machine";
}

bool CreateDemoMachine(const fs::path& templ, const fs::path& target, std::string& error) {
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  if (ec) {
    error = "cannot create " + target.parent_path().string() + ": " + ec.message();
    return false;
  }
  // Copied beside the target under another name, then renamed into place: a
  // start that is interrupted leaves no half machine behind.
  std::random_device rd;
  fs::path partial = target.parent_path() /
                     (target.filename().string() + ".partial-" + std::to_string(rd() % 1000000));
  fs::copy(templ, partial, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  if (ec) {
    error = "cannot copy " + templ.string() + " to " + partial.string() + ": " + ec.message();
    fs::remove_all(partial, ec);
    return false;
  }
  fs::rename(partial, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    if (IsFolder(target)) return true;  // another start made it first
    error = "cannot create " + target.string() + ": " + ec.message();
    return false;
  }
  return true;
}

MachineChoiceResult ChooseMachine(const std::optional<fs::path>& command_line,
                                  const MachineEnvironment& env,
                                  const std::vector<fs::path>& templates) {
  MachineChoiceResult result;
  auto chosen = [&](const fs::path& folder, MachineSource source) {
    std::error_code ec;
    fs::path absolute = fs::absolute(folder, ec);
    result.choice = MachineChoice{ec ? folder : absolute, source, false};
    return result;
  };
  if (command_line) {
    if (!IsFolder(*command_line)) {
      result.error = "no machine folder at " + command_line->string();
      return result;
    }
    return chosen(*command_line, MachineSource::kCommandLine);
  }
  if (env.wineprefix) {
    // Naming a prefix that is not there is a mistake to report, not a reason to
    // work on another machine.
    if (!IsFolder(*env.wineprefix)) {
      result.error = "WINEPREFIX names " + *env.wineprefix + ", which is not a folder";
      return result;
    }
    return chosen(*env.wineprefix, MachineSource::kWinePrefix);
  }
  if (env.home && IsFolder(fs::path(*env.home) / ".wine")) {
    return chosen(fs::path(*env.home) / ".wine", MachineSource::kHomeWine);
  }
  return ChooseDemoMachine(env, templates);
}

MachineChoiceResult ChooseDemoMachine(const MachineEnvironment& env,
                                      const std::vector<fs::path>& templates) {
  MachineChoiceResult result;
  std::optional<fs::path> demo = DemoMachineFolder(env);
  if (!demo) {
    result.error = "no home folder to keep the demo machine in";
    return result;
  }
  if (IsFolder(*demo)) {
    result.choice = MachineChoice{*demo, MachineSource::kDemo, false};
    return result;
  }
  for (const fs::path& templ : templates) {
    if (!IsFolder(templ)) continue;
    if (!CreateDemoMachine(templ, *demo, result.error)) return result;
    result.choice = MachineChoice{*demo, MachineSource::kDemo, true};
    return result;
  }
  result.error = "no demo machine template found";
  for (const fs::path& templ : templates) result.error += "\n  looked in " + templ.string();
  return result;
}

}  // namespace korvanta::store
