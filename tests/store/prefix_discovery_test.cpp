// Discovery of Wine prefixes over a prepared home folder holding the layout of
// each program that keeps prefixes, with the faults real homes have: configs
// without a prefix, malformed or huge, broken links, a prefix reached twice.

#include "store/portable/prefix_discovery.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace korvanta::store {
namespace {
namespace fs = std::filesystem;
using test::WriteBytes;

std::string Filler(int keys) {
  std::string text;
  for (int i = 0; i < keys; ++i) {
    text += "\n[Software\\\\Classes\\\\.k" + std::to_string(100000 + i) +
            "] 1796686185\n#time=1dd86a2d7ad6bd4\n@=\"file" + std::to_string(i) + "\"\n";
  }
  return text;
}

// A Wine registry file as wineserver writes it: sorted keys, padded with
// `filler` keys before the version key so that the file is big.
std::string SystemReg(const std::string& arch, const std::string& nt_values, int filler = 0,
                      const std::string& ninex_values = "") {
  std::string text = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n";
  if (!arch.empty()) text += "#arch=" + arch + "\n";
  text += Filler(filler);
  text += "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1796686188\n" + ninex_values;
  text += "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n";
  text += "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796686185\n" + nt_values;
  text += "\"SystemRoot\"=\"C:\\\\windows\"\n";
  text +=
      "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\AeDebug] 1796686185\n"
      "\"ProductName\"=\"not this one\"\n";
  for (int i = 0; i < filler; ++i) {
    text += "\n[Software\\\\Wow6432Node\\\\k" + std::to_string(100000 + i) + "] 1796686188\n";
  }
  return text;
}

const std::string kWin7 =
    "\"CSDVersion\"=\"Service Pack 1\"\n\"CurrentVersion\"=\"6.1\"\n"
    "\"ProductName\"=\"Microsoft Windows 7\"\n";

void MakePrefix(const fs::path& at, const std::string& system_reg = SystemReg("win64", kWin7)) {
  WriteBytes(at / "system.reg", system_reg);
  WriteBytes(at / "user.reg", "WINE REGISTRY Version 2\n");
  fs::create_directories(at / "drive_c" / "windows");
}

TEST(PrefixFactsTest, ArchitectureAndWindowsVersionFromSystemReg) {
  struct Case {
    const char* what;
    std::string system_reg;
    PrefixFacts facts;
  };
  const std::string shipped = test::ReadBytes(fs::path(KORVANTA_DATA_DIR) / "machine/system.reg");
  const std::string win98 =
      "\"ProductName\"=\"Microsoft Windows 98\"\n\"VersionNumber\"=\"4.10.2222\"\n";
  const Case cases[] = {
      {"small, sorted", SystemReg("win64", kWin7), {"win64", "Windows 7 Service Pack 1"}},
      // Big enough to be bisected (several megabytes, as wineboot's are).
      {"big, sorted", SystemReg("win32", kWin7, 40000), {"win32", "Windows 7 Service Pack 1"}},
      {"9x", SystemReg("win32", "", 40000, win98), {"win32", "Windows 98"}},
      {"only a version number",
       SystemReg("win64", "\"CurrentVersion\"=\"10.0\"\n"),
       {"win64", "Windows 10.0"}},
      {"no version", SystemReg("", "", 10), {"", ""}},
      // The shipped demo machine's file is not in wineserver's order.
      {"shipped", shipped, {"win32", "Windows XP Service Pack 2"}},
      {"unsorted and big", shipped + Filler(40000), {"win32", "Windows XP Service Pack 2"}},
      {"not a registry file", "REGEDIT4\n" + SystemReg("win64", kWin7), {"", ""}},
      {"empty", "", {"", ""}},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    WriteBytes(dir.path() / "system.reg", c.system_reg);
    PrefixFacts facts = ReadPrefixFacts(dir.path() / "system.reg");
    EXPECT_EQ(facts.architecture, c.facts.architecture) << c.what;
    EXPECT_EQ(facts.windows, c.facts.windows) << c.what;
  }
  EXPECT_EQ(ReadPrefixFacts(dir.path() / "missing.reg").architecture, "");
}

class PrefixDiscoveryTest : public ::testing::Test {
 protected:
  PrefixDiscoveryTest() : home_(dir_.path() / "home") { env_.home = home_.string(); }

