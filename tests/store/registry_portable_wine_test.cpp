// The portable registry against Wine itself: what we write Wine must read,
// what Wine writes we must read, the same calls must give the same answers as
// advapi32, and nothing may be written while a wineserver owns the files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/portable/registry_portable.h"
#include "store/portable/server_lock.h"
#include "store/reg_script.h"
#include "store/utf.h"
#include "store/wineserver_start.h"
#include "support/test_support.h"

namespace korvanta::store {
namespace {

namespace fs = std::filesystem;
using test::Gbk;

constexpr auto HKLM = RegRoot::kLocalMachine;
constexpr auto HKCU = RegRoot::kCurrentUser;
constexpr auto HKCR = RegRoot::kClassesRoot;

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string Counting(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(i * 7));
  return s;
}

// The key blocks of a registry file whose "[" line mentions word, in order.
std::vector<std::string> BlocksNaming(const std::string& text, std::string_view word) {
  std::vector<std::string> blocks;
  std::size_t pos = 0;
  while ((pos = text.find("\n[", pos)) != std::string::npos) {
    const std::size_t end = text.find("\n\n", pos + 1);
    const std::string block = text.substr(pos + 1, end == std::string::npos ? end : end - pos);
    if (block.substr(0, block.find('\n')).find(word) != std::string::npos) {
      blocks.push_back(block);
    }
    pos += 2;
  }
  return blocks;
}

class PortableRegistryWine : public ::testing::Test {
 protected:
  fs::path Prefix(const std::string& name) {
    fs::path p = test::CopyFreshPrefix(dir_.path(), name);
    EXPECT_FALSE(p.empty());
    return p;
  }
  test::TempDir dir_;
};

const std::string kOurs = Gbk("Software\\Korvanta测试");

test::RegScript EngineWrites() {
  const std::string k = kOurs;
  return {
      test::CreateCmd(HKLM, k + "\\Sub\\Deep"),
      test::SetCmd(HKLM, k, "sz", kRegSz, "no terminator counted"),
      test::SetCmd(HKLM, k, Gbk("中文名"), kRegSz, Gbk("中文测试：注册表") + '\0'),
      test::SetCmd(HKLM, k, "exp", kRegExpandSz, std::string("%SystemRoot%\\system32\0", 22)),
      test::SetCmd(HKLM, k, "multi", kRegMultiSz, "a\0" + Gbk("中") + std::string("\0\0", 2)),
      test::SetCmd(HKLM, k, "dw", kRegDword, Bytes({0x78, 0x56, 0x34, 0x12})),
      test::SetCmd(HKLM, k, "dw3", kRegDword, Bytes({1, 2, 3})),
      test::SetCmd(HKLM, k, "bin", kRegBinary, Counting(100)),
      test::SetCmd(HKLM, k, "none", kRegNone, ""),
      test::SetCmd(HKLM, k, "t99", 0x99, Bytes({1, 2, 3})),
      test::SetCmd(HKLM, k, "empty", kRegSz, ""),
      test::SetCmd(HKLM, k, nullptr, kRegSz, Gbk("默认值")),
      test::SetCmd(HKLM, k, "q\"uote\\back\tslash", kRegSz,
                   "ctl\x01"
                   "7\x1b"
                   "8\x7f"),
      test::SetCmd(HKLM, k, Gbk("à1"), kRegSz, Gbk("à1üb") + std::string(1, '\0')),
      test::SetCmd(HKLM, k, "lone lead byte", kRegSz, "\xd6"),
      test::SetCmd(HKLM, k, "gone", kRegSz, "x"),
      test::DeleteValueCmd(HKLM, k, "GONE"),
      test::CreateCmd(HKLM, k + "\\[bracket]"),
      test::SetCmd(HKLM, k + "\\[bracket]", "v", kRegDword, Bytes({1, 0, 0, 0})),
      test::CreateCmd(HKLM, k + "\\Temp\\Leaf"),
      test::DeleteKeyCmd(HKLM, k + "\\temp\\leaf"),
      test::CreateCmd(HKLM, k + "\\MixedCase"),
      test::SetCmd(HKLM, k + "\\mixedcase", "Name", kRegSz, "1"),
      test::SetCmd(HKLM, k + "\\MIXEDCASE", "NAME", kRegSz, "2"),
      test::CreateCmd(HKCR, "Korvanta.File"),
      test::SetCmd(HKCR, "Korvanta.File", nullptr, kRegSz, Gbk("科文文件")),
      test::CreateCmd(HKLM, "Software\\Wow6432Node\\Classes\\KorvantaLink"),
      test::SetCmd(HKLM, "Software\\Wow6432Node\\Classes\\KorvantaLink", "via", kRegSz, "link"),
      test::CreateCmd(HKCU, "Software\\Korvanta"),
      test::SetCmd(HKCU, "Software\\Korvanta", "user", kRegDword, Bytes({0x2a, 0, 0, 0})),
      test::SetCmd(HKCU, "Software\\Korvanta", Gbk("用户"), kRegSz, Gbk("张三")),
  };
}

test::RegScript ReadsOfEngineWrites() {
  const std::string k = kOurs;
  return {
      test::EnumKeysCmd(HKLM, k),
      test::EnumValuesCmd(HKLM, k),
      test::EnumKeysCmd(HKLM, k + "\\Sub"),
      test::EnumValuesCmd(HKLM, k + "\\[BRACKET]"),
      test::EnumValuesCmd(HKLM, k + "\\mixedcase"),
      test::EnumKeysCmd(HKLM, k + "\\Temp"),
      test::OpenCmd(HKLM, k + "\\Temp\\Leaf"),
      test::QueryCmd(HKLM, k, "SZ"),
      test::QueryCmd(HKLM, k, nullptr),
      test::QueryCmd(HKLM, k, "gone"),
      test::EnumValuesCmd(HKCR, "korvanta.file"),
      test::EnumValuesCmd(HKLM, "Software\\Classes\\Korvanta.File"),
      test::EnumValuesCmd(HKLM, "Software\\Classes\\Wow6432Node\\KorvantaLink"),
      test::OpenCmd(HKLM, "Software\\Classes\\KorvantaLink"),
      test::EnumValuesCmd(HKCU, "Software\\Korvanta"),
  };
}

TEST_F(PortableRegistryWine, WineReadsWhatWeWriteAndKeepsOurBlocks) {
  const fs::path prefix = Prefix("ours");
  // user.reg is missing: our first HKCU write creates it as Wine would.
  fs::remove(prefix / "user.reg");
  std::vector<std::string> written, ours;
  {
    // One action: the reads see our changes in memory, before they are saved
    // and read back from the file, so what Wine reads is checked against
    // what we meant to write.
    PortableRegistry registry(prefix);
    registry.BeginAction();
    written = test::Run(registry, EngineWrites());
    ours = test::Run(registry, ReadsOfEngineWrites());
    registry.EndAction();
    EXPECT_EQ(registry.TakeWriteError(), "");
  }
  for (const auto& line : written) EXPECT_EQ(line.substr(line.find(' ')), " 0") << line;
  const std::string system = test::ReadBytes(prefix / "system.reg");
  const std::string user = test::ReadBytes(prefix / "user.reg");
  EXPECT_EQ(
      user.rfind("WINE REGISTRY Version 2\n"
                 ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n",
                 0),
      0u);

  const auto wine = test::RunProbe(prefix, ReadsOfEngineWrites());
  EXPECT_EQ(wine, ours);
  EXPECT_GT(ours.size(), 30u);

  // wineserver saves everything it loaded when it exits: the blocks it writes
  // for our keys must be the ones we wrote.
  test::WaitForWineserver(prefix);
  const auto our_blocks = BlocksNaming(system, "Korvanta");
  EXPECT_EQ(our_blocks.size(), 7u);
  EXPECT_EQ(BlocksNaming(test::ReadBytes(prefix / "system.reg"), "Korvanta"), our_blocks);
  EXPECT_EQ(BlocksNaming(test::ReadBytes(prefix / "user.reg"), "Korvanta"),
            BlocksNaming(user, "Korvanta"));
  EXPECT_EQ(BlocksNaming(user, "Korvanta").size(), 1u);
}

const std::string kTheirs = "Software\\KorvantaWine";

test::RegScript WineWrites() {
  const std::string k = kTheirs;
  auto utf16 = test::Utf16Le;
  return {
      test::CreateCmd(HKLM, k + "\\A\\B"),
      test::SetCmd(HKLM, k, "sz", kRegSz, Gbk("中文值")),
      test::SetCmd(HKLM, k, "exp", kRegExpandSz, "%TEMP%\\x"),
      test::SetCmd(HKLM, k, "multi", kRegMultiSz, std::string("one\0two\0\0", 9)),
      test::SetCmd(HKLM, k, "dw", kRegDword, Bytes({0xff, 0xfe, 0xfd, 0xfc})),
      test::SetCmd(HKLM, k, "bin", kRegBinary, Counting(300)),
      test::SetCmd(HKLM, k, "t1234", 0x1234, Bytes({9})),
      test::SetWideCmd(HKLM, k, "odd", kRegSz, std::string("a\0b", 3)),
      test::SetWideCmd(HKLM, k, "unterminated", kRegSz, utf16(u"ab")),
      test::SetWideCmd(HKLM, k, "not in gbk", kRegSz,
                       utf16(u"\u0639\u20ac\U0001F600") + '\0' + '\0'),
      test::SetWideCmd(HKLM, k, Gbk("名"), kRegMultiSz, utf16(std::u16string(u"x\0\0y\0\0", 6))),
      test::SetWideCmd(HKLM, k, "ctl", kRegSz,
                       utf16(std::u16string(u"\x01"
                                            u"7\x1b\"\\[]\0",
                                            8))),
      test::CreateCmd(HKLM, k + "\\Gone"),
      test::DeleteKeyCmd(HKLM, k + "\\Gone"),
      test::CreateCmd(HKCU, "Software\\KorvantaWine"),
      test::SetCmd(HKCU, "Software\\KorvantaWine", nullptr, kRegSz, Gbk("用户默认")),
  };
}

test::RegScript ReadsOfWineWrites() {
  return {
      test::EnumKeysCmd(HKLM, kTheirs),
      test::EnumValuesCmd(HKLM, kTheirs),
      test::EnumKeysCmd(HKLM, kTheirs + "\\a"),
      test::OpenCmd(HKLM, kTheirs + "\\Gone"),
      test::EnumValuesCmd(HKCU, "Software\\KorvantaWine"),
  };
}

// Calls whose answers (statuses, orders, conversions) must be advapi32's.
test::RegScript Semantics() {
  const std::string k = "Software\\KorvantaSemantics";
  const std::string y256(256, 'y');
  test::RegScript s = {
      test::CreateCmd(HKLM, k),
      test::DeleteKeyCmd(HKLM, k + "\\missing"),
      test::DeleteKeyCmd(HKLM, "Software\\nope\\x"),
      test::CreateCmd(HKLM, k + "\\a\\b"),
      test::DeleteKeyCmd(HKLM, k + "\\a"),
      test::DeleteKeyCmd(HKLM, k + "\\A\\B\\"),
      test::DeleteKeyCmd(HKLM, k + "\\a"),
      test::OpenCmd(HKLM, "\\Software"),
      test::OpenCmd(HKLM, "Software\\"),
      test::OpenCmd(HKLM, "Software\\\\Wine"),
      test::OpenCmd(HKLM, ""),
      test::CreateCmd(HKLM, "\\" + k + "\\lead"),
      test::CreateCmd(HKLM, k + "\\\\dbl\\\\x\\"),
      test::DeleteKeyCmd(HKLM, ""),
      test::DeleteKeyCmd(HKCU, ""),
      test::DeleteKeyCmd(HKCR, ""),
      test::OpenCmd(HKCR, "\\.chm"),
      test::OpenCmd(HKCR, "\\\\.chm"),
      test::CreateCmd(HKCR, "\\KorvantaHcr"),
      test::DeleteKeyCmd(HKCR, "\\KorvantaHcr"),
      test::CreateCmd(HKLM, "K\\" + y256),
      test::CreateCmd(HKLM, "K\\" + y256 + "y"),
      test::CreateCmd(HKLM, std::string(261, 'z')),
      test::OpenCmd(HKLM, "K\\" + y256 + "yy"),
      test::OpenCmd(HKLM, std::string(261, 'z')),
      test::DeleteKeyCmd(HKLM, "K\\" + y256 + "yy"),
      test::CreateCmd(HKLM, "Software\\Wow6432Node\\Classes\\KorvantaSem\\sub"),
      test::OpenCmd(HKLM, "Software\\Classes\\Wow6432Node\\KorvantaSem\\sub"),
      test::OpenCmd(HKLM, "Software\\Classes\\KorvantaSem"),
      test::DeleteKeyCmd(HKLM, "Software\\Wow6432Node\\Classes\\KorvantaSem\\sub"),
      test::EnumKeysCmd(HKLM, "Software\\Wow6432Node\\Classes\\KorvantaSem"),
      test::EnumKeysCmd(HKLM, "Software\\Wow6432Node"),
  };
  for (const char* name : {"b", "A", "_x", "a1", "Z", "ü", "Σ", "а", "Ⅰ", "中", "Ａ", "@"}) {
    s.push_back(test::CreateCmd(HKLM, k + "\\order\\" + Gbk(name)));
  }
  for (const char* name : {"ⅰ", "σ", "ａ", "B", "Ё"}) {
    s.push_back(test::OpenCmd(HKLM, k + "\\order\\" + Gbk(name)));
  }
  const test::RegScript values = {
      test::EnumKeysCmd(HKLM, k + "\\order"),
      test::SetCmd(HKLM, k, "Case", kRegSz, "x"),
      test::SetCmd(HKLM, k, "CASE", kRegSz, "y"),
      test::SetCmd(HKLM, k, "_under", kRegDword, Bytes({0, 0, 0, 0})),
      test::SetCmd(HKLM, k, "Alpha", kRegDword, Bytes({1, 0, 0, 0})),
      test::SetCmd(HKLM, k, "@", kRegDword, Bytes({2, 0, 0, 0})),
      test::SetCmd(HKLM, k, "", kRegSz, "empty name"),
      test::SetCmd(HKLM, k, "lead zero", kRegSz, std::string("\xd6\0", 2)),
      test::SetCmd(HKLM, k, "odd gbk", kRegSz, Gbk("中") + "a"),
      test::SetCmd(HKLM, k, "embedded", kRegSz, std::string("a\0b", 3)),
      test::SetCmd(HKLM, k, "exp", kRegExpandSz, "x"),
      test::SetCmd(HKLM, k, "multi", kRegMultiSz, std::string("a\0\0", 3)),
      test::SetCmd(HKLM, k, "same", kRegSz, "1"),
      test::SetCmd(HKLM, k, "same", kRegSz, "1"),
      test::SetCmd(HKLM, k, "read only", kRegSz, "x", kKeyRead),
      test::QueryCmd(HKLM, k, "case", kKeyWrite),
      test::QueryCmd(HKLM, k, "missing"),
      test::DeleteValueCmd(HKLM, k, "missing"),
      test::QueryCmd(HKLM, k + "\\missing", "x"),
      test::QueryCmd(HKLM, k, "CASE"),
      test::EnumValuesCmd(HKLM, k),
      test::EnumKeysCmd(HKLM, k + "\\order\\b"),
      test::EnumValuesCmd(HKLM, k + "\\order\\b"),
      test::SetCmd(HKCU, "Software", "KorvantaSemantics", kRegSz, "hkcu"),
      test::QueryCmd(HKCU, "software", "korvantasemantics"),
      test::DeleteValueCmd(HKCU, "Software", "KorvantaSemantics"),
  };
  s.insert(s.end(), values.begin(), values.end());
  return s;
}

TEST_F(PortableRegistryWine, WeReadWhatWineWritesAndAnswerAsAdvapi32) {
  const fs::path theirs = Prefix("theirs");
  test::RegScript script = {test::EchoCmd("part-writes")};
  for (const auto& c : WineWrites()) script.push_back(c);
  script.push_back(test::EchoCmd("part-semantics"));
  for (const auto& c : Semantics()) script.push_back(c);
  script.push_back(test::EchoCmd("part-reads"));
  for (const auto& c : ReadsOfWineWrites()) script.push_back(c);
  const auto wine = test::RunProbe(theirs, script);
  test::WaitForWineserver(theirs);
  for (const auto& line : test::Part(wine, "part-writes")) {
    EXPECT_EQ(line.substr(line.find(' ')), " 0") << line;
  }

  {
    PortableRegistry registry(theirs);
    EXPECT_EQ(test::Run(registry, ReadsOfWineWrites()), test::Part(wine, "part-reads"));
  }
  const fs::path ours = Prefix("ours");
  PortableRegistry registry(ours);
  const auto semantics = test::Run(registry, Semantics());
  const auto expected = test::Part(wine, "part-semantics");
  ASSERT_EQ(semantics.size(), expected.size());
  for (std::size_t i = 0; i < semantics.size(); ++i) {
    EXPECT_EQ(semantics[i], expected[i]) << "line " << i;
  }
}

// A link key's block, its target in the file's hex(6) form.
std::string LinkBlock(const std::string& path, std::u16string_view target) {
  std::string block = "\n[" + path + "] 1697000000\n#link\n";
  AppendRegValue(block, RegValue{u"SymbolicLinkValue", kRegLink, test::Utf16Le(target)});
  return block;
}

// Inserts text into system.reg before its first key, where the header has made
// wineserver's line buffer 63 bytes long.
void InsertBeforeFirstKey(const fs::path& prefix, const std::string& text) {
  std::string system = test::ReadBytes(prefix / "system.reg");
  const std::size_t first_key = system.find("\n[");
  ASSERT_NE(first_key, std::string::npos);
  system.insert(first_key, text);
  test::WriteBytes(prefix / "system.reg", system);
}

TEST_F(PortableRegistryWine, ReadsHandWrittenFilesAsWineDoes) {
  const fs::path prefix = Prefix("quirks");
  const std::string nul(1, '\0');
  std::string quirks =
      "\r\n"
      "[KorvantaQuirks\\\\Nul" +
      nul +
      "Tail] 1697000000\r\n"
      "\"ignored\"=\"1\"\r\n"
      "\r\n"
      // 62 bytes fill the buffer: the rest of the line is a line of its own.
      "[KorvantaQuirks\\\\N" +
      nul + std::string(43, 'x') +
      "[KorvantaQuirks\\\\Split] 1697000000\r\n"
      "\"c\"=dword:3\r\n"
      "\r\n"
      "[KorvantaQuirks\\\\Hex] 1697000000\r\n"
      "\"v\"=hex:01,02,\\\r\n"
      "\r\n"
      "\r\n"
      "[KorvantaQuirks\\\\Zeta] 1697000000\r\n"
      "#time=1d9fbfedb152000\r\n"
      "#unknown=option\r\n"
      "\"b\"=\"2\"\r\n"
      "\"a\"=str:\"1\" trailing\r\n"
      "; a comment\r\n"
      "  \"Dup\" = dword:1\r\n"
      "garbage line\r\n"
      "\r\n"
      "[KorvantaQuirks\\\\alpha\\\\beta] 1697000000\r\n"
      "\"x\"=hex:01, 02 ,\\\r\n"
      "  03,0x4\r\n"
      "[KorvantaQuirks\\\\Zeta] 1697000001\r\n"
      "\"DUP\"=dword:2\r\n"
      "\"bad\"=dword\r\n"
      "\"short\"=dword:1f\r\n"
      "\"long\"=dword:123456789\r\n"
      "\"type\"=hex(1234567890):00\r\n"
      "\"notype\"=hex():\r\n"
      "\"esc\"=\"\\x\\q\\101\\0017\\x12345\xe4\xb8\xad\xc0\xaf\"\r\n"
      "\"unterminated\"=\"abc\r\n"
      "\"badhex\"=hex:100\r\n"
      "\r\n"
      "[KorvantaQuirks\\\\broken key line\r\n"
      "\"ignored\"=\"1\"\r\n"
      "\r\n"
      "[KorvantaQuirks\\\\alpha] 1697000000\r\n"
      "#class=\"cls\"\r\n"
      "\"swallow\"=hex:0a,\\\r\n"
      "[KorvantaQuirks\\\\not a key]\r\n"
      "\"after\"=\"still alpha\"\r\n";
  // Last, as it makes the buffer long: a name longer than wineserver keeps.
  quirks += "\r\n[KorvantaQuirks\\\\Long] 1697000000\r\n\"" + std::string(16384, 'w') +
            "\"=hex:01,\\\r\n  \"after\"=dword:2\r\n\"" + std::string(16383, 'v') +
            "\"=dword:1\r\n";
  InsertBeforeFirstKey(prefix, quirks);

  const test::RegScript script = {
      test::EnumKeysCmd(HKLM, "KorvantaQuirks"),
      test::EnumValuesCmd(HKLM, "KorvantaQuirks\\Zeta"),
      test::EnumValuesCmd(HKLM, "KorvantaQuirks\\alpha"),
      test::EnumValuesCmd(HKLM, "KorvantaQuirks\\alpha\\beta"),
      test::OpenCmd(HKLM, "KorvantaQuirks\\not a key"),
      test::OpenCmd(HKLM, "KorvantaQuirks\\broken key line"),
      test::OpenCmd(HKLM, "KorvantaQuirks\\Nul"),
      test::EnumValuesCmd(HKLM, "KorvantaQuirks\\Split"),
      test::EnumValuesCmd(HKLM, "KorvantaQuirks\\Hex"),
      test::EnumValuesCmd(HKLM, "KorvantaQuirks\\Long"),
  };
  std::vector<std::string> ours;
  {
    PortableRegistry registry(prefix);
    ours = test::Run(registry, script);
  }
  EXPECT_EQ(test::RunProbe(prefix, script), ours);
  EXPECT_GT(ours.size(), 25u);
  test::WaitForWineserver(prefix);
}

TEST_F(PortableRegistryWine, FollowsNestedLinksAsWineDoes) {
  // B\Lk leads to B through four B\Lk-1; C\Lk to C\Lk-1, one deeper each time.
  const std::u16string root = u"\\Registry\\Machine\\KorvantaLinks\\";
  std::string links = "\n[KorvantaLinks\\\\B] 1697000000\n\"v\"=\"b\"\n";
  for (int k = 0; k <= 6; ++k) {
    std::u16string target = root + u"B";
    for (int i = 0; k > 0 && i < 4; ++i) target += u"\\L" + Utf8ToUtf16(std::to_string(k - 1));
    links += LinkBlock("KorvantaLinks\\\\B\\\\L" + std::to_string(k), target);
  }
  for (int k = 0; k <= 33; ++k) {
    links += LinkBlock("KorvantaLinks\\\\C\\\\L" + std::to_string(k),
                       k ? root + u"C\\L" + Utf8ToUtf16(std::to_string(k - 1)) : root + u"B");
  }
  links += LinkBlock("KorvantaLinks\\\\Loop", root + u"Loop");
  const fs::path prefix = Prefix("links");
  InsertBeforeFirstKey(prefix, links);
  test::RegScript script = {
      test::EnumValuesCmd(HKLM, "KorvantaLinks\\B\\L6"),
      test::EnumValuesCmd(HKLM, "KorvantaLinks\\B\\L6\\L5\\L6"),
      test::OpenCmd(HKLM, "KorvantaLinks\\Loop"),
      test::OpenCmd(HKLM, "KorvantaLinks\\Loop\\x"),
      test::CreateCmd(HKLM, "KorvantaLinks\\Loop\\x"),
  };
  for (int k = 30; k <= 33; ++k) {
    script.push_back(test::OpenCmd(HKLM, "KorvantaLinks\\C\\L" + std::to_string(k)));
  }
  std::vector<std::string> ours;
  {
    PortableRegistry registry(prefix);
    ours = test::Run(registry, script);
  }
  EXPECT_EQ(test::RunProbe(prefix, script), ours);
  EXPECT_EQ(ours.front(), "enumval 0 76 1 6200");
  test::WaitForWineserver(prefix);
}

TEST_F(PortableRegistryWine, DeletingAKeyKeepsTheSpellingWineKeeps) {
  // The block that spelled a and B first goes with c; Wine must still see a, B.
  const std::string blocks =
      "\n[KorvantaCase\\\\a\\\\B\\\\c] 1697000000\n\"x\"=\"1\"\n"
      "\n[KorvantaCase\\\\A\\\\b\\\\D] 1697000000\n\"y\"=\"2\"\n";
  const fs::path judged = Prefix("case-judged");
  const fs::path edited = Prefix("case-edited");
  InsertBeforeFirstKey(judged, blocks);
  InsertBeforeFirstKey(edited, blocks);
  {
    PortableRegistry registry(edited);
    EXPECT_EQ(registry.DeleteKey(HKLM, "KorvantaCase\\A\\B\\C"), kSuccess);
  }
  const test::RegScript script = {
      test::EnumKeysCmd(HKLM, "KorvantaCase"),
      test::EnumKeysCmd(HKLM, "KorvantaCase\\a"),
  };
  const auto before = test::RunProbe(judged, script);
  ASSERT_EQ(before.size(), 4u);
  EXPECT_EQ(before[0], "enumkey 0 61");  // "a"
  EXPECT_EQ(test::RunProbe(edited, script), before);
  test::WaitForWineserver(judged);
  test::WaitForWineserver(edited);
}

// Stops the wineserver a test started, whatever happens in the test.
struct ServerStopper {
  fs::path prefix;
  ~ServerStopper() { test::StopWineserver(prefix); }
};

TEST_F(PortableRegistryWine, RefusesToWriteWhileAWineserverRuns) {
  const fs::path prefix = Prefix("busy");
  ServerStopper stopper{prefix};
  const std::string before = test::ReadBytes(prefix / "system.reg");
  PortableRegistry registry(prefix, [prefix] { return WineserverWriteRefusal(prefix); });
  KeyHandle key;
  ASSERT_EQ(registry.OpenKey(HKLM, "Software", kKeyRead | kKeyWrite, key), kSuccess);

  std::optional<test::StartedWineserver> server = test::StartWineserver(prefix);
  ASSERT_TRUE(server) << "wineserver did not start";

  EXPECT_EQ(registry.SetValue(key, "Korvanta", kRegSz, "x"), kSharingViolation);
  const std::string message = registry.TakeWriteError();
  EXPECT_NE(message.find("wineserver 进程 " + std::to_string(server->pid)), std::string::npos)
      << message;
  EXPECT_EQ(registry.TakeWriteError(), "");
  KeyHandle created;
  EXPECT_EQ(registry.CreateKey(HKLM, "Software\\Korvanta", created), kSharingViolation);
  EXPECT_EQ(registry.DeleteKey(HKLM, "Software\\Wine\\Ports"), kSharingViolation);
  registry.BeginAction();
  EXPECT_EQ(registry.DeleteValue(key, "x"), kSharingViolation);
  registry.EndAction();
  EXPECT_EQ(registry.TakeWriteError(), message);
  RegData data;
  EXPECT_EQ(registry.QueryValue(key, "Korvanta", data), kFileNotFound);
  EXPECT_EQ(test::ReadBytes(prefix / "system.reg"), before);

  test::StopWineserver(prefix);
  EXPECT_FALSE(RunningWineserver(prefix));
  // The server saved its own copy on the way out; we write on top of that.
  EXPECT_EQ(registry.SetValue(key, "Korvanta", kRegSz, "x"), kSuccess);
  EXPECT_EQ(registry.TakeWriteError(), "");
  EXPECT_NE(test::ReadBytes(prefix / "system.reg").find("\"Korvanta\"=\"x\""), std::string::npos);
}

}  // namespace
}  // namespace korvanta::store
