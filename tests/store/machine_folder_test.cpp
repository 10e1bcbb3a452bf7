// The machine folder: Windows paths through dosdevices, the machine's folders as
// its registry gives them, the trash.

#include "store/portable/machine_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "store/machine.h"
#include "store/portable/machine_portable.h"
#include "store/portable/trash.h"
#include "support/test_support.h"

namespace korvanta::store {
namespace {
namespace fs = std::filesystem;

class MachineFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path() / "machine";
    fs::create_directories(root_ / "drive_c/WINDOWS/System32");
    fs::create_directories(root_ / "dosdevices");
    fs::create_directories(dir_.path() / "media/disk");
    fs::create_symlink("../drive_c", root_ / "dosdevices/c:");
    fs::create_symlink(dir_.path() / "media/disk", root_ / "dosdevices/d:");
    test::WriteBytes(root_ / "drive_c/WINDOWS/Win.INI", "[mail]\r\n");
  }
  test::TempDir dir_;
  fs::path root_;
};

TEST_F(MachineFolderTest, WindowsPathsMatchEachComponentWithoutCase) {
  MachineFolder m(root_, /*host_drives=*/true);
  EXPECT_EQ(m.HostPath("C:\\windows\\win.ini"), root_ / "dosdevices/c:/WINDOWS/Win.INI");
  EXPECT_EQ(m.HostPath("c:/WINDOWS/system32"), root_ / "dosdevices/c:/WINDOWS/System32");
  // Missing components keep the caller's spelling, from the first missing one on.
  EXPECT_EQ(m.HostPath("C:\\Windows\\New Folder\\File.TXT"),
            root_ / "dosdevices/c:/WINDOWS/New Folder/File.TXT");
  EXPECT_EQ(m.HostPath("C:\\WINDOWS\\..\\windows\\.\\win.ini"),
            root_ / "dosdevices/c:/WINDOWS/Win.INI");
  EXPECT_EQ(m.HostPath("C:\\"), root_ / "dosdevices/c:");
  EXPECT_EQ(m.HostPath("D:\\x"), root_ / "dosdevices/d:/x");
  EXPECT_FALSE(m.HostPath("E:\\x").has_value()) << "no such drive";
  EXPECT_FALSE(m.HostPath("windows\\win.ini").has_value()) << "relative";
}

TEST_F(MachineFolderTest, HostPathsMapBackThroughTheirDrive) {
  MachineFolder m(root_, /*host_drives=*/true);
  EXPECT_EQ(m.WindowsPath(root_ / "drive_c/WINDOWS/Win.INI"), "C:\\WINDOWS\\Win.INI");
  EXPECT_EQ(m.WindowsPath(dir_.path() / "media/disk"), "D:\\");
  EXPECT_FALSE(m.WindowsPath("/etc/passwd").has_value()) << "no Z: on this machine";
  fs::create_symlink("/", root_ / "dosdevices/z:");
  EXPECT_EQ(m.WindowsPath("/etc/passwd"), "Z:\\etc\\passwd");
  EXPECT_EQ(m.WindowsPath(root_ / "drive_c/WINDOWS"), "C:\\WINDOWS") << "C: wins over Z:";
}

// Without the host's drives, what leads out of the machine folder is not there:
// a drive linked outside, or a link on C: that points out.
TEST_F(MachineFolderTest, WhatLeadsOutsideIsNotThereUnlessAskedFor) {
  fs::create_symlink(dir_.path() / "media", root_ / "drive_c/media");
  fs::create_symlink("/", root_ / "dosdevices/z:");
  MachineFolder m(root_);
  for (const char* path : {"D:\\x", "Z:\\etc\\passwd", "C:\\media\\disk", "C:\\..\\..\\media"}) {
    EXPECT_FALSE(m.HostPath(path).has_value()) << path;
    EXPECT_TRUE(m.LeadsOutside(path)) << path;
    EXPECT_TRUE(MachineFolder(root_, true).HostPath(path).has_value()) << path;
  }
  EXPECT_FALSE(m.DriveFolder('d').has_value());
  EXPECT_FALSE(m.DriveFolder('z').has_value());
  EXPECT_FALSE(m.WindowsPath("/etc/passwd").has_value());
  EXPECT_EQ(m.HostPath("C:\\WINDOWS\\New\\f.txt"), root_ / "dosdevices/c:/WINDOWS/New/f.txt");
  EXPECT_FALSE(m.LeadsOutside("C:\\WINDOWS\\win.ini"));
  EXPECT_FALSE(m.LeadsOutside("E:\\x")) << "no such drive: not there, but not outside";
}

