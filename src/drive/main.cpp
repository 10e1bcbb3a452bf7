// korvanta-drive: runs the program with no window on a machine, from a scenario
// read from a file or standard input, and writes what happens to standard output.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "app/forms.h"
#include "drive/drive_host.h"
#include "drive/scenario.h"
#include "services/change_history.h"
#include "services/program.h"
#include "store/abort_seam.h"
#include "store/clock.h"
#include "store/machine.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "store/win32/machine_win32.h"
#else
#include "store/portable/machine_portable.h"
#endif

namespace {

int Usage() {
#ifdef _WIN32
  std::cerr << "usage: korvanta-drive [--dry-run] [--abort-after K] [SCENARIO]\n";
#else
  std::cerr << "usage: korvanta-drive --machine DIR [--host-drives] [--dry-run] [--abort-after K] "
               "[SCENARIO]\n";
#endif
  std::cerr << "  --dry-run  change nothing: print what each action would change\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvanta;
  std::optional<std::string> machine_dir, scenario;
  bool host_drives = false;
  bool dry_run = false;
  long abort_after = 0;  // the program dies at this change of the machine (tests)
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--machine" && i + 1 < argc) {
      machine_dir = argv[++i];
    } else if (arg == "--host-drives") {
      host_drives = true;
    } else if (arg == "--dry-run") {
      dry_run = true;
    } else if (arg == "--abort-after" && i + 1 < argc) {
      abort_after = std::strtol(argv[++i], nullptr, 10);
      if (abort_after <= 0) return Usage();
    } else if (!arg.empty() && arg[0] != '-' && !scenario) {
      scenario = arg;
    } else {
      return Usage();
    }
  }
#ifdef _WIN32
  // The Windows build works on the machine it runs on, all of it.
  if (machine_dir || host_drives) return Usage();
  _setmode(_fileno(stdout), _O_BINARY);
  std::unique_ptr<store::MachineBackend> backend = store::OpenLiveMachine();
#else
  if (!machine_dir) return Usage();
  store::MachineFolderOptions options;
  options.host_drives = host_drives;
  options.untouched = dry_run;
  std::unique_ptr<store::MachineBackend> backend = store::OpenMachineFolder(*machine_dir, options);
#endif
  if (abort_after > 0) backend = store::AbortAfter(std::move(backend), abort_after);
  store::Machine machine(std::move(backend));
  if (dry_run) {
    machine.Preview([](const store::JournalRecord& action) {
      std::cout << "would change: " << action.place << " " << action.changes.size() << '\n';
      for (const std::string& change : services::ChangeHistory::Changes(action))
        std::cout << "  " << change << '\n';
      std::cout << std::flush;
    });
  }
  store::SystemClock clock;
  drive::DriveHost host(std::cout);
  services::Program program(machine, host, clock, app::FormFactories());
  host.set_program(&program);
  drive::ScenarioRunner runner(program, host, std::cout);
  if (scenario) {
    std::ifstream in(*scenario, std::ios::binary);
    if (!in) {
      std::cout << "error: cannot read " << *scenario << '\n';
      return 2;
    }
    return runner.Run(in);
  }
  return runner.Run(std::cin);
}
