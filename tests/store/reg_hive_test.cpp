// One registry file in memory: what is not changed must come back byte for
// byte, a changed key must come back exactly as wineserver writes it, in the
// place wineserver would put it.

#include "store/portable/reg_hive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvanta::store {
namespace {

constexpr std::uint64_t kTime = 0x1d9fbfedb152000ull;  // 1697000000 s after 1970, exactly
constexpr std::uint64_t kLater = kTime + 3600 * kFiletimeTicksPerSecond;
const std::string kLaterHead = "] 1697003600\n#time=1d9fc073cd98800\n";

std::string Sz(std::u16string_view text) {
  return test::Utf16Le(text).append(2, '\0');
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

// The lines of `before` that `after` replaced: [first, end_before) became
// [first, end_after), with the lines around them unchanged.
struct LineChange {
  std::size_t first = 0, end_before = 0, end_after = 0;
};
LineChange Diff(const std::string& before, const std::string& after) {
  const auto a = Lines(before), b = Lines(after);
  LineChange c;
  while (c.first < a.size() && c.first < b.size() && a[c.first] == b[c.first]) ++c.first;
  std::size_t tail = 0;
  while (tail < a.size() - c.first && tail < b.size() - c.first &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
    ++tail;
  }
  c.end_before = a.size() - tail;
  c.end_after = b.size() - tail;
  return c;
}

// A registry file of the prefix wineboot made for this test run, read only
// (so the Windows build's run under Wine reads it too).
std::string FreshFile(const char* name) {
  const std::filesystem::path dir = test::PrefixTemplate();
  std::string bytes = test::ReadBytes(dir / name);
  EXPECT_GT(bytes.size(), 100u) << "no " << name << " in " << dir << " (run scripts/make-prefix)";
  return bytes;
}

void ForEachKey(RegKey& key, const std::function<void(RegKey&)>& visit) {
  visit(key);
  for (RegKey* sub : key.subkeys()) ForEachKey(*sub, visit);
}

const char kSorted[] =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[A] 1697000000\n"
    "#time=1d9fbfedb152000\n"
    "\"v\"=\"1\"\n"
    "\n"
    "[A\\\\sub] 1697000000\n"
    "#time=1d9fbfedb152000\n"
    "\n"
    "[B\\\\x] 1697000000\n"
    "#time=1d9fbfedb152000\n"
    "\"v\"=dword:00000001\n"
    "\n"
    "[C] 1697000000\n"
    "#time=1d9fbfedb152000\n";

// A file wineserver never writes but reads: CRLF, unsorted keys, comments,
// unknown options, runs of blank lines, a key in two blocks, bad lines, no
// newline at the end.
const char kMessy[] =
    "WINE REGISTRY Version 2\r\n"
    ";; hand-made\r\n"
    "#arch=win64\r\n"
    "\"orphan\"=\"value before any key\"\r\n"
    "\r\n"
    "\r\n"
    "[Zeta] 1697000000\r\n"
    "#time=1d9fbfedb152000\r\n"
    "#unknown=option\r\n"
    "\"b\"=\"2\"\r\n"
    "\"a\"=\"1\"\r\n"
    "; a comment between values\r\n"
    "  \"Dup\" = dword:1\r\n"
    "garbage line\r\n"
    "\r\n"
    "[alpha\\\\beta] 1697000000\r\n"
    "\"x\"=hex:01,02,\\\r\n"
    "  03\r\n"
    "[Zeta] 1697000001\r\n"
    "\"DUP\"=dword:2\r\n"
    "\"bad\"=dword\r\n"
    "\r\n"
    "[broken key line\r\n"
    "\"ignored\"=\"1\"\r\n"
    "\r\n"
    "\r\n"
    "[alpha] 1697000000\r\n"
    "#class=\"cls\"\r\n"
    "\"swallow\"=hex:0a,\\\r\n"
    "[not a key]\r\n"
    "\"after\"=\"still alpha\"\r\n"
    "\r\n"
    "\r\n";

std::string WithoutFinalNewline(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

TEST(RegHiveRoundTrip, FreshPrefixFilesComeBackByteForByte) {
  for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
    SCOPED_TRACE(name);
    const std::string bytes = FreshFile(name);
    ASSERT_GT(bytes.size(), 100u);
    RegHive hive(bytes);
    ASSERT_TRUE(hive.valid());
    std::size_t keys = 0, values = 0;
    ForEachKey(hive.root(), [&](RegKey& key) {
      ++keys;
      values += hive.Values(key).size();
    });
    EXPECT_GT(values, 0u);
    EXPECT_FALSE(hive.modified());
    EXPECT_EQ(hive.Save(), bytes);
    if (std::string(name) == "system.reg") {
      EXPECT_GT(keys, 5000u);
      EXPECT_EQ(hive.branch(), u"Machine");
      EXPECT_EQ(hive.arch(), "win64");
      RegKey* nt = hive.Open(u"Software\\Microsoft\\Windows NT\\CurrentVersion");
      ASSERT_TRUE(nt);
      const RegValue* version = hive.Value(*nt, u"currentversion");
      ASSERT_TRUE(version);
      EXPECT_EQ(version->name, u"CurrentVersion");
      EXPECT_EQ(version->data, Sz(u"6.1"));
    }
  }
}

TEST(RegHiveRoundTrip, RegeneratingEveryKeyReproducesWineserversFile) {
  // Every key is changed and changed back at its own time, so every block is
  // written by our writer: the result must be what wineserver wrote.
  for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
    SCOPED_TRACE(name);
    const std::string bytes = FreshFile(name);
    RegHive hive(bytes);
    ForEachKey(hive.root(), [&](RegKey& key) {
      const std::uint64_t t = hive.ModificationTime(key);
      ASSERT_TRUE(hive.SetValue(key, u"korvanta probe", kRegDword, "\1\2\3\4", t));
      ASSERT_TRUE(hive.DeleteValue(key, u"KORVANTA PROBE", t));
    });
    const std::string saved = hive.Save();
    const LineChange change = Diff(bytes, saved);
    EXPECT_EQ(saved, bytes) << "first difference at line " << change.first + 1 << ": "
                            << Lines(saved)[change.first];
  }
}

TEST(RegHiveRoundTrip, HandMadeFilesComeBackByteForByte) {
  for (std::string text : {std::string(kSorted), std::string(kMessy), WithoutFinalNewline(kMessy),
                           std::string("WINE REGISTRY Version 2\n"), std::string()}) {
    RegHive hive(text);
    ForEachKey(hive.root(), [&](RegKey& key) { hive.Values(key); });
    EXPECT_EQ(hive.Save(), text);
  }
}

TEST(RegHiveRead, FollowsTheReaderRulesOfWineserver) {
  RegHive hive(kMessy);
  ASSERT_TRUE(hive.valid());
  std::vector<std::u16string> top;
  for (RegKey* key : hive.root().subkeys()) top.push_back(key->name());
  EXPECT_EQ(top, (std::vector<std::u16string>{u"alpha", u"Zeta"}));

  RegKey* zeta = hive.Open(u"zeta");
  ASSERT_TRUE(zeta);
  const auto& values = hive.Values(*zeta);
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0], (RegValue{u"a", kRegSz, Sz(u"1")}));
  EXPECT_EQ(values[1], (RegValue{u"b", kRegSz, Sz(u"2")}));
  EXPECT_EQ(values[2], (RegValue{u"bad", kRegNone, ""}));
  // The second block's value wins; the first spelling of the name stays.
  EXPECT_EQ(values[3], (RegValue{u"Dup", kRegDword, std::string("\2\0\0\0", 4)}));
  // The time comes from the block that created the key; a later block's N does
  // not change it.
  EXPECT_EQ(hive.ModificationTime(*zeta), kTime);

  RegKey* alpha = hive.Open(u"ALPHA");
  ASSERT_TRUE(alpha);
  ASSERT_TRUE(hive.Class(*alpha));
  EXPECT_EQ(*hive.Class(*alpha), u"cls");
  // The "[not a key]" line was read as the hex value's continuation.
  const auto& av = hive.Values(*alpha);
  ASSERT_EQ(av.size(), 2u);
  EXPECT_EQ(av[0], (RegValue{u"after", kRegSz, Sz(u"still alpha")}));
  EXPECT_EQ(av[1], (RegValue{u"swallow", kRegNone, ""}));
  EXPECT_FALSE(hive.Open(u"not a key"));

  RegKey* beta = hive.Open(u"alpha\\beta");
  ASSERT_TRUE(beta);
  ASSERT_EQ(hive.Values(*beta).size(), 1u);
  EXPECT_EQ(hive.Values(*beta)[0].data, "\1\2\3");

  RegHive not_a_registry("WINE REGISTRY Version 1\n\n[A]\n\"v\"=\"1\"\n");
  EXPECT_FALSE(not_a_registry.valid());
  EXPECT_TRUE(not_a_registry.root().subkeys().empty());

  // "[]" is the file's root itself.
  RegHive root_values("WINE REGISTRY Version 2\n\n[] 1697000000\n\"r\"=dword:00000001\n");
  ASSERT_EQ(root_values.Values(root_values.root()).size(), 1u);
  EXPECT_EQ(root_values.Values(root_values.root())[0].name, u"r");

  RegHive time_wins(
      "WINE REGISTRY Version 2\n[K] 1697000000\n#time=1d9fc073cd98800\n\"v\"=\"1\"\n");
  EXPECT_EQ(time_wins.ModificationTime(*time_wins.Open(u"K")), kLater);
}

