#include "store/paths.h"

#include <gtest/gtest.h>

namespace korvanta::store {
namespace {

TEST(Paths, NameAndFolderSplitAtTheLastBackslash) {
  EXPECT_EQ(GetName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(GetName("abc"), "abc");
  EXPECT_EQ(GetName("C:\\a\\"), "");
  EXPECT_EQ(GetName("C:\\WINDOWS\\system32\\logo.scr"), "logo.scr");
  EXPECT_EQ(GetFolder("C:\\a\\b.txt"), "C:\\a");
  EXPECT_EQ(GetFolder("C:\\"), "C:");
  EXPECT_EQ(GetFolder("C:\\WINDOWS"), "C:");
  EXPECT_EQ(GetFolder("abc"), "abc");
}

TEST(Paths, StripNullCutsAtTheFirstZero) {
  EXPECT_EQ(StripNull(std::string("abc\0def", 7)), "abc");
  EXPECT_EQ(StripNull(std::string("\0", 1)), "");
  EXPECT_EQ(StripNull("plain"), "plain");
}

}  // namespace
}  // namespace korvanta::store
