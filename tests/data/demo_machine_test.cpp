// The demo machine as the program sees it: its startup places, folders and files, the set.ini a new
// program folder starts with, and a whole start and exit of the program on it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/demo_copy.h"
#include "store/machine.h"
#include "store/portable/machine_portable.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {
namespace fs = std::filesystem;

constexpr store::RegRoot HKLM = store::RegRoot::kLocalMachine;
constexpr store::RegRoot HKCU = store::RegRoot::kCurrentUser;

class DemoMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = CopyDemoMachine(dir_.path());
    machine_ = std::make_unique<store::Machine>(store::OpenMachineFolder(root_));
  }

  TempDir dir_;
  fs::path root_;
  std::unique_ptr<store::Machine> machine_;
};

TEST_F(DemoMachineTest, StartupPlacesHoldTheirEntries) {
  // The Run key's long command line is the one the startup page cannot read.
  store::Variant long_line;
  ASSERT_EQ(machine_->reg().QueryValue(HKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                       "UpdateCheck", long_line),
            store::kSuccess);
  EXPECT_GT(machine_->codepage().ToAnsi(long_line.ToText()).size(), 255u);

  // win.ini's [windows] section comes from the registry, as on Windows NT.
  std::string load;
  machine_->ini().GetProfileString("windows", "load", "(error)", 255, load);
  EXPECT_EQ(load, "C:\\WINDOWS\\taskmon.exe C:\\WINDOWS\\system32\\ntfytray.exe");
  std::string run;
  machine_->ini().GetProfileString("windows", "run", "(error)", 255, run);
  EXPECT_EQ(run, "");
  std::string mail;
  machine_->ini().GetProfileString("Mail", "MAPI", "", 255, mail);
  EXPECT_EQ(mail, "1") << "the rest of win.ini is the file's";

  store::Variant startup;
  machine_->reg().QueryValue(
      HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "startup",
      startup);
  std::vector<store::FileEntry> entries;
  ASSERT_EQ(machine_->files().List(startup.ToText() + "\\*.*", entries), store::kSuccess)
      << startup.ToText();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "网络时钟.lnk");

  EXPECT_EQ(machine_->ini().INIReadKey("Options", "BootDelay", "C:\\msdos.sys", 100), "2");
  EXPECT_EQ(machine_->ini().INIReadKey("Options", "autoscan", "C:\\msdos.sys", 100), "1");
}

TEST_F(DemoMachineTest, FoldersAndFilesThePagesUse) {
  EXPECT_EQ(machine_->paths().WinDir(), "C:\\WINDOWS\\");
  EXPECT_EQ(machine_->paths().SysDir(), "C:\\WINDOWS\\system32\\");
  // TEMP is %USERPROFILE%\..., the profile %SystemDrive%\...: both expand.
  EXPECT_EQ(machine_->paths().DirTemp(),
            "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp\\");
  EXPECT_TRUE(
      machine_->files().Stat("C:\\Documents and Settings\\Administrator\\Local "
                             "Settings\\Temp\\~DF3E21.tmp"));

  std::vector<store::FileEntry> applets, savers;
  machine_->files().List("C:\\WINDOWS\\system32\\*.cpl", applets);
  machine_->files().List("C:\\WINDOWS\\system32\\*.scr", savers);
  EXPECT_GE(applets.size(), 20u);
  EXPECT_GE(savers.size(), 5u);
  EXPECT_EQ(
      machine_->ini().INIReadKey("don't load", "odbccp32.cpl", "C:\\WINDOWS\\control.ini", 255),
      "no");
  EXPECT_EQ(machine_->ini().INIReadKey("general", "Manufacturer",
                                       "C:\\WINDOWS\\system32\\oeminfo.ini", 1000),
            "星河电脑科技有限公司");

  std::string hosts;
  ASSERT_EQ(machine_->files().ReadFile("C:\\WINDOWS\\system32\\drivers\\etc\\hosts", hosts),
            store::kSuccess);
  EXPECT_NE(hosts.find("127.0.0.1       localhost\r\n"), std::string::npos);

  // Junk of every built-in type the shipped set.ini ticks has something to find.
  for (const char* pattern :
       {"C:\\WINDOWS\\Temp\\*.tmp", "C:\\FOUND.000\\*.CHK", "C:\\WINDOWS\\*.old",
        "C:\\WINDOWS\\Help\\*.gid", "C:\\chklist.*", "C:\\WINDOWS\\Temp\\mscreate.dir",
        "C:\\WINDOWS\\Web\\Wallpaper\\Thumbs.db"}) {
    std::vector<store::FileEntry> found;
    machine_->files().List(pattern, found);
    EXPECT_FALSE(found.empty()) << pattern;
  }

  EXPECT_EQ(machine_->files().DriveType("C:\\"), store::kDriveFixed);
}

