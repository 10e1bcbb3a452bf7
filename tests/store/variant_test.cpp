#include "store/variant.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <string_view>

namespace korvanta::store {
namespace {

// Numbers in the C library's decimal-comma form until the object goes, as in a
// German desktop session, where Qt sets the C locale from the environment.
class DecimalCommaNumbers {
 public:
  DecimalCommaNumbers() : saved_(std::setlocale(LC_NUMERIC, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252"}) {
      if (std::setlocale(LC_NUMERIC, name)) break;
    }
  }
  ~DecimalCommaNumbers() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
  DecimalCommaNumbers(const DecimalCommaNumbers&) = delete;
  DecimalCommaNumbers& operator=(const DecimalCommaNumbers&) = delete;
  bool active() const { return std::string_view(std::localeconv()->decimal_point) == ","; }

 private:
  std::string saved_;
};

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

TEST(Variant, NumbersBeyondTheRangeOfADouble) {
  EXPECT_FALSE(ParseNumber("1e400").has_value());
  EXPECT_FALSE(ParseNumber("-1,000e306").has_value());
  EXPECT_FALSE(ParseNumber("0.01e311").has_value());
  // Too small to hold reads as zero rather than as no number.
  EXPECT_EQ(ParseNumber("1e-400"), 0.0);
  EXPECT_EQ(ParseNumber("-12345e-500"), 0.0);
  EXPECT_EQ(ParseNumber("1000e-320"), 1e-317) << "small, not zero";
}

TEST(Variant, NumbersReadTheSameUnderADecimalCommaLocale) {
  DecimalCommaNumbers locale;
  ASSERT_TRUE(locale.active()) << "no decimal-comma locale: scripts/setup generates de_DE.UTF-8";
  const struct {
    const char* text;
    double number;
  } cases[] = {
      {"1.5", 1.5},   {"-0.25", -0.25}, {"1,024.5", 1024.5}, {"1,5", 15}, {"2.5e1", 25},
      {"1.5D2", 150}, {".5", 0.5},      {"&H10", 16},        {"+7.", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.number) << c.text;
  EXPECT_EQ(Variant("2.5").ToInt32(), 2);
  EXPECT_EQ(Variant("3.5").ToInt32(), 4);
  EXPECT_TRUE(Variant(" 1.0 ") == 1);
}

TEST(Variant, TextForm) {
  EXPECT_EQ(Variant().ToText(), "");
  EXPECT_EQ(Variant(-1).ToText(), "-1");
  EXPECT_EQ(Variant("回收站").ToText(), "回收站");
}

}  // namespace
}  // namespace korvanta::store
