// Registry Access Layer conformance: the same expectations of both back ends.

#include <algorithm>
#include <string>

#include "store/conformance.h"

namespace korvanta::test {
namespace {

using RegistryConformance = StoreTest;
constexpr RegRoot kHkcu = RegRoot::kCurrentUser;

TEST_F(RegistryConformance, MissingKeyOrValueLeavesTheVariantAlone) {
  Variant value("kept");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("absent"), "x", value), kFileNotFound);
  EXPECT_EQ(value, "kept");

  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "present", kRegSz, Variant("v")), kSuccess);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "absent", value), kFileNotFound);
  EXPECT_EQ(value, "kept");

  Variant number(7);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "absent", number), kFileNotFound);
  EXPECT_TRUE(number.is_number());
  EXPECT_EQ(number, 7);
}

TEST_F(RegistryConformance, TextsOfAnyLengthAreReadWhole) {
  // 254, 255 and 1000 bytes: the last two used to fail and show as empty.
  for (std::size_t length : {254u, 255u, 1000u, 70000u}) {
    std::string text(length, 'a');
    text.back() = 'z';
    ASSERT_EQ(reg().SetValue(kHkcu, Key(), "long", kRegSz, Variant(text)), kSuccess);
    Variant value;
    EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "long", value), kSuccess) << length;
    EXPECT_EQ(value.ToText(), text) << length;
  }
}

TEST_F(RegistryConformance, ChineseTextRoundTripsAndCountsAnsiBytes) {
  Variant text("回收站 我的文档 Korvanta");
  std::int32_t size = 0;
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "中文名", kRegSz, text, size), kSuccess);
  EXPECT_EQ(size, 7 * 2 + 2 + 8 + 1) << "two GBK bytes per character, then the zero";
  Variant back;
  ASSERT_EQ(reg().QueryValue(kHkcu, Key(), "中文名", back), kSuccess);
  EXPECT_EQ(back, "回收站 我的文档 Korvanta");
}

TEST_F(RegistryConformance, NumbersAndBinaryReadAsSignedIntegers) {
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "all", kRegDword, std::string(4, '\xff')), kSuccess);
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "one", kRegBinary, std::string("\x01\0\0\0", 4)),
            kSuccess);
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "short", kRegBinary, std::string("\xb5", 1)), kSuccess);
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "long", kRegBinary, std::string(8, '\x01')), kSuccess);
  Variant v;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "all", v), kSuccess);
  EXPECT_EQ(v, -1);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "one", v), kSuccess);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "short", v), kSuccess);
  EXPECT_EQ(v, 181);
  Variant untouched("x");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "long", untouched), kMoreData);
  EXPECT_EQ(untouched, "x");
}

TEST_F(RegistryConformance, OtherTypesAndExpandableTexts) {
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "multi", kRegMultiSz, std::string("a\0b\0\0", 5)),
            kSuccess);
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "path", kRegExpandSz, Variant("%SystemRoot%\\x")),
            kSuccess);
  Variant v("before");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "multi", v), kSuccess);
  EXPECT_EQ(v, "before");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "path", v), kSuccess);
  EXPECT_EQ(v, "%SystemRoot%\\x") << "expandable texts come back unexpanded";
}

TEST_F(RegistryConformance, SetValueConvertsNumbersAndRefusesNonNumbers) {
  Variant v("42");
  std::int32_t size = 0;
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "n", kRegDword, v, size), kSuccess);
  EXPECT_EQ(size, 4);
  EXPECT_TRUE(v.is_number());
  Variant back;
  ASSERT_EQ(reg().QueryValue(kHkcu, Key(), "n", back), kSuccess);
  EXPECT_EQ(back, 42);

  Variant binary(181);
  size = 4;
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "b", kRegBinary, binary, size), kSuccess);
  RegData raw;
  KeyHandle key;
  ASSERT_EQ(machine().backend().registry().OpenKey(kHkcu, Key(), kKeyRead, key), kSuccess);
  ASSERT_EQ(machine().backend().registry().QueryValue(key, "b", raw), kSuccess);
  machine().backend().registry().CloseKey(key);
  EXPECT_EQ(raw.type, kRegBinary);
  EXPECT_EQ(raw.bytes, std::string("\xb5\0\0\0", 4));

  for (const char* bad : {"", "abc", "12x", "99999999999"}) {
    Variant text(bad);
    EXPECT_EQ(reg().SetValue(kHkcu, Key("never"), "n", kRegDword, text), kInvalidData) << bad;
  }
  KeyHandle never;
  EXPECT_EQ(reg().OpenKey(kHkcu, Key("never"), kKeyRead, never), kFileNotFound)
      << "a refused number creates no key";
}

