// The icon reader on the real programs and libraries of a Wine prefix: 64-bit
// (system32) and 32-bit (syswow64) PE files. The Windows build also compares it
// with the shell's own ExtractIconExA under Wine, file by file and icon by icon.

#include "store/icon_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

#ifdef _WIN32
#include "store/win32/windows_api.h"
#endif

namespace korvanta::test {
namespace {
namespace fs = std::filesystem;

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// An .ico file whose directory and images hold together: every image lies inside
// the file, one after the other, and starts as a DIB or a PNG does.
void ExpectWellFormedIco(const std::string& ico, const std::string& what) {
  ASSERT_GE(ico.size(), 6u) << what;
  EXPECT_EQ(Le(ico, 0, 2), 0u) << what;
  EXPECT_EQ(Le(ico, 2, 2), 1u) << what;
  const std::uint32_t count = Le(ico, 4, 2);
  ASSERT_GT(count, 0u) << what;
  ASSERT_GE(ico.size(), 6 + 16 * count) << what;
  std::size_t expected_offset = 6 + 16 * count;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::uint32_t size = Le(ico, entry + 8, 4), offset = Le(ico, entry + 12, 4);
    EXPECT_EQ(offset, expected_offset) << what << " image " << i;
    ASSERT_LE(std::size_t{offset} + size, ico.size()) << what << " image " << i;
    const bool dib = Le(ico, offset, 4) == 40;
    const bool png = ico.compare(offset, 8, "\x89PNG\r\n\x1a\n") == 0;
    EXPECT_TRUE(dib || png) << what << " image " << i;
    expected_offset = std::size_t{offset} + size;
  }
  EXPECT_EQ(expected_offset, ico.size()) << what;
}

struct PeFile {
  const char* folder;  // under C:\windows
  const char* name;
  bool has_icons = true;
};
// Programs and libraries, most with icons (Wine's explorer.exe has none). A prefix made without
// 32-bit Wine has 64-bit files only.
const PeFile kPeFiles[] = {
    {"system32", "shell32.dll"}, {"system32", "user32.dll"},   {"system32", "comdlg32.dll"},
    {"system32", "notepad.exe"}, {".", "explorer.exe", false}, {".", "regedit.exe"},
    {"syswow64", "shell32.dll"},
};

fs::path WindowsFolder() {
#ifdef _WIN32
  return fs::path("C:\\windows");
#else
  return test::PrefixTemplate() / "drive_c/windows";
#endif
}

class IconReaderPeTest : public ::testing::TestWithParam<PeFile> {};

TEST_P(IconReaderPeTest, EveryIconIsAWholeIcoFileFoundByIndexAndByNumber) {
  const fs::path path = WindowsFolder() / GetParam().folder / GetParam().name;
  if (!fs::exists(path)) GTEST_SKIP() << path << " is not in this prefix";
  const std::string file = ReadBytes(path);
  const int count = store::CountIcons(file);
  if (GetParam().has_icons) {
    EXPECT_GT(count, 0) << path;
  }
  const std::vector<int> numbers = store::IconNumbers(file);
  ASSERT_EQ(numbers.size(), static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::optional<std::string> ico = store::IconAt(file, i);
    ASSERT_TRUE(ico) << path << " icon " << i;
    ExpectWellFormedIco(*ico, path.string() + " icon " + std::to_string(i));
    if (numbers[static_cast<std::size_t>(i)] > 1) {
      EXPECT_EQ(store::IconAt(file, -numbers[static_cast<std::size_t>(i)]), ico)
          << path << " icon " << i;
    }
  }
  EXPECT_FALSE(store::IconAt(file, count)) << path;
  EXPECT_FALSE(store::IconAt(file, -65536)) << path;
}

#ifdef _WIN32
// Against the shell: as many icons, and an icon at the same indexes and numbers.
TEST_P(IconReaderPeTest, AgreesWithExtractIconEx) {
  const fs::path path = WindowsFolder() / GetParam().folder / GetParam().name;
  if (!fs::exists(path)) GTEST_SKIP() << path << " is not in this prefix";
  const std::string file = ReadBytes(path), ansi = path.string();
  const int count = store::CountIcons(file);
  EXPECT_EQ(static_cast<UINT>(count), ExtractIconExA(ansi.c_str(), -1, nullptr, nullptr, 0))
      << ansi;
  std::vector<int> indexes = {count, count + 5};
  for (int i = 0; i < count; ++i) indexes.push_back(i);
  for (int n : store::IconNumbers(file)) indexes.push_back(-n);
  indexes.push_back(-65535);
  for (int index : indexes) {
    HICON large = nullptr;
    UINT got = ExtractIconExA(ansi.c_str(), index, &large, nullptr, 1);
    const bool shell_has = got > 0 && got != UINT(-1) && large != nullptr;
    if (large) DestroyIcon(large);
    EXPECT_EQ(store::IconAt(file, index).has_value(), shell_has) << ansi << " index " << index;
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(PrefixFiles, IconReaderPeTest, ::testing::ValuesIn(kPeFiles),
                         [](const ::testing::TestParamInfo<PeFile>& p) {
                           std::string name = std::string(p.param.folder) + "_" + p.param.name;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           if (name[0] == '_') name = "windows" + name;
                           return name;
                         });

TEST(IconReaderTest, AnIcoFileIsOneIcon) {
  // One 1x1 32-bit image.
  std::string image(40, '\0');
  image[0] = 40;
  image[4] = 1;
  image[8] = 2;
  image[12] = 1;
  image[14] = 32;
  image += std::string(4 + 4, '\0');  // the pixel and the mask row
  std::string ico("\0\0\1\0\1\0", 6);
  ico += std::string("\1\1\0\0\1\0\x20\0", 8);
  ico.push_back(static_cast<char>(image.size()));
  ico += std::string("\0\0\0\x16\0\0\0", 7);
  ico += image;
  EXPECT_EQ(store::CountIcons(ico), 1);
  EXPECT_EQ(store::IconAt(ico, 0), ico);
  EXPECT_FALSE(store::IconAt(ico, 1));
  ExpectWellFormedIco(ico, "ico");
}

TEST(IconReaderTest, DamagedOrForeignFilesHoldNoIcons) {
  const fs::path shell32 = WindowsFolder() / "system32" / "shell32.dll";
  std::string pe = fs::exists(shell32) ? ReadBytes(shell32) : std::string();
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"text", "[general]\r\nManufacturer=x\r\n"},
      {"MZ alone", "MZ"},
      {"header of a PE file", pe.substr(0, 1024)},
      {"PE file cut in its middle", pe.substr(0, pe.size() / 2)},
      {"ico header with no room for its entries", std::string("\0\0\1\0\5\0", 6)},
  };
  for (const Case& c : cases) {
    if (std::string(c.what) == "PE file cut in its middle") {
      // The resources sit at the end: a cut file may still count groups, but never
      // yields an icon that reaches past its end.
      for (int i = 0; i < store::CountIcons(c.bytes); ++i) {
        if (auto ico = store::IconAt(c.bytes, i)) ExpectWellFormedIco(*ico, c.what);
      }
      continue;
    }
    EXPECT_EQ(store::CountIcons(c.bytes), 0) << c.what;
    EXPECT_FALSE(store::IconAt(c.bytes, 0)) << c.what;
  }
}

}  // namespace
}  // namespace korvanta::test
