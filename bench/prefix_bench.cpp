// Discovery of Wine prefixes in a generated home holding a few hundred of them,
// spread over the places the programs that make them use, each with a system.reg
// the size wineboot writes. Usage: prefix_bench [rounds]
// The registry file is the wineboot template prefix's (KORVANTA_PREFIX_TEMPLATE,
// else build/prefix-template), else a generated one of the same size.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "store/portable/prefix_discovery.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

std::string GeneratedSystemReg() {
  std::string text =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
      "#arch=win64\n";
  for (int i = 0; text.size() < 2'400'000; ++i) {
    text += "\n[Software\\\\Classes\\\\.k" + std::to_string(100000 + i) +
            "] 1796686185\n#time=1dd86a2d7ad6bd4\n@=\"file\"\n";
  }
  text +=
      "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796686185\n"
      "\"CurrentVersion\"=\"6.1\"\n\"ProductName\"=\"Microsoft Windows 7\"\n";
  while (text.size() < 2'900'000) text += "\n[Software\\\\Wow6432Node\\\\k] 1796686188\n";
  return text;
}

void MakePrefix(const fs::path& at, const fs::path& system_reg) {
  fs::create_directories(at / "drive_c");
  // Links, not copies: a few hundred registry files of wineboot's size would
  // take a gigabyte. The cache is warm either way after the first round.
  fs::create_hard_link(system_reg, at / "system.reg");
  Write(at / "user.reg", "WINE REGISTRY Version 2\n");
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
  const fs::path home = fs::temp_directory_path() / "korvanta-prefix-bench";
  fs::remove_all(home);
  const char* env = std::getenv("KORVANTA_PREFIX_TEMPLATE");
  fs::path source =
      fs::path(env ? env : KORVANTA_SOURCE_DIR "/build/prefix-template") / "system.reg";
  if (!fs::exists(source)) {
    source = home / "generated.reg";
    Write(source, GeneratedSystemReg());
  }
  const int per_place = 40;
  int made = 0;
  const fs::path steam = home / ".local/share/Steam";
  std::string vdf = "\"libraryfolders\"\n{\n";
  for (int lib = 0; lib < 3; ++lib) {
    fs::path library = lib == 0 ? steam : home / ("SteamLibrary" + std::to_string(lib));
    vdf += "\t\"" + std::to_string(lib) + "\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() +
           "\"\n\t}\n";
    for (int i = 0; i < per_place / 2; ++i, ++made) {
      std::string appid = std::to_string(1000 + lib * 100 + i);
      MakePrefix(library / "steamapps/compatdata" / appid / "pfx", source);
      Write(library / "steamapps" / ("appmanifest_" + appid + ".acf"),
            "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appid + "\"\n\t\"name\"\t\t\"Game " + appid +
                "\"\n}\n");
    }
  }
  Write(steam / "steamapps/libraryfolders.vdf", vdf + "}\n");
  for (int i = 0; i < per_place; ++i) {
    std::string n = std::to_string(i);
    const fs::path lutris = home / "Games" / ("game" + n);
    const fs::path heroic = home / "Games/Heroic/Prefixes" / ("heroic" + n);
    MakePrefix(home / ".local/share/wineprefixes" / ("tricks" + n), source);
    MakePrefix(home / ".local/share/bottles/bottles" / ("bottle" + n), source);
    Write(home / ".local/share/bottles/bottles" / ("bottle" + n) / "bottle.yml",
          "Name: B" + n + "\n");
    MakePrefix(lutris, source);
    Write(home / ".config/lutris/games" / ("game" + n + "-1600000000.yml"),
          "game:\n  prefix: " + lutris.string() + "\n");
    MakePrefix(heroic, source);
    Write(home / ".config/heroic/GamesConfig" / ("h" + n + ".json"),
          "{\"h\": {\"winePrefix\": \"" + heroic.string() + "\"}}");
    MakePrefix(home / ".PlayOnLinux/wineprefix" / ("pol" + n), source);
    MakePrefix(home / ".cxoffice" / ("cx" + n), source);
    MakePrefix(home / ".local/share/PortWINE/PortProton/data/prefixes" / ("pp" + n), source);
    made += 7;
  }
  korvanta::store::MachineEnvironment machine_env;
  machine_env.home = home.string();
  std::vector<korvanta::store::FoundPrefix> first =
      korvanta::store::DiscoverPrefixes(machine_env);  // warms
  std::size_t found = first.size();
  if (!first.empty()) {
    std::printf("%s: %s, %s\n", first[0].path.string().c_str(), first[0].facts.architecture.c_str(),
                first[0].facts.windows.c_str());
  }
  Clock::duration best = Clock::duration::max(), total{};
  for (int r = 0; r < rounds; ++r) {
    Clock::time_point start = Clock::now();
    found = korvanta::store::DiscoverPrefixes(machine_env).size();
    Clock::duration took = Clock::now() - start;
    best = std::min(best, took);
    total += took;
  }
  auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("%d prefixes made, %zu found, system.reg %ju bytes: best %.1f ms, mean %.1f ms\n",
              made, found, static_cast<std::uintmax_t>(fs::file_size(source)), ms(best),
              ms(total / rounds));
  fs::remove_all(home);
  return found == static_cast<std::size_t>(made) ? 0 : 1;
}
