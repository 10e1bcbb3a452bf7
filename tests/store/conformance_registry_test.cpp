// Registry Access Layer conformance: the same expectations of both back ends.

#include <algorithm>
#include <string>

#include "store/conformance.h"

namespace korvanta::test {
namespace {

using RegistryConformance = StoreTest;
constexpr store::RegRoot kHkcu = store::RegRoot::kCurrentUser;

TEST_F(RegistryConformance, MissingKeyOrValueLeavesTheVariantAlone) {
  store::Variant value("kept");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("absent"), "x", value), store::kFileNotFound);
  EXPECT_EQ(value, "kept");

  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "present", store::kRegSz, store::Variant("v")),
            store::kSuccess);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "absent", value), store::kFileNotFound);
  EXPECT_EQ(value, "kept");

  store::Variant number(7);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "absent", number), store::kFileNotFound);
  EXPECT_TRUE(number.is_number());
  EXPECT_EQ(number, 7);
}

TEST_F(RegistryConformance, TextsOfAnyLengthAreReadWhole) {
  // 254, 255 and 1000 bytes: the last two used to fail and show as empty.
  for (std::size_t length : {254u, 255u, 1000u, 70000u}) {
    std::string text(length, 'a');
    text.back() = 'z';
    ASSERT_EQ(reg().SetValue(kHkcu, Key(), "long", store::kRegSz, store::Variant(text)),
              store::kSuccess);
    store::Variant value;
    EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "long", value), store::kSuccess) << length;
    EXPECT_EQ(value.ToText(), text) << length;
  }
}

TEST_F(RegistryConformance, ChineseTextRoundTripsAndCountsAnsiBytes) {
  store::Variant text("回收站 我的文档 Korvanta");
  std::int32_t size = 0;
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "中文名", store::kRegSz, text, size), store::kSuccess);
  EXPECT_EQ(size, 7 * 2 + 2 + 8 + 1) << "two GBK bytes per character, then the zero";
  store::Variant back;
  ASSERT_EQ(reg().QueryValue(kHkcu, Key(), "中文名", back), store::kSuccess);
  EXPECT_EQ(back, "回收站 我的文档 Korvanta");
}

TEST_F(RegistryConformance, NumbersAndBinaryReadAsSignedIntegers) {
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "all", store::kRegDword, std::string(4, '\xff')),
            store::kSuccess);
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "one", store::kRegBinary, std::string("\x01\0\0\0", 4)),
            store::kSuccess);
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "short", store::kRegBinary, std::string("\xb5", 1)),
            store::kSuccess);
  ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "long", store::kRegBinary, std::string(8, '\x01')),
            store::kSuccess);
  store::Variant v;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "all", v), store::kSuccess);
  EXPECT_EQ(v, -1);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "one", v), store::kSuccess);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "short", v), store::kSuccess);
  EXPECT_EQ(v, 181);
  store::Variant untouched("x");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "long", untouched), store::kMoreData);
  EXPECT_EQ(untouched, "x");
}

TEST_F(RegistryConformance, OtherTypesAndExpandableTexts) {
  ASSERT_EQ(
      reg().SetRawValue(kHkcu, Key(), "multi", store::kRegMultiSz, std::string("a\0b\0\0", 5)),
      store::kSuccess);
  ASSERT_EQ(
      reg().SetValue(kHkcu, Key(), "path", store::kRegExpandSz, store::Variant("%SystemRoot%\\x")),
      store::kSuccess);
  store::Variant v("before");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "multi", v), store::kSuccess);
  EXPECT_EQ(v, "before");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "path", v), store::kSuccess);
  EXPECT_EQ(v, "%SystemRoot%\\x") << "expandable texts come back unexpanded";
}

TEST_F(RegistryConformance, SetValueConvertsNumbersAndRefusesNonNumbers) {
  store::Variant v("42");
  std::int32_t size = 0;
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "n", store::kRegDword, v, size), store::kSuccess);
  EXPECT_EQ(size, 4);
  EXPECT_TRUE(v.is_number());
  store::Variant back;
  ASSERT_EQ(reg().QueryValue(kHkcu, Key(), "n", back), store::kSuccess);
  EXPECT_EQ(back, 42);

  store::Variant binary(181);
  size = 4;
  ASSERT_EQ(reg().SetValue(kHkcu, Key(), "b", store::kRegBinary, binary, size), store::kSuccess);
  store::RegData raw;
  store::KeyHandle key;
  ASSERT_EQ(machine().backend().registry().OpenKey(kHkcu, Key(), store::kKeyRead, key),
            store::kSuccess);
  ASSERT_EQ(machine().backend().registry().QueryValue(key, "b", raw), store::kSuccess);
  machine().backend().registry().CloseKey(key);
  EXPECT_EQ(raw.type, store::kRegBinary);
  EXPECT_EQ(raw.bytes, std::string("\xb5\0\0\0", 4));

  for (const char* bad : {"", "abc", "12x", "99999999999"}) {
    store::Variant text(bad);
    EXPECT_EQ(reg().SetValue(kHkcu, Key("never"), "n", store::kRegDword, text), store::kInvalidData)
        << bad;
  }
  store::KeyHandle never;
  EXPECT_EQ(reg().OpenKey(kHkcu, Key("never"), store::kKeyRead, never), store::kFileNotFound)
      << "a refused number creates no key";
}