TEST_F(RegistryConformance, WritesCreateEveryMissingLevel) {
  ASSERT_EQ(reg().SetValue(kHkcu, Key("a\\b\\c"), "", kRegSz, Variant("deep")), kSuccess);
  for (const char* level : {"a", "a\\b", "a\\b\\c"}) {
    KeyHandle key;
    EXPECT_EQ(reg().OpenKey(kHkcu, Key(level), kKeyRead, key), kSuccess) << level;
    if (key) reg().CloseKey(key);
  }
  Variant v;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("A\\B\\C"), "", v), kSuccess) << "names ignore case";
  EXPECT_EQ(v, "deep");
}

TEST_F(RegistryConformance, DeletingValuesAndKeys) {
  reg().DeleteValue(kHkcu, Key("absent"), "x");  // no key: nothing happens
  KeyHandle absent;
  EXPECT_EQ(reg().OpenKey(kHkcu, Key("absent"), kKeyRead, absent), kFileNotFound)
      << "deleting a value creates no key";
  ASSERT_EQ(reg().SetValue(kHkcu, Key("k"), "Gone", kRegSz, Variant("1")), kSuccess);
  reg().DeleteValue(kHkcu, Key("k"), "absent");
  Variant kept;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("k"), "Gone", kept), kSuccess)
      << "deleting a missing value leaves the others";
  EXPECT_EQ(kept, "1");
  reg().DeleteValue(kHkcu, Key("K"), "GONE");
  Variant v("left");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("k"), "Gone", v), kFileNotFound);
  EXPECT_EQ(v, "left");

  ASSERT_EQ(reg().CreateKey(kHkcu, Key("parent\\child")), kSuccess);
  EXPECT_NE(reg().DeleteKey(kHkcu, Key("parent")), kSuccess) << "a key with subkeys stays";
  EXPECT_EQ(reg().DeleteKey(kHkcu, Key("parent\\child")), kSuccess);
  EXPECT_EQ(reg().DeleteKey(kHkcu, Key("parent")), kSuccess);
  KeyHandle key;
  EXPECT_EQ(reg().OpenKey(kHkcu, Key("parent"), kKeyRead, key), kFileNotFound);
  EXPECT_NE(reg().DeleteKey(kHkcu, Key("parent")), kSuccess) << "already gone";
}

TEST_F(RegistryConformance, CreateKeyKeepsAnExistingKeyAndItsValues) {
  ASSERT_EQ(reg().SetValue(kHkcu, Key("ns"), "", kRegSz, Variant("回收站")), kSuccess);
  ASSERT_EQ(reg().CreateKey(kHkcu, Key("ns")), kSuccess);
  Variant v;
  ASSERT_EQ(reg().QueryValue(kHkcu, Key("ns"), "", v), kSuccess);
  EXPECT_EQ(v, "回收站");
}

TEST_F(RegistryConformance, EnumerationListsEveryValueWhateverItsLength) {
  // A value longer than the old 255-byte buffers used to end the listing there.
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), "a-first", kRegSz, Variant("x.exe")), kSuccess);
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), "b-long", kRegSz, Variant(std::string(600, 'p'))),
            kSuccess);
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), std::string(300, 'c'), kRegSz, Variant("y")),
            kSuccess);
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), "d-中文", kRegSz, Variant("z")), kSuccess);
  KeyHandle key;
  ASSERT_EQ(reg().OpenKey(kHkcu, Key("Run"), kKeyQueryValue, key), kSuccess);
  std::vector<std::string> names;
  std::string name;
  std::uint32_t i = 0;
  for (; reg().EnumValue(key, i, name) == kSuccess; ++i) names.push_back(name);
  EXPECT_EQ(reg().EnumValue(key, i, name), kNoMoreItems);
  reg().CloseKey(key);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"a-first", "b-long", std::string(300, 'c'), "d-中文"}));
}