  // origin, name and path (from home, else from the temporary folder) of each.
  std::vector<std::string> Found() {
    std::vector<std::string> lines;
    for (const FoundPrefix& p : DiscoverPrefixes(env_)) {
      fs::path shown = p.path.lexically_relative(home_);
      if (shown.empty() || *shown.begin() == "..")
        shown = "/" / p.path.lexically_relative(dir_.path());
      lines.push_back(p.origin + "|" + p.name + "|" + shown.string());
    }
    return lines;
  }

  test::TempDir dir_;
  fs::path home_;
  MachineEnvironment env_;
};

TEST_F(PrefixDiscoveryTest, FindsEveryProgramsPrefixesOnce) {
  const fs::path lib2 = dir_.path() / "mnt/SteamLibrary";
  const fs::path steam = home_ / ".local/share/Steam";
  const fs::path flatpak_steam = home_ / ".var/app/com.valvesoftware.Steam/.local/share/Steam";
  const fs::path hidden = dir_.path() / "hidden";
  for (const fs::path& p : {dir_.path() / "custom",
                            home_ / ".wine",
                            home_ / ".local/share/wineprefixes/vc2019",
                            home_ / ".local/share/bottles/bottles/Office",
                            home_ / ".var/app/com.usebottles.bottles/data/bottles/bottles/Games",
                            home_ / "Games/diablo-ii",
                            dir_.path() / "sc",
                            home_ / "Games/heroes",
                            steam / "steamapps/compatdata/220/pfx",
                            lib2 / "steamapps/compatdata/570/pfx",
                            lib2 / "steamapps/compatdata/620/pfx",
                            flatpak_steam / "steamapps/compatdata/440/pfx",
                            home_ / "Games/Heroic/Prefixes/Hades",
                            home_ / "Games/Heroic/Prefixes/Celeste",
                            home_ / ".PlayOnLinux/wineprefix/Office2003",
                            home_ / ".cxoffice/win7",
                            home_ / ".local/share/PortWINE/PortProton/data/prefixes/DEFAULT",
                            hidden / "huge",
                            hidden / "vdf",
                            hidden / "json"}) {
    MakePrefix(p);
  }
  env_.wineprefix = (dir_.path() / "custom").string();
  // Folders that are not prefixes, a broken link and a second way to ~/.wine.
  fs::create_directories(home_ / ".local/share/wineprefixes/empty/drive_c");
  WriteBytes(home_ / ".local/share/wineprefixes/no-user-reg/system.reg", SystemReg("win32", ""));
  fs::create_directories(home_ / ".local/share/wineprefixes/no-user-reg/drive_c");
  fs::create_symlink(dir_.path() / "gone", home_ / ".local/share/wineprefixes/broken");
  fs::create_symlink(home_ / ".wine", home_ / ".local/share/wineprefixes/alias");

  const std::string huge_yml =
      "game:\n  prefix: " + (hidden / "huge").string() + "\n" + std::string(2 * 1024 * 1024, '#');
  const std::pair<fs::path, std::string> files[] = {
      {home_ / ".local/share/bottles/bottles/Office/bottle.yml",
       "Arch: win64\nName: 办公软件\nPath: Office\n"},
      {home_ / ".var/app/com.usebottles.bottles/data/bottles/bottles/Games/bottle.yml",
       std::string("\xff\xfe\0\0garbage", 11)},
      {home_ / ".config/lutris/games/diablo-ii-1601234567.yml",
       "game:\n  exe: ~/Games/diablo-ii/drive_c/d2.exe\n  prefix: ~/Games/diablo-ii\n"
       "wine:\n  version: lutris-7.2\n"},
      {home_ / ".config/lutris/games/native-1601234568.yml", "game:\n  exe: /usr/bin/x\n"},
      {home_ / ".config/lutris/games/notes.txt", "game:\n  prefix: " + hidden.string() + "\n"},
      {home_ / ".config/lutris/games/huge-1.yml", huge_yml},
      {home_ / ".local/share/lutris/games/sc-2.yml",
       "name: StarCraft\ngame:\n  prefix: '" + (dir_.path() / "sc").string() + "'\n"},
      {steam / "steamapps/libraryfolders.vdf",
       "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam.string() +
           "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"220\"\t\t\"1234\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n"
           "\t\t\"path\"\t\t\"" +
           lib2.string() + "\"\n\t}\n\t\"2\"\n\t{\n\t\t\"path\"\t\t\"/nowhere\"\n\t}\n}\n"},
      {steam / "steamapps/appmanifest_220.acf",
       "\"AppState\"\n{\n\t\"appid\"\t\t\"220\"\n\t\"name\"\t\t\"Half-Life 2\"\n}\n"},
      // A game moved to another library after its prefix was made.
      {steam / "steamapps/appmanifest_620.acf", "\"AppState\"\n{\n\t\"name\"\t\t\"Portal 2\"\n}\n"},
      {flatpak_steam / "steamapps/libraryfolders.vdf",
       "\"libraryfolders\" { \"0\" { \"path\" \"" + (hidden / "vdf").string()},
      {home_ / ".config/heroic/GamesConfig/Hades.json",
       "{\n  \"Hades\": {\n    \"winePrefix\": \"" +
           (home_ / "Games/Heroic/Prefixes/Hades").string() +
           "\",\n    \"wineVersion\": {}\n  }\n}\n"},
      {home_ / ".config/heroic/GamesConfig/broken.json",
       "{\"x\": {\"winePrefix\": \"" + (hidden / "json").string()},
  };
  for (const auto& [file, text] : files) WriteBytes(file, text);
  fs::create_directories(home_ / ".steam");
  fs::create_symlink(steam, home_ / ".steam/steam");

  const std::vector<std::string> expected = {
      "Wine|custom|/custom",
      "Wine|.wine|.wine",
      "winetricks|vc2019|.local/share/wineprefixes/vc2019",
      "Bottles|办公软件|.local/share/bottles/bottles/Office",
      "Bottles|Games|.var/app/com.usebottles.bottles/data/bottles/bottles/Games",
      "Lutris|diablo-ii|Games/diablo-ii",
      "Lutris|StarCraft|/sc",
      "Lutris|heroes|Games/heroes",
      "Steam|Half-Life 2|.steam/steam/steamapps/compatdata/220/pfx",
      "Steam|570|/mnt/SteamLibrary/steamapps/compatdata/570/pfx",
      "Steam|Portal 2|/mnt/SteamLibrary/steamapps/compatdata/620/pfx",
      "Steam|440|.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/440/pfx",
      "Heroic|Hades|Games/Heroic/Prefixes/Hades",
      "Heroic|Celeste|Games/Heroic/Prefixes/Celeste",
      "PlayOnLinux|Office2003|.PlayOnLinux/wineprefix/Office2003",
      "CrossOver|win7|.cxoffice/win7",
      "PortProton|DEFAULT|.local/share/PortWINE/PortProton/data/prefixes/DEFAULT",
  };
  EXPECT_EQ(Found(), expected);
  std::vector<FoundPrefix> found = DiscoverPrefixes(env_);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].facts.architecture, "win64");
  EXPECT_EQ(found[0].facts.windows, "Windows 7 Service Pack 1");
}

TEST_F(PrefixDiscoveryTest, XdgFoldersAndAnEmptyEnvironment) {
  EXPECT_TRUE(DiscoverPrefixes(MachineEnvironment{}).empty());
  MakePrefix(dir_.path() / "data/wineprefixes/a");
  MakePrefix(home_ / ".local/share/wineprefixes/b");  // not the data folder now
  MakePrefix(dir_.path() / "lutris-prefix");
  WriteBytes(
      dir_.path() / "config/lutris/games/g-1.yml",
      "game:\n  prefix: \"" + (dir_.path() / "lutris-prefix").string() + "\" # made by hand\n");
  env_.xdg_data_home = (dir_.path() / "data").string();
  env_.xdg_config_home = (dir_.path() / "config").string();
  EXPECT_EQ(Found(), (std::vector<std::string>{"winetricks|a|/data/wineprefixes/a",
                                               "Lutris|g|/lutris-prefix"}));
}

}  // namespace
}  // namespace korvanta::store
