#include "store/variant.h"

#include <gtest/gtest.h>

namespace korvanta {
namespace {

TEST(Variant, LooseEquality) {
  Variant empty;
  EXPECT_TRUE(empty == "");
  EXPECT_TRUE(empty == 0);
  EXPECT_FALSE(empty == "0") << "an empty variant is the empty text, not the text 0";
  EXPECT_FALSE(empty == 1);

  EXPECT_TRUE(Variant("400") == 400);
  EXPECT_TRUE(Variant(" 1 ") == 1);
  EXPECT_TRUE(Variant("1.0") == 1);
  EXPECT_TRUE(Variant(83173) == "83173");
  EXPECT_FALSE(Variant("yes") == 1) << "a text that is no number equals no number";
  EXPECT_FALSE(Variant(1) == "yes");
  EXPECT_TRUE(Variant("txtfile") == "txtfile");
  EXPECT_FALSE(Variant("TXTFILE") == "txtfile") << "texts compare exactly";
  EXPECT_FALSE(Variant("") == Variant(0)) << "the empty text is no number";
}

TEST(Variant, NumericConversionFollowsTheOldRuntime) {
  EXPECT_EQ(Variant().ToInt32(), 0);
  EXPECT_EQ(Variant("42").ToInt32(), 42);
  EXPECT_EQ(Variant("  -7 ").ToInt32(), -7);
  EXPECT_EQ(Variant("2.5").ToInt32(), 2) << "halves round to even";
  EXPECT_EQ(Variant("3.5").ToInt32(), 4);
  EXPECT_EQ(Variant("1,024").ToInt32(), 1024);
  EXPECT_EQ(Variant("1e3").ToInt32(), 1000);
  EXPECT_EQ(Variant("&H10").ToInt32(), 16);
  EXPECT_EQ(Variant("&HFFFFFFFF").ToInt32(), -1);
  EXPECT_EQ(Variant("&O17").ToInt32(), 15);
  EXPECT_EQ(Variant("2147483647").ToInt32(), 2147483647);
  EXPECT_EQ(Variant("-2147483648").ToInt32(), -2147483647 - 1);
  for (const char* bad : {"", " ", "abc", "12abc", "2147483648", "1e", "&H", "&HG1", ".", "-"}) {
    EXPECT_FALSE(Variant(bad).ToInt32().has_value()) << '"' << bad << '"';
  }
}

TEST(Variant, TextForm) {
  EXPECT_EQ(Variant().ToText(), "");
  EXPECT_EQ(Variant(-1).ToText(), "-1");
  EXPECT_EQ(Variant("回收站").ToText(), "回收站");
}

}  // namespace
}  // namespace korvanta