TEST_F(RegistryConformance, StringsAreStoredWithTheCountTheCallerGave) {
  // A terminator the count leaves out is added only when the byte after the
  // data is one, as RegSetValueExA looks there.
  static const char kFull[] = "FullString";
  static const char kMulti[] = "Aa\0Bb\0Cc\0";
  static const char kExpand[] = "ab\0";
  struct Case {
    std::uint32_t type;
    const char* data;
    std::size_t count;
    std::string stored;
  } cases[] = {
      {kRegSz, kFull, 11, std::string("FullString\0", 11)},
      {kRegSz, kFull, 10, std::string("FullString\0", 11)},
      {kRegSz, kFull, 9, "FullStrin"},
      {kRegSz, kFull, 0, ""},
      {kRegMultiSz, kMulti, 9, std::string("Aa\0Bb\0Cc\0", 9)},
      {kRegMultiSz, kMulti, 8, std::string("Aa\0Bb\0Cc\0", 9)},
      {kRegMultiSz, kMulti, 7, std::string("Aa\0Bb\0C", 7)},
      {kRegExpandSz, kExpand, 2, std::string("ab\0", 3)},
  };
  RegistryBackend& registry = machine().backend().registry();
  for (const Case& c : cases) {
    const std::string_view data(c.data, c.count);
    ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "s", c.type, data), kSuccess);
    KeyHandle key;
    ASSERT_EQ(registry.OpenKey(kHkcu, Key(), kKeyRead, key), kSuccess);
    RegData raw;
    EXPECT_EQ(registry.QueryValue(key, "s", raw), kSuccess);
    registry.CloseKey(key);
    EXPECT_EQ(raw.type, c.type) << c.data << " " << c.count;
    EXPECT_EQ(raw.bytes, c.stored) << c.data << " " << c.count;
  }
}

TEST_F(RegistryConformance, ValueNamesWineWouldNotKeepAreRefused) {
  std::string chinese;  // characters count, not bytes: two bytes each in GBK
  for (int i = 0; i < 8192; ++i) chinese += "中";
  const std::string longest(16383, 'n');
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), longest, kRegSz, Variant("1")), kSuccess);
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), chinese, kRegSz, Variant("2")), kSuccess);
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), longest + "n", kRegSz, Variant("x")), kInvalidParameter);
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), chinese + chinese, kRegDword, Variant(3)),
            kInvalidParameter);
  // The ...A calls count a name's bytes in 16 bits: 65,537 of them are one.
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), std::string(65537, 'm'), kRegSz, Variant("4")), kSuccess);

  KeyHandle key;
  ASSERT_EQ(reg().OpenKey(kHkcu, Key(), kKeyQueryValue, key), kSuccess);
  std::vector<std::size_t> lengths;
  std::string name;
  for (std::uint32_t i = 0; reg().EnumValue(key, i, name) == kSuccess; ++i) {
    lengths.push_back(name.size());
  }
  reg().CloseKey(key);
  std::sort(lengths.begin(), lengths.end());
  EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 16383, 8192 * 3}));
  Variant v;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "m", v), kSuccess);
  EXPECT_EQ(v, "4");
}

TEST_F(RegistryConformance, ClassesRootIsTheMachinesSoftwareClasses) {
  std::string sub =
      "KorvantaTestClass" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
  ASSERT_EQ(reg().SetValue(RegRoot::kClassesRoot, sub, "IsShortCut", kRegSz, Variant("")),
            kSuccess);
  Variant v("unset");
  EXPECT_EQ(reg().QueryValue(RegRoot::kLocalMachine, "Software\\Classes\\" + sub, "IsShortCut", v),
            kSuccess);
  EXPECT_EQ(v, "");
  reg().DeleteValue(RegRoot::kClassesRoot, sub, "IsShortCut");
  EXPECT_EQ(reg().DeleteKey(RegRoot::kClassesRoot, sub), kSuccess);
}

}  // namespace
}  // namespace korvanta::test