// Every key as "path" and every value as "path|name|type|hex bytes", depth first.
std::vector<std::string> Dump(RegHive& hive) {
  std::vector<std::string> out;
  std::function<void(RegKey&, const std::string&)> walk = [&](RegKey& key,
                                                              const std::string& path) {
    out.push_back(path);
    for (const RegValue& v : hive.Values(key)) {
      std::string line = path + "|" + Utf16ToUtf8(v.name) + "|" + std::to_string(v.type) + "|";
      for (unsigned char c : v.data)
        line += "0123456789abcdef"[c >> 4], line += "0123456789abcdef"[c & 15];
      out.push_back(line);
    }
    for (RegKey* sub : key.subkeys()) {
      walk(*sub, path.empty() ? Utf16ToUtf8(sub->name()) : path + "\\" + Utf16ToUtf8(sub->name()));
    }
  };
  walk(hive.root(), "");
  return out;
}

std::string WithNul(std::string text) {
  std::replace(text.begin(), text.end(), '~', '\0');
  return text;
}

TEST(RegHiveRead, ReadsLinesAsWineserverDoes) {
  // The header makes wineserver's line buffer 63 bytes long (4 growing by half
  // past line 2), which decides where a line with a NUL byte is cut.
  const std::string head =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n";
  const std::string x59(59, 'x');
  struct Case {
    const char* what;
    std::string body;
    std::vector<std::string> dump;
  } cases[] = {
      {"a blank line ends a continued hex value",
       "\n[A]\n\"v\"=hex:01,02,\\\n\n[B]\n\"w\"=hex:03,\\\n\n",
       {"", "A", "A|v|3|0102", "B", "B|w|3|03"}},
      {"a NUL ends a key line",
       WithNul("\n[Nul~Tail] 1\n\"a\"=\"1\"\n\n[Ok]\n\"b\"=dword:2\n"),
       {"", "Ok", "Ok|b|4|02000000"}},
      {"a NUL line longer than the buffer goes on as a line of its own",
       WithNul("\n[N~" + x59 + "[Split] 1\n\"c\"=dword:3\n"),
       {"", "Split", "Split|c|4|03000000"}},
      {"a value name too long is dropped, its continuation read as lines",
       "\n[L]\n\"" + std::string(16384, 'w') + "\"=hex:01,\\\n  \"after\"=dword:2\n",
       {"", "L", "L|after|4|02000000"}},
  };
  for (const Case& c : cases) {
    RegHive hive(head + c.body);
    EXPECT_EQ(Dump(hive), c.dump) << c.what;
  }
}

