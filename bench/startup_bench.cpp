// What a start costs and what the inventory adds to it, on a copy of the demo
// machine and on a fresh wineboot prefix. Usage: startup_bench [rounds]
//
// In one run, for each machine (medians of the rounds):
//   open       the machine opened and the program made, no window (a start that fills nothing)
//   window     + the main window loaded with every page filled (the clock measurement
//              started, not waited for)
//   inventory  the inventory's rows alone, without the clock measurement
//   cpu row    from the start of the load until the clock measurement has filled its row
//   process    whole korvanta-drive runs: an empty scenario, and start + exit (the
//              drive waits for the measurement before it goes on)

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/formmain.h"
#include "app/forms.h"
#include "drive/drive_host.h"
#include "store/portable/machine_choice.h"
#include "store/portable/machine_portable.h"
#include "sysinfo/inventory.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class WallClock final : public korvanta::store::Clock {
 public:
  korvanta::store::LocalTime Now() const override { return {2026, 12, 7, 0, 0, 0}; }
};

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double ProcessMs(const std::string& drive, const fs::path& machine, const fs::path& scenario) {
  std::string command = "'" + drive + "' --machine '" + machine.string() + "' '" +
                        scenario.string() + "' >/dev/null 2>&1";
  auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return Ms(Clock::now() - start);
}

void Bench(const char* what, const fs::path& machine, int rounds, const fs::path& work) {
  std::vector<double> open, window, inventory, cpu_row, empty_run, start_run;
  for (int r = 0; r < rounds; ++r) {
    std::ostringstream sink;
    auto t0 = Clock::now();
    korvanta::store::Machine m(korvanta::store::OpenMachineFolder(machine));
    korvanta::drive::DriveHost host(sink);
    WallClock clock;
    korvanta::services::Program program(m, host, clock, korvanta::app::FormFactories());
    host.set_program(&program);
    auto t1 = Clock::now();
    program.Act([&] { korvanta::app::OpenMainWindow(program); });
    auto t2 = Clock::now();
    auto& page = korvanta::app::MainWindow(program)->inventory;
    std::this_thread::sleep_until(t1 + std::chrono::milliseconds(page.Timercpu.interval()));
    program.Act([&] { page.Timercpu.Fire(); });
    auto t3 = Clock::now();
    // The inventory alone, on a machine of its own whose registry is already read
    // (the first page to read it pays for that, whichever page it is).
    korvanta::store::Machine fresh(korvanta::store::OpenMachineFolder(machine));
    fresh.backend().WindowsDirectory();
    auto t4 = Clock::now();
    auto rows = korvanta::sysinfo::InventoryValues(korvanta::sysinfo::ReadInventoryFacts(fresh));
    auto t5 = Clock::now();
    if (rows[korvanta::sysinfo::kCpuValue].empty()) std::fprintf(stderr, "no rows\n");
    open.push_back(Ms(t1 - t0));
    window.push_back(Ms(t2 - t1));
    cpu_row.push_back(Ms(t3 - t1));
    inventory.push_back(Ms(t5 - t4));
  }
  fs::path empty = work / "empty.txt", start = work / "start.txt";
  std::ofstream(empty) << "";
  std::ofstream(start) << "start\nexit\n";
  for (int r = 0; r < rounds; ++r) {
    empty_run.push_back(ProcessMs(KORVANTA_DRIVE, machine, empty));
    start_run.push_back(ProcessMs(KORVANTA_DRIVE, machine, start));
  }
  std::printf("%s (%s)\n", what, machine.string().c_str());
  std::printf("  open (fills nothing)         %8.1f ms\n", Median(open));
  std::printf("  main window filled           %8.1f ms after open\n", Median(window));
  std::printf("  inventory rows, no clock     %8.1f ms\n", Median(inventory));
  std::printf("  CPU row filled               %8.1f ms after open\n", Median(cpu_row));
  std::printf("  process: empty scenario      %8.1f ms\n", Median(empty_run));
  std::printf("  process: start + exit        %8.1f ms (%.1f ms more, the measurement included)\n",
              Median(start_run), Median(start_run) - Median(empty_run));
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 11;
  fs::path source = KORVANTA_SOURCE_DIR;
  fs::path work = fs::temp_directory_path() / ("startup_bench." + std::to_string(getpid()));
  fs::create_directories(work);
  std::string error;
  if (!korvanta::store::CreateDemoMachine(source / "data/machine", work / "demo", error)) {
    std::fprintf(stderr, "demo machine: %s\n", error.c_str());
    return 1;
  }
  const char* env = std::getenv("KORVANTA_PREFIX_TEMPLATE");
  fs::path templ = env ? fs::path(env) : source / "build/prefix-template";
  if (!fs::exists(templ / "system.reg")) {
    std::string make = "'" + (source / "scripts/make-prefix").string() + "'";
    if (std::system(make.c_str()) != 0) return 1;
  }
  fs::copy(templ, work / "prefix", fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  Bench("demo machine", work / "demo", rounds, work);
  Bench("wineboot prefix", work / "prefix", rounds, work);
  fs::remove_all(work);
  return 0;
}
