// Code page 936 as Wine converts it. The Windows build compares every character
// with the system's own conversion under Wine.

#include "store/portable/cp936.h"

#include <gtest/gtest.h>

#include "store/utf.h"

#ifdef _WIN32
#include "store/win32/codepage_win32.h"
#include "store/win32/windows_api.h"
#endif

namespace korvanta::store {
namespace {

TEST(Cp936, ChineseTextRoundTrips) {
  Cp936 cp;
  std::string text = "系统个性化设置(可以在此设置个性化系统) Korvanta V3.5 “确定” ！";
  std::string ansi = cp.ToAnsi(text);
  EXPECT_EQ(cp.FromAnsi(ansi), text);
  EXPECT_EQ(cp.ToAnsi("回收站"), "\xbb\xd8\xca\xd5\xd5\xbe");
  EXPECT_EQ(cp.ToAnsi("我的文档"), "\xce\xd2\xb5\xc4\xce\xc4\xb5\xb5");
  EXPECT_EQ(cp.FromAnsi("\x80"), "€");
}

TEST(Cp936, UnmappableAndInvalidInputBehaveAsTheSystem) {
  Cp936 cp;
  EXPECT_EQ(cp.ToAnsi("日本語ｶﾀｶﾅ"), cp.ToAnsi("日本語") + "????");
  EXPECT_EQ(cp.ToAnsi("¢"), "\xa1\xe9") << "best fit";
  // A lead byte takes any non-zero next byte; alone it is the default character.
  EXPECT_EQ(Cp936::ToUtf16("\x81\x20"
                           "a"),
            u"?a");
  EXPECT_EQ(Cp936::ToUtf16("a\x81"), u"a?");
  EXPECT_EQ(Cp936::ToUtf16(std::string("\x81\0b", 3)), std::u16string(u"?\0b", 3));
  EXPECT_EQ(Cp936::ToUtf16("\xff"
                           "x"),
            u"\xf8f5x");
}

TEST(Cp936, BoundedConversionNeverSplitsACharacter) {
  char out[8] = {};
  bool fitted = true;
  EXPECT_EQ(Cp936::FromUtf16Into(u"临时文件", out, 5, fitted), 4u);
  EXPECT_FALSE(fitted);
  EXPECT_EQ(std::string(out, 4), "\xc1\xd9\xca\xb1");
  EXPECT_EQ(Cp936::FromUtf16Into(u"ab临", out, 4, fitted), 4u);
  EXPECT_TRUE(fitted);
  EXPECT_EQ(Cp936::AnsiLength(u"ab临时"), 6u);
}

TEST(Cp936, NamesTheCharactersItCannotHold) {
  struct Case {
    const char* text;
    const char* unstorable;
  };
  const Case cases[] = {
      {"回收站 Korvanta V3.5 “确定”？?", ""},
      {"€", ""},  // 0x80 in this code page
      {"김한국 김", "김한국"},
      {"日本語ｶﾀｶﾅ", "ｶﾀﾅ"},
      {"¢5", "¢"},    // stored as a look-alike (best fit)
      {"a😀b😀", "😀"},  // beyond the BMP
      {"", ""},
  };
  Cp936 cp;
  for (const Case& c : cases) EXPECT_EQ(cp.Unstorable(c.text), c.unstorable) << c.text;
}

#ifdef _WIN32
TEST(Cp936, TheSystemHoldsTheSameCharacters) {
  ASSERT_EQ(GetACP(), 936u) << "run under Wine with LANG=zh_CN.UTF-8 (scripts/wine-run)";
  Cp936 ours;
  Win32Codepage system;
  int differences = 0;
  for (unsigned u = 1; u < 0x10000 && differences < 10; ++u) {
    if (u >= 0xd800 && u < 0xe000) continue;  // half a character
    const std::string text = Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(u)));
    if (ours.Unstorable(text) != system.Unstorable(text)) {
      ADD_FAILURE() << "U+" << std::hex << u;
      ++differences;
    }
  }
  EXPECT_EQ(system.Unstorable("a😀김"), "😀김");
}

TEST(Cp936, EveryCharacterConvertsAsTheSystemDoes) {
  ASSERT_EQ(GetACP(), 936u) << "run under Wine with LANG=zh_CN.UTF-8 (scripts/wine-run)";
  int differences = 0;
  for (unsigned u = 1; u < 0x10000 && differences < 10; ++u) {
    wchar_t w = static_cast<wchar_t>(u);
    char sys[4] = {};
    int n = WideCharToMultiByte(936, 0, &w, 1, sys, sizeof sys, nullptr, nullptr);
    std::string ours = Cp936::FromUtf16(std::u16string(1, static_cast<char16_t>(u)));
    if (ours != std::string(sys, static_cast<std::size_t>(n))) {
      ADD_FAILURE() << "U+" << std::hex << u;
      ++differences;
    }
  }
  for (unsigned lead = 0x80; lead < 0x100 && differences < 10; ++lead) {
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      char bytes[3] = {static_cast<char>(lead), static_cast<char>(trail), 'x'};
      wchar_t sys[4] = {};
      int n = MultiByteToWideChar(936, 0, bytes, 3, sys, 4);
      std::u16string ours = Cp936::ToUtf16(std::string(bytes, 3));
      if (ours != std::u16string(reinterpret_cast<char16_t*>(sys), static_cast<std::size_t>(n))) {
        ADD_FAILURE() << std::hex << lead << " " << trail;
        if (++differences >= 10) break;
      }
    }
  }
}
#endif

}  // namespace
}  // namespace korvanta::store
