// The text format of Wine registry files: escapes, value lines and the reader's
// quirks. Expected texts are what wineserver writes and reads for them.

#include "store/portable/reg_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "support/test_support.h"

namespace korvanta::store {
namespace {

std::string Escaped(std::u16string_view text, RegQuotes quotes = RegQuotes::kString) {
  std::string out;
  const std::size_t count = AppendRegEscaped(out, text, quotes);
  EXPECT_EQ(count, out.size());
  return out;
}

std::u16string Unescaped(std::string_view text, char end = '"') {
  std::u16string out;
  std::string with_end(text);
  with_end.push_back(end);
  auto used = ParseRegEscaped(with_end, end, out);
  EXPECT_EQ(used, with_end.size()) << text;
  return out;
}

// UTF-16LE bytes of a string with its terminator, as a string value holds it.
std::string Sz(std::u16string_view text) {
  return test::Utf16Le(text).append(2, '\0');
}

std::string Line(const RegValue& value) {
  std::string out;
  AppendRegValue(out, value);
  return out;
}

struct Parsed {
  RegValueParse result;
  RegValue value;
  bool operator==(const Parsed&) const = default;
};

void PrintTo(const Parsed& p, std::ostream* os) {
  *os << "result " << static_cast<int>(p.result) << ", type " << p.value.type << ", data";
  for (unsigned char c : p.value.data) *os << ' ' << std::hex << static_cast<int>(c) << std::dec;
  *os << ", name of " << p.value.name.size() << " units";
}

// Parses the first line of text as a value line, with the rest as its
// continuation lines.
Parsed ParseValueText(std::string_view text) {
  RegLineReader reader(text);
  std::string_view line;
  reader.Next(line);
  Parsed p;
  p.result = ParseRegValue(SkipRegSpace(line), reader, p.value);
  return p;
}

TEST(RegTextEscape, WritesWhatWineserverWrites) {
  EXPECT_EQ(Escaped(u"plain text 123"), "plain text 123");
  EXPECT_EQ(Escaped(u"a\"b\\c[d]"), "a\\\"b\\\\c[d]");
  EXPECT_EQ(Escaped(u"a\"b\\c[d]", RegQuotes::kKeyName), "a\"b\\\\c\\[d\\]");
  // GBK text is kept as UTF-16 code units; a following hex digit forces 4 digits.
  EXPECT_EQ(Escaped(u"中文"), "\\x4e2d\\x6587");
  EXPECT_EQ(Escaped(u"\u00e0b\u00e0g\u00e0"), "\\x00e0b\\xe0g\\xe0");
  EXPECT_EQ(Escaped(u"\u03b11"), "\\x03b11");
  EXPECT_EQ(Escaped(u"\u4e2dA"), "\\x4e2dA");
  // C escapes, then octal (3 digits only before an octal digit).
  EXPECT_EQ(Escaped(u"\a\b\t\n\v\f\r\x1b"), "\\a\\b\\t\\n\\v\\f\\r\\e");
  EXPECT_EQ(Escaped(std::u16string(u"\x01"
                                   u"7\x01"
                                   u"8\x1f")),
            "\\0017\\18\\37");
  EXPECT_EQ(Escaped(std::u16string(u"a\0b\0"
                                   u"5",
                                   5)),
            "a\\0b\\0005");
  // Characters beyond the BMP go as their surrogates.
  EXPECT_EQ(Escaped(u"\U0001F600"), "\\xd83d\\xde00");
}

TEST(RegTextEscape, RoundTrips) {
  const std::u16string samples[] = {
      u"",
      u"中文测试 GBK：注册表",
      std::u16string(u"\0\x01\x02\x07\x08\x0b\x1a\x1b\x1f\x7f", 10),
      u"\x01"
      u"7\x02"
      u"0\x03"
      u"9\x1f"
      u"1",
      u"\u4e2d0\u4e2df\u4e2dF\u4e2dg\u00ff\u0100a",
      u"quote\" back\\ [bracket] \\x41 \\101",
      std::u16string(u"ends with nul\0", 14),
      std::u16string(u"\U0001F600\uffff") + char16_t{0xd800} + u"x",
  };
  for (const auto& s : samples) {
    EXPECT_EQ(Unescaped(Escaped(s)), s);
    EXPECT_EQ(Unescaped(Escaped(s, RegQuotes::kKeyName), ']'), s);
  }
}

TEST(RegTextEscape, ReadsWhatWineserverReads) {
  EXPECT_EQ(Unescaped("\\x"), u"x");  // \x without digits is an x
  EXPECT_EQ(Unescaped("\\xg"), u"xg");
  EXPECT_EQ(Unescaped("\\x12345"),
            u"\u1234"
            u"5");  // at most 4 hex digits
  EXPECT_EQ(Unescaped("\\101\\0017\\18"),
            u"A\x01"
            u"7\x01"
            u"8");
  EXPECT_EQ(Unescaped("\\q\\[\\'"), u"q['");                  // any other escape is the character
  EXPECT_EQ(Unescaped("\xe4\xb8\xad\xc3\xa9"), u"中\u00e9");  // raw bytes are UTF-8
  EXPECT_EQ(Unescaped("\xf0\x9f\x98\x80"), u"\U0001F600");
  // Invalid UTF-8 is dropped: a stray continuation byte, an overlong form, a
  // lead byte cut short (the ASCII after it stays).
  EXPECT_EQ(Unescaped("a\x80"
                      "b\xc0\xaf"
                      "c\xe4"
                      "d"),
            u"abcd");
  EXPECT_EQ(Unescaped("\xe0\x80\x80"
                      "e"),
            u"e");

  std::u16string out;
  EXPECT_FALSE(ParseRegEscaped("no end", '"', out));
  EXPECT_FALSE(ParseRegEscaped("escaped end\\\"", '"', out));
  EXPECT_FALSE(ParseRegEscaped("trailing backslash\\", '"', out));
  EXPECT_EQ(ParseRegEscaped("ab\"rest", '"', out), 3u);
  EXPECT_EQ(out, u"ab");
}

TEST(RegTextValue, WritesEachTypeAsWineserverDoes) {
  EXPECT_EQ(Line({u"", kRegSz, Sz(u"default")}), "@=\"default\"\n");
  EXPECT_EQ(Line({u"@", kRegDword, std::string("\x78\x56\x34\x12", 4)}), "\"@\"=dword:12345678\n");
  EXPECT_EQ(Line({u"n\"q", kRegSz, Sz(u"中文")}), "\"n\\\"q\"=\"\\x4e2d\\x6587\"\n");
  EXPECT_EQ(Line({u"e", kRegExpandSz, Sz(u"%PATH%;x")}), "\"e\"=str(2):\"%PATH%;x\"\n");
  EXPECT_EQ(Line({u"m", kRegMultiSz, Sz(std::u16string(u"a\0b\0", 4))}),
            "\"m\"=str(7):\"a\\0b\\0\"\n");
  // Strings that are not terminated, odd or empty are written as hex.
  EXPECT_EQ(Line({u"s", kRegSz, std::string("a\0b", 3)}), "\"s\"=hex(1):61,00,62\n");
  EXPECT_EQ(Line({u"s", kRegSz, std::string("a\0", 2)}), "\"s\"=hex(1):61,00\n");
  EXPECT_EQ(Line({u"s", kRegSz, ""}), "\"s\"=hex(1):\n");
  EXPECT_EQ(Line({u"d", kRegDword, std::string("\1\2\3", 3)}), "\"d\"=hex(4):01,02,03\n");
  EXPECT_EQ(Line({u"b", kRegBinary, ""}), "\"b\"=hex:\n");
  EXPECT_EQ(Line({u"t", 0x99, std::string("\xff", 1)}), "\"t\"=hex(99):ff\n");
  EXPECT_EQ(Line({u"n", kRegNone, ""}), "\"n\"=hex(0):\n");
}

TEST(RegTextValue, WrapsHexWhereWineserverDoes) {
  const std::string bytes(60, '\xab');
  // "abc"=hex: takes 10 columns, so 22 bytes reach column 76 exactly (no
  // break yet) and the 23rd passes it; with "abcd" the 22nd already passes it.
  const std::string row = [] {
    std::string r;
    for (int i = 0; i < 25; ++i) r += "ab,";
    return r;
  }();
  auto first_line = [](const std::string& text) { return text.substr(0, text.find('\n')); };
  const std::string abc = Line({u"abc", kRegBinary, bytes});
  EXPECT_EQ(first_line(abc), "\"abc\"=hex:" + row.substr(0, 23 * 3) + "\\");
  EXPECT_EQ(first_line(abc).size(), 10 + 23 * 3 + 1);
  const std::string abcd = Line({u"abcd", kRegBinary, bytes});
  EXPECT_EQ(first_line(abcd), "\"abcd\"=hex:" + row.substr(0, 22 * 3) + "\\");
  // Continuation lines start at column 2 and hold 25 bytes.
  EXPECT_EQ(abc, "\"abc\"=hex:" + row.substr(0, 69) + "\\\n  " + row + "\\\n  " +
                     row.substr(0, 11 * 3) + "ab\n");
  // Escapes in the name count as the characters written.
  const std::string quoted = Line({u"ab\"", kRegBinary, bytes});
  EXPECT_EQ(first_line(quoted).size(), first_line(abcd).size());
  // The last byte never gets a comma, so it never wraps.
  EXPECT_EQ(Line({u"abc", kRegBinary, std::string(23, '\xab')}),
            "\"abc\"=hex:" + row.substr(0, 22 * 3) + "ab\n");
}

TEST(RegTextValue, ReadsTheQuirksWineserverAccepts) {
  auto ok = [](std::u16string name, std::uint32_t type, std::string data) {
    return Parsed{RegValueParse::kOk, RegValue{std::move(name), type, std::move(data)}};
  };
  auto dword = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  EXPECT_EQ(ParseValueText("\"a\"=\"x\""), ok(u"a", kRegSz, Sz(u"x")));
  EXPECT_EQ(ParseValueText("  @ =\t\"x\" trailing"), ok(u"", kRegSz, Sz(u"x")));
  EXPECT_EQ(ParseValueText("\"a\"=str:\"x\""), ok(u"a", kRegSz, Sz(u"x")));
  EXPECT_EQ(ParseValueText("\"a\"=str(2):\"x\""), ok(u"a", kRegExpandSz, Sz(u"x")));
  EXPECT_EQ(ParseValueText("\"a\"=dword:1f"), ok(u"a", kRegDword, dword(0x1f)));
  EXPECT_EQ(ParseValueText("\"a\"=dword:123456789"), ok(u"a", kRegDword, dword(0x23456789)));
  EXPECT_EQ(ParseValueText("\"a\"=dword:zz"), ok(u"a", kRegDword, dword(0)));
  EXPECT_EQ(ParseValueText("\"a\"=dword:-1"), ok(u"a", kRegDword, dword(0xffffffff)));
  EXPECT_EQ(ParseValueText("\"a\"=hex:01, 02 ,3,0x4 5"), ok(u"a", kRegBinary, "\1\2\3\4\5"));
  EXPECT_EQ(ParseValueText("\"a\"=hex(7):61,00,00,00"),
            ok(u"a", kRegMultiSz, std::string("a\0\0\0", 4)));
  EXPECT_EQ(ParseValueText("\"a\"=hex():"), ok(u"a", kRegNone, ""));
  EXPECT_EQ(ParseValueText("\"a\"=hex(1234567890):"), ok(u"a", 0x34567890, ""));
  EXPECT_EQ(ParseValueText("\"a\"=hex:01,\\\n  02,\\ ignored\n03\nnot read"),
            ok(u"a", kRegBinary, "\1\2\3"));
  EXPECT_EQ(ParseValueText("\"a\"=hex:01,\\\r\n\r\n"), ok(u"a", kRegBinary, "\1"));

  // Bad data keeps the name with REG_NONE and no data; a bad name stores nothing.
  const Parsed bad_data{RegValueParse::kBadData, RegValue{u"a", kRegNone, ""}};
  EXPECT_EQ(ParseValueText("\"a\"=\"unterminated"), bad_data);
  EXPECT_EQ(ParseValueText("\"a\"=str(1):\"x\""), bad_data);
  EXPECT_EQ(ParseValueText("\"a\"=hex:100"), bad_data);
  EXPECT_EQ(ParseValueText("\"a\"=hex:01 x"), bad_data);
  EXPECT_EQ(ParseValueText("\"a\"=hex:01,\\"), bad_data);  // continued past the end
  EXPECT_EQ(ParseValueText("\"a\"=hex(2:00"), bad_data);
  EXPECT_EQ(ParseValueText("\"a\"=word:1"), bad_data);
  EXPECT_EQ(ParseValueText("\"a\" \"x\"").result, RegValueParse::kBadName);
  EXPECT_EQ(ParseValueText("\"a=\"x\"").result, RegValueParse::kBadName);
  EXPECT_EQ(ParseValueText("@x=\"x\"").result, RegValueParse::kBadName);
  // wineserver keeps names of up to 16,383 characters and takes no continuation
  // line for a longer one.
  const std::string longest(16383, 'n');
  EXPECT_EQ(ParseValueText("\"" + longest + "\"=hex:01,\\\n02"),
            ok(Utf8ToUtf16(longest), kRegBinary, "\1\2"));
  RegLineReader more("\"after\"=dword:2\n");
  RegValue value;
  EXPECT_EQ(ParseRegValue("\"" + longest + "n\"=hex:01,\\", more, value), RegValueParse::kBadName);
  EXPECT_EQ(more.offset(), 0u);
}

TEST(RegTextLines, SplitLikeWineserversReader) {
  auto lines = [](std::string_view text, std::uint32_t buffer) {
    RegLineReader reader(text, buffer);
    std::vector<std::string> out;
    std::string_view line;
    while (reader.Next(line)) out.emplace_back(line);
    return out;
  };
  const std::string pad(70, 'x');
  struct Case {
    std::string text;
    std::uint32_t buffer;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\n\r\ne\r", 4, {"a", "b", "", "e\r"}},
      // A NUL ends the text; what the buffer did not take is the next line.
      {std::string("c\0d\nz", 5), 4, {"c", "", "z"}},
      {std::string("c\0d\nz", 5), 6, {"c", "z"}},
      {"[K" + std::string(1, '\0') + pad + "\n", 63, {"[K", pad.substr(59) + ""}},
      // The buffer grows with every long line, so a later NUL line fits.
      {pad + "\n[K" + std::string(1, '\0') + pad + "\n", 63, {pad, "[K"}},
      {std::string("\0[K]\n", 5), 4, {"", "]"}},
  };
  for (const Case& c : cases) EXPECT_EQ(lines(c.text, c.buffer), c.lines) << c.text;

  // The reader keeps a view of its text, so it takes no temporary string.
  static_assert(!std::is_constructible_v<RegLineReader, std::string>);
  static_assert(!std::is_constructible_v<RegLineReader, std::string, std::uint32_t>);
  static_assert(std::is_constructible_v<RegLineReader, const std::string&>);
  static_assert(std::is_constructible_v<RegLineReader, const char(&)[2]>);
  const std::string two_lines = pad + "\n" + pad;
  RegLineReader reader(two_lines);
  std::string_view line;
  while (reader.Next(line)) {
  }
  EXPECT_EQ(reader.buffer_size(), 94u) << "4, 6, 9, 13, 19, 28, 42, 63, 94";
}

TEST(RegTextKeys, ParsesKeyLinesAndPaths) {
  RegKeyLine key;
  ASSERT_TRUE(ParseRegKeyLine("Software\\\\A\\]b] 1796548028", key));
  EXPECT_EQ(key.path, u"Software\\A]b");
  EXPECT_EQ(key.seconds, 1796548028u);
  ASSERT_TRUE(ParseRegKeyLine("x]", key));
  EXPECT_FALSE(key.seconds);
  EXPECT_FALSE(ParseRegKeyLine("no end", key));

  std::vector<std::u16string_view> names;
  ASSERT_TRUE(SplitRegPath(u"a\\\\b\\c\\", names));
  EXPECT_EQ(names, (std::vector<std::u16string_view>{u"a", u"b", u"c"}));
  ASSERT_TRUE(SplitRegPath(u"", names));
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(SplitRegPath(u"\\a", names));

  EXPECT_EQ(ParseRegTime("1dd85612bd0503e"), 0x1dd85612bd0503eull);
  EXPECT_EQ(ParseRegTime("1fZ"), 0x1fu);

  std::string head;
  const std::u16string a = u"Soft[ware]", b = u"中";
  AppendRegKeyHead(head, {&a, &b}, 0x1dd85612bd0503eull, nullptr, false);
  EXPECT_EQ(head, "\n[Soft\\[ware\\]\\\\\\x4e2d] 1796548028\n#time=1dd85612bd0503e\n");
  head.clear();
  const std::u16string cls = u"c\"";
  AppendRegKeyHead(head, {}, kFiletimeUnixEpoch + 0x0000000100000002ull, &cls, true);
  EXPECT_EQ(head, "\n[] 429\n#time=19db1dfd53e8002\n#class=\"c\\\"\"\n#link\n");
}

TEST(RegTextNames, SortAndMatchAsWineserver) {
  // Lower-cased code units: '_' (0x5f) sorts before letters, '@' first, a prefix first.
  EXPECT_LT(CompareRegNames(u"@", u"_under"), 0);
  EXPECT_LT(CompareRegNames(u"_under", u"Alpha"), 0);
  EXPECT_LT(CompareRegNames(u"abc", u"ABCD"), 0);
  EXPECT_LT(CompareRegNames(u"Z", u"\u00fc"), 0);
  EXPECT_LT(CompareRegNames(u"\u03a3", u"\u0430"), 0);  // Σ (as σ) before а
  EXPECT_TRUE(RegNamesEqual(u"Software", u"SOFTWARE"));
  EXPECT_TRUE(RegNamesEqual(u"\u00c4\u0100\u0139", u"\u00e4\u0101\u013a"));
  EXPECT_TRUE(RegNamesEqual(u"\u03a3\u0388\u038f", u"\u03c3\u03ad\u03ce"));
  EXPECT_TRUE(RegNamesEqual(u"\u0401\u0416\u0460\u04c1", u"\u0451\u0436\u0461\u04c2"));
  EXPECT_TRUE(RegNamesEqual(u"\u2160\u24b6\uff21", u"\u2170\u24d0\uff41"));
  EXPECT_FALSE(RegNamesEqual(u"\u03c3", u"\u03c2"));  // final sigma is its own letter
  EXPECT_FALSE(RegNamesEqual(u"a", u"a "));
}

}  // namespace
}  // namespace korvanta::store
