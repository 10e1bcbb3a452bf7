// Opens the machine the conformance suite runs against, per build.

#include <cstdlib>
#include <filesystem>

#include "store/conformance.h"
#include "support/test_support.h"

#ifdef _WIN32
#include "store/win32/machine_win32.h"
#include "store/win32/windows_api.h"
#else
#include "store/portable/machine_portable.h"
#endif

namespace korvanta::test {

#ifdef _WIN32

ConformanceMachine OpenConformanceMachine() {
  static TempDir scratch;  // C:\users\...\Temp\korvanta-test-N under Wine
  std::string folder = scratch.path().string();
  std::filesystem::create_directories(scratch.path() / "program");
  return {std::make_unique<Machine>(OpenLiveMachine(folder + "\\program")), folder, "win32"};
}

void ChangeUserTemp(Machine&, const std::string& folder) {
  // GetTempPath answers from the process environment.
  SetEnvironmentVariableA("TMP", folder.c_str());
  SetEnvironmentVariableA("TEMP", folder.c_str());
}

#else

ConformanceMachine OpenConformanceMachine() {
  static TempDir scratch;
  std::filesystem::path prefix = CopyFreshPrefix(scratch.path());
  auto machine = std::make_unique<Machine>(OpenMachineFolder(prefix));
  return {std::move(machine), "C:\\korvanta-tests", "portable"};
}

void ChangeUserTemp(Machine& machine, const std::string& folder) {
  // The portable machine reads the user's TEMP from its registry.
  machine.reg().SetValue(RegRoot::kCurrentUser, "Environment", "TEMP", kRegSz, Variant(folder));
}

#endif

}  // namespace korvanta::test