TEST_F(RegistryConformance, WritesCreateEveryMissingLevel) {
  ASSERT_EQ(reg().SetValue(kHkcu, Key("a\\b\\c"), "", store::kRegSz, store::Variant("deep")),
            store::kSuccess);
  for (const char* level : {"a", "a\\b", "a\\b\\c"}) {
    store::KeyHandle key;
    EXPECT_EQ(reg().OpenKey(kHkcu, Key(level), store::kKeyRead, key), store::kSuccess) << level;
    if (key) reg().CloseKey(key);
  }
  store::Variant v;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("A\\B\\C"), "", v), store::kSuccess) << "names ignore case";
  EXPECT_EQ(v, "deep");
}

TEST_F(RegistryConformance, DeletingValuesAndKeys) {
  reg().DeleteValue(kHkcu, Key("absent"), "x");  // no key: nothing happens
  store::KeyHandle absent;
  EXPECT_EQ(reg().OpenKey(kHkcu, Key("absent"), store::kKeyRead, absent), store::kFileNotFound)
      << "deleting a value creates no key";
  ASSERT_EQ(reg().SetValue(kHkcu, Key("k"), "Gone", store::kRegSz, store::Variant("1")),
            store::kSuccess);
  reg().DeleteValue(kHkcu, Key("k"), "absent");
  store::Variant kept;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("k"), "Gone", kept), store::kSuccess)
      << "deleting a missing value leaves the others";
  EXPECT_EQ(kept, "1");
  reg().DeleteValue(kHkcu, Key("K"), "GONE");
  store::Variant v("left");
  EXPECT_EQ(reg().QueryValue(kHkcu, Key("k"), "Gone", v), store::kFileNotFound);
  EXPECT_EQ(v, "left");

  ASSERT_EQ(reg().CreateKey(kHkcu, Key("parent\\child")), store::kSuccess);
  EXPECT_NE(reg().DeleteKey(kHkcu, Key("parent")), store::kSuccess) << "a key with subkeys stays";
  EXPECT_EQ(reg().DeleteKey(kHkcu, Key("parent\\child")), store::kSuccess);
  EXPECT_EQ(reg().DeleteKey(kHkcu, Key("parent")), store::kSuccess);
  store::KeyHandle key;
  EXPECT_EQ(reg().OpenKey(kHkcu, Key("parent"), store::kKeyRead, key), store::kFileNotFound);
  EXPECT_NE(reg().DeleteKey(kHkcu, Key("parent")), store::kSuccess) << "already gone";
}

TEST_F(RegistryConformance, CreateKeyKeepsAnExistingKeyAndItsValues) {
  ASSERT_EQ(reg().SetValue(kHkcu, Key("ns"), "", store::kRegSz, store::Variant("回收站")),
            store::kSuccess);
  ASSERT_EQ(reg().CreateKey(kHkcu, Key("ns")), store::kSuccess);
  store::Variant v;
  ASSERT_EQ(reg().QueryValue(kHkcu, Key("ns"), "", v), store::kSuccess);
  EXPECT_EQ(v, "回收站");
}