// What was found inside is kept per folder for speed; a folder that another
// program has since swapped for a link out is not trusted for it.
TEST_F(MachineFolderTest, AFolderSwappedForALinkOutIsSeenAtOnce) {
  fs::create_directories(root_ / "drive_c/junk");
  test::WriteBytes(root_ / "drive_c/junk/a.tmp", "a");
  test::WriteBytes(dir_.path() / "media/a.tmp", "host");
  MachineFolder m(root_);
  ASSERT_TRUE(m.HostPath("C:\\junk\\a.tmp").has_value());
  fs::remove_all(root_ / "drive_c/junk");
  fs::create_symlink(dir_.path() / "media", root_ / "drive_c/junk");
  EXPECT_FALSE(m.HostPath("C:\\junk\\a.tmp").has_value());
  EXPECT_TRUE(m.LeadsOutside("C:\\junk\\a.tmp"));
  fs::remove(root_ / "drive_c/junk");
  fs::create_directories(root_ / "drive_c/junk");
  EXPECT_TRUE(m.HostPath("C:\\junk\\a.tmp").has_value()) << "inside again";
}

// Folders found once are kept for the next path through them; another
// program renaming or replacing one is seen at once, and so is a file that
// appears in another spelling.
TEST_F(MachineFolderTest, FoldersFoundBeforeAreFoundAnewWhenChanged) {
  MachineFolder m(root_);
  fs::create_directories(root_ / "drive_c/Junk/Sub");
  test::WriteBytes(root_ / "drive_c/Junk/Sub/a.tmp", "a");
  const fs::path c = root_ / "dosdevices/c:";
  EXPECT_EQ(m.HostPath("C:\\junk\\sub\\a.tmp"), c / "Junk/Sub/a.tmp");
  fs::rename(root_ / "drive_c/Junk", root_ / "drive_c/JUNK");
  EXPECT_EQ(m.HostPath("C:\\junk\\sub\\a.tmp"), c / "JUNK/Sub/a.tmp");
  fs::rename(root_ / "drive_c/JUNK", root_ / "drive_c/old");
  fs::create_directories(root_ / "drive_c/junk/SUB");
  MachineFolder::Leaf leaf;
  EXPECT_EQ(m.HostPath("C:\\JUNK\\SUB\\a.tmp", leaf), c / "junk/SUB/a.tmp");
  EXPECT_EQ(leaf.state, MachineFolder::Leaf::kAbsent);
  test::WriteBytes(root_ / "drive_c/junk/SUB/A.TMP", "b");
  EXPECT_EQ(m.HostPath("C:\\junk\\sub\\a.tmp", leaf), c / "junk/SUB/A.TMP");
  EXPECT_NE(leaf.state, MachineFolder::Leaf::kAbsent);
}

TEST_F(MachineFolderTest, AMachineWineHasNotRunOnStillHasItsCDrive) {
  fs::remove_all(root_ / "dosdevices");
  MachineFolder m(root_);
  EXPECT_EQ(m.HostPath("C:\\WINDOWS\\WIN.INI"), root_ / "drive_c/WINDOWS/Win.INI");
  EXPECT_FALSE(m.HostPath("D:\\").has_value());
}

TEST(PortableMachine, FoldersOfAFreshPrefix) {
  test::TempDir dir;
  fs::path prefix = test::CopyFreshPrefix(dir.path());
  Machine machine(OpenMachineFolder(prefix));
  EXPECT_EQ(machine.paths().WinDir(), "C:\\windows\\");
  EXPECT_EQ(machine.paths().SysDir(), "C:\\windows\\system32\\");
  std::string temp = machine.paths().DirTemp();
  EXPECT_EQ(temp.rfind("C:\\users\\", 0), 0u) << temp;
  EXPECT_EQ(temp.substr(temp.size() - 6), "\\Temp\\") << temp;
  EXPECT_TRUE(machine.files().Stat(temp.substr(0, temp.size() - 1)).has_value());
  EXPECT_EQ(machine.paths().ProgramFolder(), "C:\\Program Files\\Korvanta");
  EXPECT_TRUE(fs::is_directory(prefix / "drive_c/Program Files/Korvanta"));
  EXPECT_EQ(machine.Describe(), prefix.string());
}

TEST(PortableMachine, FoldersFallBackWhenTheRegistryIsSilent) {
  test::TempDir dir;
  fs::path root = dir.path() / "bare";
  fs::create_directories(root / "drive_c");
  test::WriteBytes(root / "system.reg",
                   "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n");
  Machine machine(OpenMachineFolder(root));
  EXPECT_EQ(machine.paths().WinDir(), "C:\\WINDOWS\\");
  EXPECT_EQ(machine.paths().DirTemp(), "C:\\WINDOWS\\Temp\\");
}