TEST(RegHiveRead, LoadingTakesOnePassOverSwallowedKeyLines) {
  // Every "[" line here continues the hex value before it: 256 KB of them.
  std::string text = "WINE REGISTRY Version 2\n\n[K]\n";
  while (text.size() < 256 * 1024) text += "\"v\"=hex:00,\\\n[not a key]\n";
  const auto start = std::chrono::steady_clock::now();
  RegHive hive(text);
  EXPECT_EQ(Dump(hive), (std::vector<std::string>{"", "K", "K|v|0|"}));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(RegHiveChange, OneValueChangesOnlyItsKeysBlock) {
  const std::string bytes = FreshFile("system.reg");
  RegHive hive(bytes);
  RegKey* nt = hive.Open(u"Software\\Microsoft\\Windows NT\\CurrentVersion");
  ASSERT_TRUE(nt);
  ASSERT_TRUE(hive.SetValue(*nt, u"RegisteredOwner", kRegSz, Sz(u"测试 \"user\""), kLater));
  const std::string saved = hive.Save();

  const auto before = Lines(bytes), after = Lines(saved);
  const std::string head = "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] ";
  std::size_t block = 0;
  while (block < before.size() && before[block].rfind(head, 0) != 0) ++block;
  ASSERT_LT(block, before.size());
  std::size_t block_end = block + 1;
  while (block_end < before.size() && !before[block_end].empty()) ++block_end;

  const LineChange change = Diff(bytes, saved);
  EXPECT_EQ(change.first, block);
  EXPECT_LE(change.end_before, block_end);
  EXPECT_EQ(after[block], head.substr(0, head.size() - 1) + kLaterHead.substr(1, 11));
  EXPECT_EQ(after[block + 1], "#time=1d9fc073cd98800");
  // The other lines of the block are as they were, the new value in its place.
  std::vector<std::string> old_values(before.begin() + block + 2, before.begin() + block_end);
  std::vector<std::string> new_values(after.begin() + block + 2,
                                      after.begin() + (block_end - before.size() + after.size()));
  std::vector<std::string> expected = old_values;
  const std::string owner = "\"RegisteredOwner\"=\"\\x6d4b\\x8bd5 \\\"user\\\"\"";
  auto at = std::find_if(expected.begin(), expected.end(), [](const std::string& l) {
    return l.rfind("\"RegisteredOwner\"=", 0) == 0;
  });
  ASSERT_NE(at, expected.end());
  *at = owner;
  EXPECT_EQ(new_values, expected);
}

TEST(RegHiveChange, NewKeysGoWhereWineserverPutsThem) {
  RegHive hive(kSorted);
  RegKey& b = *hive.Open(u"B");
  hive.CreateSubkey(b, u"y", kLater);
  hive.CreateSubkey(hive.root(), u"Aa", kLater);
  hive.CreateSubkey(hive.root(), u"0", kLater);
  hive.CreateSubkey(hive.CreateSubkey(hive.root(), u"D", kLater), u"e", kLater);
  // C was a key without values or subkeys; with a subkey it needs no block.
  hive.CreateSubkey(*hive.Open(u"C"), u"sub", kLater);
  hive.SetValue(*hive.Open(u"C\\sub"), u"", kRegSz, Sz(u"x"), kLater);
  // A is touched by nothing: its block and its child's stay as they were.
  const std::string expected =
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to REGISTRY\\\\Machine\n"
      "\n"
      "#arch=win64\n"
      "\n[0" +
      kLaterHead +
      "\n"
      "[A] 1697000000\n"
      "#time=1d9fbfedb152000\n"
      "\"v\"=\"1\"\n"
      "\n"
      "[A\\\\sub] 1697000000\n"
      "#time=1d9fbfedb152000\n"
      "\n[Aa" +
      kLaterHead +
      "\n"
      "[B\\\\x] 1697000000\n"
      "#time=1d9fbfedb152000\n"
      "\"v\"=dword:00000001\n"
      "\n[B\\\\y" +
      kLaterHead + "\n[C\\\\sub" + kLaterHead +
      "@=\"x\"\n"
      "\n[D\\\\e" +
      kLaterHead;
  EXPECT_EQ(hive.Save(), expected);
  // Loading it again and regenerating everything keeps that order.
  RegHive again(expected);
  ForEachKey(again.root(), [&](RegKey& key) {
    const std::uint64_t t = again.ModificationTime(key);
    again.SetValue(key, u"tmp", kRegNone, "", t);
    again.DeleteValue(key, u"tmp", t);
  });
  EXPECT_EQ(again.Save(), expected);
}

TEST(RegHiveChange, DeletesKeysWithoutSubkeysOnly) {
  RegHive hive(kSorted);
  RegKey* a = hive.Open(u"A");
  EXPECT_FALSE(hive.DeleteKey(*a, kLater));
  EXPECT_FALSE(hive.DeleteKey(hive.root(), kLater));
  EXPECT_FALSE(hive.modified());
  EXPECT_EQ(hive.Save(), kSorted);

  RegKey* x = hive.Open(u"b\\X");
  ASSERT_TRUE(hive.DeleteKey(*x, kLater));
  EXPECT_TRUE(x->deleted());
  EXPECT_FALSE(hive.Open(u"B\\x"));
  // B has no subkeys left, so it gets a block of its own where B\x was.
  std::string expected = kSorted;
  const std::string old_block =
      "\n[B\\\\x] 1697000000\n#time=1d9fbfedb152000\n\"v\"=dword:00000001\n";
  expected.replace(expected.find(old_block), old_block.size(), "\n[B" + kLaterHead);
  EXPECT_EQ(hive.Save(), expected);

  ASSERT_TRUE(hive.DeleteKey(*hive.Open(u"C"), kLater));
  ASSERT_TRUE(hive.DeleteKey(*hive.Open(u"B"), kLater));
  ASSERT_TRUE(hive.DeleteKey(*hive.Open(u"A\\sub"), kLater));
  EXPECT_EQ(hive.Save(),
            "WINE REGISTRY Version 2\n"
            ";; All keys relative to REGISTRY\\\\Machine\n"
            "\n"
            "#arch=win64\n"
            "\n[A" +
                kLaterHead + "\"v\"=\"1\"\n");
}

TEST(RegHiveChange, SameValueAgainChangesNothing) {
  RegHive hive(kSorted);
  RegKey* a = hive.Open(u"a");
  EXPECT_FALSE(hive.SetValue(*a, u"V", kRegSz, Sz(u"1"), kLater));
  EXPECT_FALSE(hive.DeleteValue(*a, u"missing", kLater));
  EXPECT_FALSE(hive.modified());
  EXPECT_TRUE(hive.SetValue(*a, u"V", kRegExpandSz, Sz(u"1"), kLater));
  EXPECT_TRUE(hive.modified());
  EXPECT_EQ(hive.Values(*a)[0].name, u"v");  // the stored spelling stays
}

std::string LinkBlock(std::string_view path, std::u16string_view target) {
  std::string block = "\n[" + std::string(path) + "] 1697000000\n#time=1d9fbfedb152000\n#link\n";
  AppendRegValue(block, RegValue{u"SymbolicLinkValue", kRegLink, test::Utf16Le(target)});
  return block;
}

TEST(RegHiveLinks, OpenFollowsLinksAsWineDoes) {
  const std::string text =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n"
      "\n[Loop] 1697000000\n#time=1d9fbfedb152000\n#link\n" +
      LinkBlock("Broken", u"\\Registry\\Machine\\Nowhere") +
      LinkBlock("Loop", u"\\Registry\\Machine\\Loop") +
      LinkBlock("Outside", u"\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software") +
      "\n[Software\\\\Classes\\\\Wow6432Node\\\\CLSID] 1697000000\n#time=1d9fbfedb152000\n"
      "\"v\"=\"in wow\"\n" +
      LinkBlock("Software\\\\Wow6432Node\\\\Classes",
                u"\\REGISTRY\\Machine\\Software\\Classes\\Wow6432Node");
  RegHive hive(text);
  RegKey* through = hive.Open(u"Software\\Wow6432Node\\Classes\\clsid");
  ASSERT_TRUE(through);
  EXPECT_EQ(through, hive.Open(u"Software\\Classes\\Wow6432Node\\CLSID"));
  EXPECT_EQ(hive.Open(u"Software\\Wow6432Node\\Classes"),
            hive.Open(u"Software\\Classes\\Wow6432Node"));
  EXPECT_FALSE(hive.Open(u"Broken"));
  EXPECT_FALSE(hive.Open(u"Loop"));
  EXPECT_FALSE(hive.Open(u"Outside"));  // not in this file
  EXPECT_EQ(hive.Save(), text);
}

TEST(RegHiveLinks, NestedLinksResolveInBoundedWork) {
  // B\L0 leads to B, and B\Lk to B through eight B\Lk-1: a naive walk resolves
  // 8^8 links for B\L8.
  std::string text =
      "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n[B]\n\"v\"=\"1\"\n";
  for (int k = 0; k <= 8; ++k) {
    std::u16string target = u"\\Registry\\Machine\\B";
    for (int i = 0; k > 0 && i < 8; ++i) target += u"\\L" + Utf8ToUtf16(std::to_string(k - 1));
    text += LinkBlock("B\\\\L" + std::to_string(k), target);
  }
  // Each link leads to the next: Wine resolves a link's target at most 32 links
  // deep, the keys on the way included.
  for (int k = 0; k <= 32; ++k) {
    text += LinkBlock("C\\\\L" + std::to_string(k),
                      k ? u"\\Registry\\Machine\\C\\L" + Utf8ToUtf16(std::to_string(k - 1))
                        : u"\\Registry\\Machine\\B");
  }
  RegHive hive(text);
  RegKey* b = hive.Open(u"B");
  ASSERT_TRUE(b);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(hive.Open(u"B\\L8"), b);
  EXPECT_EQ(hive.Open(u"B\\L8\\L7\\L8"), b);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(hive.Open(u"C\\L31"), b);
  EXPECT_FALSE(hive.Open(u"C\\L32"));
}

TEST(RegHiveChange, KeysKeepTheirFirstSpelling) {
  // The first "[" line that names a key spells it; when that line goes, the
  // next one must not respell the key.
  struct Case {
    const char* what;
    std::function<void(RegHive&)> change;
  } cases[] = {
      {"deleting the key whose line spelled its parents",
       [](RegHive& h) { ASSERT_TRUE(h.DeleteKey(*h.Open(u"a\\b\\c"), kLater)); }},
      {"deleting the value that gave the parent its block",
       [](RegHive& h) { ASSERT_TRUE(h.DeleteValue(*h.Open(u"a\\b"), u"v", kLater)); }},
  };
  for (const Case& c : cases) {
    RegHive hive(
        "WINE REGISTRY Version 2\n\n[a\\\\B] 1697000000\n\"v\"=\"1\"\n\n[A\\\\b\\\\c] 1697000000\n"
        "\n[A\\\\B\\\\D] 1697000000\n\"w\"=\"2\"\n");
    c.change(hive);
    RegHive saved(hive.Save());
    RegKey* d = saved.Open(u"a\\b\\d");
    ASSERT_TRUE(d) << c.what;
    EXPECT_EQ(saved.PathOf(*d), (std::vector<std::u16string>{u"a", u"B", u"D"})) << c.what;
  }
}

TEST(RegHiveChange, EmptyFileGetsWineserversHeader) {
  const std::string empty = RegHive::EmptyFile(u"User\\S-1-5-21-0-0-0-1000", "win64");
  EXPECT_EQ(empty,
            "WINE REGISTRY Version 2\n"
            ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
            "\n"
            "#arch=win64\n");
  RegHive hive(empty);
  EXPECT_EQ(hive.branch(), u"User\\S-1-5-21-0-0-0-1000");
  RegKey& key = hive.CreateSubkey(hive.root(), u"Software", kLater);
  hive.SetValue(key, u"v", kRegDword, std::string("\1\0\0\0", 4), kLater);
  EXPECT_EQ(hive.Save(), empty + "\n[Software" + kLaterHead + "\"v\"=dword:00000001\n");
}

}  // namespace
}  // namespace korvanta::store
