// korvanta's command line for machines, run as the user runs it and with no
// display at all: --list-machines prints what it finds and changes nothing, a
// --machine that names nothing is refused before any window opens.

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace korvanta {
namespace {
namespace fs = std::filesystem;

// Every file and folder under dir, with its size, so that a change shows.
std::string Tree(const fs::path& dir) {
  std::string tree;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    tree += entry.path().string() + " " +
            (entry.is_regular_file() ? std::to_string(entry.file_size()) : "-") + "\n";
  }
  return tree;
}

TEST(MachineCommandLine, ListsMachinesWithoutADisplayAndRefusesUnknownNames) {
  test::TempDir dir;
  const fs::path home = dir.path() / "home";
  for (const fs::path& p : {home / ".wine", home / ".local/share/bottles/bottles/office",
                            home / ".PlayOnLinux/wineprefix/Office 2003"}) {
    test::WriteBytes(p / "system.reg", "WINE REGISTRY Version 2\n#arch=win32\n");
    test::WriteBytes(p / "user.reg", "WINE REGISTRY Version 2\n");
    fs::create_directories(p / "drive_c");
  }
  test::WriteBytes(home / ".local/share/bottles/bottles/office/bottle.yml", "Name: 办公\n");
  const std::string before = Tree(home);
  const std::string env = "env -i PATH=/usr/bin:/bin HOME=" + test::ShellQuote(home.string()) + " ";
  const std::string program = test::ShellQuote(KORVANTA_QT_PROGRAM);

  test::RunResult listed = test::Run(env + program + " --list-machines 2>&1");
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, "Wine\t.wine\t" + (home / ".wine").string() + "\n" + "Bottles\t办公\t" +
                            (home / ".local/share/bottles/bottles/office").string() + "\n" +
                            "PlayOnLinux\tOffice 2003\t" +
                            (home / ".PlayOnLinux/wineprefix/Office 2003").string() + "\n" +
                            "Korvanta\t演示计算机\t" +
                            (home / ".local/share/korvanta/machine").string() + "\n");
  EXPECT_EQ(Tree(home), before) << "listing changed the home folder";

  // Without a display Qt cannot start: the offscreen platform stands in, and
  // --smoke keeps the refusal off the screen.
  test::RunResult refused =
      test::Run(env + "QT_QPA_PLATFORM=offscreen " + program + " --machine nothing --smoke " +
                test::ShellQuote((dir.path() / "shots").string()) + " 2>&1");
  EXPECT_NE(refused.status, 0);
  EXPECT_NE(refused.out.find("nor a Wine prefix of that name"), std::string::npos) << refused.out;
}

}  // namespace
}  // namespace korvanta