TEST(Trash, RecycledFilesGoToTheFreedesktopTrash) {
  test::TempDir dir;
  fs::path home_data = dir.path() / "data";
  test::ScopedEnv data_home("XDG_DATA_HOME", home_data.string());
  fs::path prefix = test::CopyFreshPrefix(dir.path());
  Machine machine(OpenMachineFolder(prefix));
  ASSERT_EQ(machine.files().WriteFile("C:\\junk 1.tmp", "junk"), kSuccess);
  machine.shell().RecycleFile("C:\\JUNK 1.TMP");
  EXPECT_FALSE(fs::exists(prefix / "drive_c/junk 1.tmp"));
  EXPECT_EQ(test::ReadBytes(home_data / "Trash/files/junk 1.tmp"), "junk");
  std::string info = test::ReadBytes(home_data / "Trash/info/junk 1.tmp.trashinfo");
  EXPECT_NE(info.find("[Trash Info]\nPath=/"), std::string::npos) << info;
  EXPECT_NE(info.find("drive_c/junk%201.tmp\nDeletionDate="), std::string::npos) << info;

  // A second file of the same name gets its own place.
  ASSERT_EQ(machine.files().WriteFile("C:\\junk 1.tmp", "again"), kSuccess);
  machine.shell().RecycleFile("C:\\junk 1.tmp");
  EXPECT_EQ(test::ReadBytes(home_data / "Trash/files/junk 1.tmp.2"), "again");
  const auto files = test::Names(home_data / "Trash/files");
  const auto infos = test::Names(home_data / "Trash/info");
  machine.shell().RecycleFile("C:\\absent.tmp");  // nothing to do, nothing happens
  EXPECT_EQ(test::Names(home_data / "Trash/files"), files);
  EXPECT_EQ(test::Names(home_data / "Trash/info"), infos);
}

// Stand-ins for Wine's and the desktop's programs, first in PATH: each records
// its prefix and arguments in a file, so the test sees what would be started.
class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = dir_.path() / "bin";
    fs::create_directories(bin_);
    for (const char* name : {"wine", "wineboot", "xdg-open"}) {
      fs::path script = bin_ / name;
      test::WriteBytes(script, std::string("#!/bin/sh\necho \"$WINEPREFIX|") + name + " $*\" >> " +
                                   (dir_.path() / "started").string() + "\n");
      fs::permissions(script, fs::perms::owner_all);
    }
    path_.emplace("PATH", bin_.string() + ":" + std::getenv("PATH"));
    prefix_ = test::CopyFreshPrefix(dir_.path());
    machine_ = std::make_unique<Machine>(OpenMachineFolder(prefix_));
  }
  void TearDown() override { path_.reset(); }

  // The lines recorded once count programs have run (they run detached).
  std::string Started(std::size_t count) {
    for (int i = 0; i < 100; ++i) {
      std::string text = test::ReadBytes(dir_.path() / "started");
      if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= count)
        return text;
      usleep(50000);
    }
    return test::ReadBytes(dir_.path() / "started");
  }

  test::TempDir dir_;
  fs::path bin_, prefix_;
  std::optional<test::ScopedEnv> path_;
  std::unique_ptr<Machine> machine_;
};

TEST_F(ShellTest, RestartIsWinebootOnThePrefix) {
  machine_->shell().RequestRestart();
  EXPECT_EQ(Started(1), prefix_.string() + "|wineboot --restart\n");
}

TEST_F(ShellTest, OpeningGoesThroughWineOrTheDesktop) {
  std::string folder = machine_->paths().ProgramFolder();
  ASSERT_EQ(machine_->files().WriteFile(folder + "\\help.chm", "x"), kSuccess);
  machine_->shell().Execute("open", "C:\\Program Files\\Korvanta\\absent.exe", "", 0);
  machine_->shell().Execute("open", "C:\\PROGRAM FILES\\korvanta\\help.chm", "", 0);
  machine_->shell().Execute("Open", "https://www.korvanta.com/password-help.htm", "", 0);
  // They run detached: in whatever order they get there.
  std::string started = Started(2);
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = started.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(started.substr(at, end - at));
  }
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines,
            (std::vector<std::string>{prefix_.string() + "|wine start /unix " + prefix_.string() +
                                          "/dosdevices/c:/Program Files/Korvanta/help.chm",
                                      "|xdg-open https://www.korvanta.com/password-help.htm"}))
      << "a missing file starts nothing";
}

}  // namespace
}  // namespace korvanta::store
