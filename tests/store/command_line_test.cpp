// Parameters of a shell launch on a machine folder reach Wine's start as the words
// a Windows program would see in its own command line.

#include <gtest/gtest.h>

#include "store/portable/shell_portable.h"

namespace korvanta::store {
namespace {

TEST(SplitCommandLineTest, SplitsAsTheCRuntimeDoes) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"shell32.dll,Control_RunDLL joy.cpl,,0", {"shell32.dll,Control_RunDLL", "joy.cpl,,0"}},
      {"  a \t b  ", {"a", "b"}},
      {"\"C:\\Program Files\\a.txt\" /s", {"C:\\Program Files\\a.txt", "/s"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"\"", {""}},
      {"C:\\dir\\ x", {"C:\\dir\\", "x"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\\"b", {"a\"b"}},
      {"end\\\\", {"end\\\\"}},
      {"\"open", {"open"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

}  // namespace
}  // namespace korvanta::store
