// Times the cleaner's deletes on 10,000 files of 1 to 64 KB in nested folders,
// each against its floor measured in the same run:
//   backup-mode delete  against  cp -r of the files + sync + rm -r
//   restore-all         against  cp -r of the copies back + sync
//   direct delete       against  rm -r
// The deletes run as the user runs them: the scan with every row ticked, then
// "删除" and its slices to the end. Each round starts on new files; the ratios
// of every round are printed, then their medians and the peak memory.
// Usage: delete_bench [folder [rounds]]   (default: a folder under the system's
// temp folder, 3 rounds)

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/forms.h"
#include "drive/drive_host.h"
#include "drive/scenario.h"
#include "services/program.h"
#include "store/clock.h"
#include "store/machine.h"
#include "store/portable/machine_portable.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 10000;

// 10,000 files of 1 to 64 KB, 20 to a folder, in folders three deep.
void MakeTree(const fs::path& root) {
  std::string bytes(64 * 1024, 'x');
  for (int i = 0; i < kFiles; ++i) {
    fs::path dir = root / ("a" + std::to_string(i / 2000)) / ("b" + std::to_string(i / 200)) /
                   ("c" + std::to_string(i / 20));
    fs::create_directories(dir);
    std::ofstream(dir / (std::to_string(i) + ".tmp"), std::ios::binary)
        .write(bytes.data(), 1024 * (1 + (i * 7919) % 64));
  }
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double Shell(const std::string& command) {
  auto t0 = Clock::now();
  if (std::system(command.c_str()) != 0) std::printf("failed: %s\n", command.c_str());
  return Seconds(Clock::now() - t0);
}

// One start of the program on the machine, driven by scenario lines.
class Session {
 public:
  explicit Session(const fs::path& machine)
      : machine_(korvanta::store::OpenMachineFolder(machine)),
        host_(out_),
        program_(machine_, host_, clock_, korvanta::app::FormFactories()),
        runner_(program_, host_, out_) {
    host_.set_program(&program_);
  }
  double Run(const std::string& lines) {
    std::istringstream in(lines);
    auto t0 = Clock::now();
    if (runner_.Run(in) != 0) std::printf("scenario failed:\n%s\n", out_.str().c_str());
    return Seconds(Clock::now() - t0);
  }

 private:
  korvanta::store::Machine machine_;
  korvanta::store::SystemClock clock_;
  std::ostringstream out_;
  korvanta::drive::DriveHost host_;
  korvanta::services::Program program_;
  korvanta::drive::ScenarioRunner runner_;
};

const char kScanAll[] =
    "start\nclick Label3(8)\nclick TabStrip1(2)\nrow ListView3 1 on\nset Checkddsm on\nclick "
    "Textdywjj\n"
    "type Textdywjj C:\\tree\nclick TabStrip1(1)\nclick Commandss\nwait Timerss\n";

// The scan, every row ticked, the delete options shown with no questions.
std::string ScanAndTickAll() {
  std::string lines = kScanAll;
  for (int i = 1; i <= kFiles; ++i) lines += "row ListView2 " + std::to_string(i) + " on\n";
  return lines + "click TabStrip1(3)\nset Checkxcts on\n";
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

struct Ratios {
  double backup = 0, restore = 0, direct = 0;
};

// One round: the files made anew, each action timed against its floor.
bool Round(const fs::path& machine, Ratios& ratios) {
  const fs::path c = machine / "drive_c", tree = c / "tree", bak = c / "bak";
  fs::remove_all(machine);
  fs::create_directories(c);
  MakeTree(tree);
  const std::string t = tree.string(), b = bak.string(), floor_copy = c.string() + "/floor";

  // Floor of the backup delete: the copies made and on the disk, the originals gone.
  Shell("sync");
  const double cp_sync_rm = Shell("cp -r " + t + " " + floor_copy + " && sync && rm -r " + t);
  Shell("mv " + floor_copy + " " + t + " && sync");

  double backup_delete = 0;
  {
    Session s(machine);
    s.Run(ScanAndTickAll());
    backup_delete = s.Run(
        "set Optionbfsc on\nclick Textbbfwj\ntype Textbbfwj C:\\bak\n"
        "click Commandsclj\nwait Timerss\n");
  }
  std::size_t left = 0, copies = 0;
  for (const auto& e : fs::recursive_directory_iterator(tree)) left += e.is_regular_file() ? 1 : 0;
  for (const auto& e : fs::directory_iterator(bak)) copies += e.is_regular_file() ? 1 : 0;

  // Floor of the restore: the copies put back and on the disk.
  Shell("sync");
  const double cp_back_sync = Shell("cp -r " + b + " " + floor_copy + " && sync");
  Shell("rm -r " + floor_copy);

  double restore_all = 0;
  {
    Session s(machine);
    restore_all = s.Run(
        "start\nclick Label3(8)\nclick TabStrip1(4)\nclick Commandhfqb\n"
        "wait Timerss\n");
  }
  std::size_t restored = 0;
  for (const auto& e : fs::recursive_directory_iterator(tree))
    restored += e.is_regular_file() ? 1 : 0;

  // Direct delete against rm -r, on the restored tree and a copy of it.
  Shell("cp -r " + t + " " + floor_copy + " && sync");
  const double rm = Shell("rm -r " + floor_copy);
  Shell("sync");
  double direct = 0;
  {
    Session s(machine);
    s.Run(ScanAndTickAll());
    direct = s.Run("set Optionzj on\nclick Commandsclj\nwait Timerss\n");
  }
  std::size_t after_direct = 0;
  for (const auto& e : fs::recursive_directory_iterator(tree))
    after_direct += e.is_regular_file() ? 1 : 0;

  ratios = {backup_delete / cp_sync_rm, restore_all / cp_back_sync, direct / rm};
  std::printf(
      "backup delete %6.3f s / cp+sync+rm %6.3f s = %.2f;  restore all %6.3f s / cp+sync "
      "%6.3f s = %.2f;  direct delete %6.3f s / rm -r %6.3f s = %.2f\n",
      backup_delete, cp_sync_rm, ratios.backup, restore_all, cp_back_sync, ratios.restore, direct,
      rm, ratios.direct);
  if (left == 0 && copies == kFiles && restored == kFiles && after_direct == 0) return true;
  std::printf(
      "files: %d; left after the backup delete: %zu; copies: %zu; restored: %zu; "
      "left after the direct delete: %zu\n",
      kFiles, left, copies, restored, after_direct);
  return false;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const fs::path machine =
      argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "korvanta-delete-bench";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  std::printf("%d rounds of %d files in %s\n", rounds, kFiles, machine.c_str());
  std::vector<double> backup, restore, direct;
  bool ok = true;
  for (int r = 0; r < rounds; ++r) {
    Ratios ratios;
    ok = Round(machine, ratios) && ok;
    backup.push_back(ratios.backup);
    restore.push_back(ratios.restore);
    direct.push_back(ratios.direct);
  }
  fs::remove_all(machine);
  std::printf(
      "median ratios: backup delete %.2f (goal <= 3), restore all %.2f (goal <= 3), "
      "direct delete %.2f (goal <= 1.5)\n",
      Median(backup), Median(restore), Median(direct));
  std::printf("peak memory:    %.1f MB (goal < 100)\n",
              static_cast<double>(PeakKilobytes()) / 1024.0);
  return ok ? 0 : 1;
}
