// Times the junk scan on a generated tree of about 300,000 files in 30,000
// folders against `find ROOT -type f`: our one walk with the nine built-in types
// ticked, and one walk per type as a per-type search would do. Prints both ratios
// to find and the peak memory, then the memory a million result rows take.
// Usage: scan_bench [folder]   (default: a folder under the system's temp folder;
// the tree is kept there and reused by the next run)

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cleaner/junk_scanner.h"
#include "cleaner/junk_types.h"
#include "store/machine.h"
#include "store/portable/machine_portable.h"
#include "ui/list_view.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using korvanta::cleaner::JunkPattern;
using korvanta::cleaner::JunkScan;
using korvanta::cleaner::ScanRow;
using korvanta::cleaner::ScanSearch;

namespace {

constexpr int kTop = 30, kFolders = 1000, kFiles = 10;

// 30 x 1000 folders of 10 files; one file in 25 has a junk name.
void MakeTree(const fs::path& root) {
  const char* junk[] = {"a.tmp", "b.chk",      "c.old",        "d.gid",    "e.prv",
                        "f.err", "chklist.ms", "mscreate.dir", "Thumbs.db"};
  int n = 0;
  for (int t = 0; t < kTop; ++t) {
    for (int f = 0; f < kFolders; ++f) {
      fs::path dir = root / ("top" + std::to_string(t)) / ("folder" + std::to_string(f));
      fs::create_directories(dir);
      for (int i = 0; i < kFiles; ++i, ++n) {
        std::string name = n % 25 == 0 ? std::to_string(n) + junk[(n / 25) % 9]
                                       : "file" + std::to_string(n) + ".dat";
        if (name.find("mscreate") != std::string::npos || name.find("Thumbs") != std::string::npos)
          name = name.substr(name.find_first_not_of("0123456789"));
        std::ofstream(dir / name) << n;
      }
    }
  }
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::size_t Scan(korvanta::store::FileTools& tools, std::vector<ScanSearch> searches,
                 korvanta::ui::ListView& list) {
  JunkScan scan(tools, std::move(searches));
  std::vector<ScanRow> rows;
  bool more = true;
  while (more) {
    rows.clear();
    more = scan.Step(std::chrono::milliseconds(40), rows);
    for (ScanRow& r : rows) {
      std::string type = tools.TypeName(r.name);
      list.AddRow({std::move(r.name), std::move(r.folder), korvanta::cleaner::SizeText(r.size),
                   std::move(type), tools.ShortDateTime(r.modified)});
    }
  }
  return static_cast<std::size_t>(list.count());
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path machine =
      argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "korvanta-scan-bench";
  const fs::path tree = machine / "drive_c" / "tree";
  if (!fs::exists(tree / "top29" / "folder999")) {
    std::printf("making the tree in %s ...\n", tree.c_str());
    MakeTree(tree);
  }
  const std::string find = "find " + tree.string() + " -type f > /dev/null";
  // Once to warm the caches, then timed.
  if (std::system(find.c_str()) != 0) return 1;
  auto t0 = Clock::now();
  if (std::system(find.c_str()) != 0) return 1;
  const double find_seconds = Seconds(Clock::now() - t0);

  korvanta::store::Machine m(korvanta::store::OpenMachineFolder(machine));
  korvanta::store::FileTools& tools = m.backend().file_tools();
  std::vector<JunkPattern> patterns;
  for (const auto& t : korvanta::cleaner::kBuiltInTypes) patterns.emplace_back(t.pattern);

  korvanta::ui::ListView one("one");
  t0 = Clock::now();
  std::size_t rows = Scan(tools, {{"C:\\tree", patterns}}, one);
  const double one_seconds = Seconds(Clock::now() - t0);

  korvanta::ui::ListView per("per");
  t0 = Clock::now();
  std::size_t per_rows = 0;
  for (const JunkPattern& p : patterns) per_rows = Scan(tools, {{"C:\\tree", {p}}}, per);
  const double per_seconds = Seconds(Clock::now() - t0);

  std::printf("files: %d in %d folders, junk rows: %zu (per type: %zu)\n", kTop * kFolders * kFiles,
              kTop * kFolders + kTop, rows, per_rows);
  std::printf("find -type f:      %.3f s\n", find_seconds);
  std::printf("one walk, 9 types: %.3f s  ratio to find %.2f\n", one_seconds,
              one_seconds / find_seconds);
  std::printf("walk per type:     %.3f s  ratio to find %.2f\n", per_seconds,
              per_seconds / find_seconds);
  std::printf("peak memory:       %.1f MB\n", static_cast<double>(PeakKilobytes()) / 1024.0);

  // A million result rows as the scan makes them.
  const long before = PeakKilobytes();
  korvanta::ui::ListView million("million");
  for (int i = 0; i < 1000000; ++i) {
    million.AddRow(
        {std::to_string(i) + "a.tmp",
         "C:\\tree\\top" + std::to_string(i % 30) + "\\folder" + std::to_string(i % 1000), "1 KB",
         "TMP 文件", "2003-04-05 06:07:08"});
  }
  std::printf("a million rows:    %.1f MB more (peak %.1f MB)\n",
              static_cast<double>(PeakKilobytes() - before) / 1024.0,
              static_cast<double>(PeakKilobytes()) / 1024.0);
  return rows == per_rows ? 0 : 1;
}
