// profile_probe FOLDER SCENARIO...: runs profile scenarios through kernel32 on a
// Wine prefix whose files the caller has already laid out, each in FOLDER\<name>
// (a Windows path), and prints for each "=== <name>", its transcript, a
// "--registry--" line and its registry snapshot. The Linux build's differential
// test drives it.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "diff/profile_scenarios.h"
#include "store/win32/profile_win32.h"
#include "store/win32/registry_win32.h"

int main(int argc, char** argv) {
  using namespace korvanta;
  if (argc < 3) {
    std::fprintf(stderr, "usage: profile_probe FOLDER SCENARIO...\n");
    return 2;
  }
  store::Win32Registry registry;
  store::Win32Profiles profiles;
  std::string out;
  for (int i = 2; i < argc; ++i) {
    const test::ProfileScenario* scenario = test::FindProfileScenario(argv[i]);
    if (!scenario) {
      std::fprintf(stderr, "no scenario %s\n", argv[i]);
      return 2;
    }
    test::ResetRegistry(*scenario, registry);
    out += "=== " + scenario->name + "\n";
    out += test::RunProfileScenario(*scenario, profiles, std::string(argv[1]) + "\\" + argv[i]);
    out += "--registry--\n" + test::RegistrySnapshot(*scenario, registry);
  }
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
