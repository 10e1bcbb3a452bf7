// The program lists of win.ini's "load" and "run" entries, and where the boot
// options and the system files live.

#include "startup/startup_places.h"

#include <gtest/gtest.h>

#include "sysfiles/system_files_frame.h"

namespace korvanta::test {
namespace {

struct ListCase {
  const char* entry;
  const char* programs;
  const char* with;     // WithPrograms
  const char* without;  // WithoutPrograms
  const char* taken;    // TakenPrograms
  bool has;             // HasAnyProgram
};

TEST(StartupProgramList, AddsRemovesAndFindsPrograms) {
  const ListCase cases[] = {
      // Adding to an empty entry, and to one that names other programs.
      {"", "C:\\w.exe", "C:\\w.exe", "", "", false},
      {"C:\\a.exe", "C:\\w.exe", "C:\\a.exe C:\\w.exe", "C:\\a.exe", "", false},
      // A program the entry names already, in other letter case, is not added
      // twice, and is taken off.
      {"C:\\a.exe C:\\b.exe", "c:\\A.EXE", "C:\\a.exe C:\\b.exe", "C:\\b.exe", "C:\\a.exe", true},
      // A row naming the whole entry takes it all, but not what was added since.
      {"C:\\a.exe C:\\b.exe C:\\c.exe", "C:\\a.exe C:\\b.exe", "C:\\a.exe C:\\b.exe C:\\c.exe",
       "C:\\c.exe", "C:\\a.exe C:\\b.exe", true},
      // The user's blanks, tabs and commas stay as he wrote them; only the
      // separator beside a program taken out goes with it.
      {"  C:\\a.exe\t\tC:\\b.exe ", "C:\\b.exe", "  C:\\a.exe\t\tC:\\b.exe ", "  C:\\a.exe ",
       "C:\\b.exe", true},
      {"C:\\a.exe,  C:\\b.exe", "C:\\w.exe", "C:\\a.exe,  C:\\b.exe C:\\w.exe",
       "C:\\a.exe,  C:\\b.exe", "", false},
      {"C:\\a.exe,C:\\b.exe,C:\\c.exe", "C:\\b.exe", "C:\\a.exe,C:\\b.exe,C:\\c.exe",
       "C:\\a.exe,C:\\c.exe", "C:\\b.exe", true},
      {"C:\\a.exe, C:\\b.exe  C:\\c.exe", "C:\\c.exe C:\\a.exe", "C:\\a.exe, C:\\b.exe  C:\\c.exe",
       "C:\\b.exe", "C:\\a.exe, C:\\c.exe", true},
      // A path the user wrote with a blank is one program: never torn apart nor
      // taken for another path on the same folder.
      {"C:\\Program Files\\a.exe", "C:\\Program Files\\b.exe",
       "C:\\Program Files\\a.exe C:\\Program Files\\b.exe", "C:\\Program Files\\a.exe", "", false},
      {"C:\\Program Files\\a.exe C:\\Program Files\\x.exe", "C:\\Program Files\\a.exe",
       "C:\\Program Files\\a.exe C:\\Program Files\\x.exe", "C:\\Program Files\\x.exe",
       "C:\\Program Files\\a.exe", true},
      // Programs that are gone from the entry leave it as it is.
      {"C:\\a.exe", "C:\\z.exe C:\\y.exe", "C:\\a.exe C:\\z.exe C:\\y.exe", "C:\\a.exe", "", false},
      // Nothing to add.
      {"C:\\a.exe", "   ", "C:\\a.exe", "C:\\a.exe", "", false},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(std::string(c.entry) + " / " + c.programs);
    EXPECT_EQ(startup::WithPrograms(c.entry, c.programs), c.with);
    EXPECT_EQ(startup::WithoutPrograms(c.entry, c.programs), c.without);
    EXPECT_EQ(startup::TakenPrograms(c.entry, c.programs), c.taken);
    EXPECT_EQ(startup::HasAnyProgram(c.entry, c.programs), c.has);
  }
  EXPECT_TRUE(startup::IsOneProgram("C:\\PROGRA~1\\a.exe"));
  EXPECT_FALSE(startup::IsOneProgram("C:\\Program Files\\a.exe"));
  EXPECT_FALSE(startup::IsOneProgram("C:\\a,b.exe"));
  EXPECT_FALSE(startup::IsOneProgram(""));
}

TEST(StartupPlaces, BootOptionsFileIsAtTheRootOfTheWindowsDrive) {
  EXPECT_EQ(startup::BootOptionsFile("C:\\WINDOWS\\"), "C:\\msdos.sys");
  EXPECT_EQ(startup::BootOptionsFile("D:\\WIN98\\SUB\\"), "D:\\msdos.sys");
  EXPECT_EQ(startup::BootOptionsFile("C:"), "C:\\msdos.sys");
}

TEST(SystemFiles, SevenNamesLiveInTheWindowsFolderOrAtTheRoot) {
  const struct {
    const char* name;
    const char* windows;
    const char* folder;
  } cases[] = {
      {"system.ini", "C:\\WINDOWS\\", "C:\\WINDOWS"}, {"WIN.INI", "C:\\WINDOWS", "C:\\WINDOWS"},
      {"MSDOS.SYS", "C:\\WINDOWS\\", "C:"},           {"config.sys", "D:\\W\\X", "D:\\W"},
      {"autoexec.bat", "C:\\WINDOWS", "C:"},          {"System.Dat", "C:\\WINDOWS", "C:\\WINDOWS"},
      {"user.dat", "C:\\WINDOWS", "C:\\WINDOWS"},     {"notes.txt", "C:\\WINDOWS", ""},
      {"system.ini.bak", "C:\\WINDOWS", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sysfiles::SystemFileFolder(c.name, c.windows), c.folder)
        << c.name << " " << c.windows;
  }
}

}  // namespace
}  // namespace korvanta::test
