// What the shell customisation tools read out of texts: an icon location split at
// its first comma with its number read as the old runtime's Val reads it, and an
// applet file's name and description.

#include <gtest/gtest.h>

#include "tools/control_panel_applets.h"
#include "tools/desktop_icons.h"

namespace korvanta::tools {
namespace {

TEST(IconLocationTest, SplitsAtTheFirstCommaAndReadsTheLeadingNumber) {
  struct Case {
    const char* location;
    const char* file;
    int index;
    bool has_comma;
  };
  const Case cases[] = {
      {"explorer.exe, 0", "explorer.exe", 0, true},
      {"shell32.dll,-138", "shell32.dll", -138, true},
      {"C:\\icons\\a.ico,3", "C:\\icons\\a.ico", 3, true},
      {"nocomma.ico", "nocomma.ico", 0, false},
      {"", "", 0, false},
      {"a.dll,", "a.dll", 0, true},
      {"a.dll,  12abc", "a.dll", 12, true},
      {"a.dll,x3", "a.dll", 0, true},
      {"a.dll,+5", "a.dll", 5, true},
      {"a,b.dll,7", "a", 0, true},
      {"a.dll,99999999999", "a.dll", 2147483647, true},
  };
  for (const Case& c : cases) {
    IconLocation split = SplitIconLocation(c.location);
    EXPECT_EQ(split.file, c.file) << c.location;
    EXPECT_EQ(split.index, c.index) << c.location;
    EXPECT_EQ(split.has_comma, c.has_comma) << c.location;
  }
}

TEST(AppletInfoTest, KnownAppletsInAnyCaseElseTheFileName) {
  EXPECT_EQ(DescribeApplet("DESK.CPL").name, "显示");
  EXPECT_EQ(DescribeApplet("Desk.cpl").description, "更改显示设置。");
  EXPECT_EQ(DescribeApplet("access.cpl").name, "辅助功能选项");
  EXPECT_EQ(DescribeApplet("abc.cpl").name, "abc");
  EXPECT_EQ(DescribeApplet("abc.cpl").description, "不明项目说明。");
  EXPECT_EQ(DescribeApplet("desk.cpl.bak.cpl").name, "desk.cpl.bak");
  EXPECT_EQ(DescribeApplet(".cpl").name, "");
  EXPECT_EQ(DescribeApplet("x").name, "");
}

}  // namespace
}  // namespace korvanta::tools