TEST_F(RegistryConformance, EnumerationListsEveryValueWhateverItsLength) {
  // A value longer than the old 255-byte buffers used to end the listing there.
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), "a-first", store::kRegSz, store::Variant("x.exe")),
            store::kSuccess);
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), "b-long", store::kRegSz,
                           store::Variant(std::string(600, 'p'))),
            store::kSuccess);
  ASSERT_EQ(
      reg().SetValue(kHkcu, Key("Run"), std::string(300, 'c'), store::kRegSz, store::Variant("y")),
      store::kSuccess);
  ASSERT_EQ(reg().SetValue(kHkcu, Key("Run"), "d-中文", store::kRegSz, store::Variant("z")),
            store::kSuccess);
  store::KeyHandle key;
  ASSERT_EQ(reg().OpenKey(kHkcu, Key("Run"), store::kKeyQueryValue, key), store::kSuccess);
  std::vector<std::string> names;
  std::string name;
  std::uint32_t i = 0;
  for (; reg().EnumValue(key, i, name) == store::kSuccess; ++i) names.push_back(name);
  EXPECT_EQ(reg().EnumValue(key, i, name), store::kNoMoreItems);
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
      {store::kRegSz, kFull, 11, std::string("FullString\0", 11)},
      {store::kRegSz, kFull, 10, std::string("FullString\0", 11)},
      {store::kRegSz, kFull, 9, "FullStrin"},
      {store::kRegSz, kFull, 0, ""},
      {store::kRegMultiSz, kMulti, 9, std::string("Aa\0Bb\0Cc\0", 9)},
      {store::kRegMultiSz, kMulti, 8, std::string("Aa\0Bb\0Cc\0", 9)},
      {store::kRegMultiSz, kMulti, 7, std::string("Aa\0Bb\0C", 7)},
      {store::kRegExpandSz, kExpand, 2, std::string("ab\0", 3)},
  };
  store::RegistryBackend& registry = machine().backend().registry();
  for (const Case& c : cases) {
    const std::string_view data(c.data, c.count);
    ASSERT_EQ(reg().SetRawValue(kHkcu, Key(), "s", c.type, data), store::kSuccess);
    store::KeyHandle key;
    ASSERT_EQ(registry.OpenKey(kHkcu, Key(), store::kKeyRead, key), store::kSuccess);
    store::RegData raw;
    EXPECT_EQ(registry.QueryValue(key, "s", raw), store::kSuccess);
    registry.CloseKey(key);
    EXPECT_EQ(raw.type, c.type) << c.data << " " << c.count;
    EXPECT_EQ(raw.bytes, c.stored) << c.data << " " << c.count;
  }
}

TEST_F(RegistryConformance, ValueNamesWineWouldNotKeepAreRefused) {
  std::string chinese;  // characters count, not bytes: two bytes each in GBK
  for (int i = 0; i < 8192; ++i) chinese += "中";
  const std::string longest(16383, 'n');
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), longest, store::kRegSz, store::Variant("1")),
            store::kSuccess);
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), chinese, store::kRegSz, store::Variant("2")),
            store::kSuccess);
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), longest + "n", store::kRegSz, store::Variant("x")),
            store::kInvalidParameter);
  EXPECT_EQ(reg().SetValue(kHkcu, Key(), chinese + chinese, store::kRegDword, store::Variant(3)),
            store::kInvalidParameter);
  // The ...A calls count a name's bytes in 16 bits: 65,537 of them are one.
  EXPECT_EQ(
      reg().SetValue(kHkcu, Key(), std::string(65537, 'm'), store::kRegSz, store::Variant("4")),
      store::kSuccess);

  store::KeyHandle key;
  ASSERT_EQ(reg().OpenKey(kHkcu, Key(), store::kKeyQueryValue, key), store::kSuccess);
  std::vector<std::size_t> lengths;
  std::string name;
  for (std::uint32_t i = 0; reg().EnumValue(key, i, name) == store::kSuccess; ++i) {
    lengths.push_back(name.size());
  }
  reg().CloseKey(key);
  std::sort(lengths.begin(), lengths.end());
  EXPECT_EQ(lengths, (std::vector<std::size_t>{1, 16383, 8192 * 3}));
  store::Variant v;
  EXPECT_EQ(reg().QueryValue(kHkcu, Key(), "m", v), store::kSuccess);
  EXPECT_EQ(v, "4");
}

TEST_F(RegistryConformance, ClassesRootIsTheMachinesSoftwareClasses) {
  std::string sub =
      "KorvantaTestClass" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
  ASSERT_EQ(reg().SetValue(store::RegRoot::kClassesRoot, sub, "IsShortCut", store::kRegSz,
                           store::Variant("")),
            store::kSuccess);
  store::Variant v("unset");
  EXPECT_EQ(
      reg().QueryValue(store::RegRoot::kLocalMachine, "Software\\Classes\\" + sub, "IsShortCut", v),
      store::kSuccess);
  EXPECT_EQ(v, "");
  reg().DeleteValue(store::RegRoot::kClassesRoot, sub, "IsShortCut");
  EXPECT_EQ(reg().DeleteKey(store::RegRoot::kClassesRoot, sub), store::kSuccess);
}

}  // namespace
}  // namespace korvanta::test