TEST_F(DemoMachineTest, ItsProgramFolderHoldsTheShippedSettings) {
  std::string folder = machine_->paths().ProgramFolder();
  std::string set_ini = folder + "\\set.ini";
  std::string bytes;
  machine_->files().ReadFile(set_ini, bytes);
  EXPECT_EQ(bytes, ReadBytes(fs::path(KORVANTA_SOURCE_DIR) / "data/set.ini"));
  EXPECT_NE(bytes.find("\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("\n\n"), std::string::npos) << "CRLF only";
}

// --- the program folder on other machines -----------------------------------------

class ShippedSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = CopyFreshPrefix(dir_.path());
    options_.shipped_settings = fs::path(KORVANTA_SOURCE_DIR) / "data/set.ini";
  }
  fs::path SetIni() const { return prefix_ / "drive_c/Program Files/Korvanta/set.ini"; }

  TempDir dir_;
  fs::path prefix_;
  store::MachineFolderOptions options_;
};

TEST_F(ShippedSettingsTest, ANewProgramFolderStartsWithThem) {
  ASSERT_FALSE(fs::exists(prefix_ / "drive_c/Program Files/Korvanta"));
  store::Machine machine(store::OpenMachineFolder(prefix_, options_));
  EXPECT_EQ(machine.paths().ProgramFolder(), "C:\\Program Files\\Korvanta");
  ASSERT_TRUE(fs::exists(SetIni()));
  EXPECT_EQ(ReadBytes(SetIni()), ReadBytes(options_.shipped_settings));
  EXPECT_EQ(machine.ini().INIReadKey("smset", "Xxsm", "C:\\Program Files\\Korvanta\\set.ini", 100),
            "1");
}

TEST_F(ShippedSettingsTest, AnExistingProgramFolderKeepsWhatItHas) {
  WriteBytes(SetIni(), "[smset]\r\nXxsm=0\r\nKssm=1\r\n");
  {
    store::Machine machine(store::OpenMachineFolder(prefix_, options_));
    machine.paths().ProgramFolder();
  }
  EXPECT_EQ(ReadBytes(SetIni()), "[smset]\r\nXxsm=0\r\nKssm=1\r\n");

  // A folder without set.ini is the user's too: no set.ini means no options.
  fs::remove(SetIni());
  {
    store::Machine machine(store::OpenMachineFolder(prefix_, options_));
    machine.paths().ProgramFolder();
  }
  EXPECT_FALSE(fs::exists(SetIni()));
}

TEST_F(ShippedSettingsTest, WithoutShippedSettingsNothingIsCopied) {
  store::Machine machine(store::OpenMachineFolder(prefix_));
  machine.paths().ProgramFolder();
  EXPECT_TRUE(fs::is_directory(SetIni().parent_path()));
  EXPECT_FALSE(fs::exists(SetIni()));
}

// --- the program on the demo machine ----------------------------------------------

TEST(DemoMachineProgram, StartsAndExits) {
  TempDir dir;
  fs::path root = CopyDemoMachine(dir.path());
  fs::path scenario = dir.path() / "start-exit.txt";
  WriteBytes(scenario, "start\nexit\n");
  RunResult run = test::Run(ShellQuote(KORVANTA_DRIVE) + " --machine " + ShellQuote(root.string()) +
                            " " + ShellQuote(scenario.string()));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "ended\n");
  // Loading every page read the machine and wrote nothing to its registry.
  fs::path template_root = DemoMachineTemplate();
  EXPECT_EQ(ReadBytes(root / "system.reg"), ReadBytes(template_root / "system.reg"));
  EXPECT_EQ(ReadBytes(root / "user.reg"), ReadBytes(template_root / "user.reg"));
}

}  // namespace
}  // namespace korvanta::test
