// The portable profile engine on a real machine folder, for what the comparison
// with Wine cannot show: Wine here runs as root and ignores read-only files, and
// the probe cannot pass a null file or point the Windows folder elsewhere.

#include "store/portable/profile_portable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "store/portable/file_system_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/registry_portable.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {

namespace fs = std::filesystem;

// A string value's data: the text and its terminator.
std::string Z(const std::string& text) {
  return text + '\0';
}

class PortableProfilesTest : public ::testing::Test {
 protected:
  PortableProfilesTest() {
    fs::create_directories(temp_.path() / "drive_c/windows");
    fs::create_directories(temp_.path() / "drive_c/data");
  }

  fs::path Host(const std::string& below_c) const { return temp_.path() / "drive_c" / below_c; }

  // The text read (up to the count returned) and the count.
  std::pair<std::string, std::uint32_t> Read(const char* section, const char* key,
                                             const char* default_value, const char* file,
                                             std::uint32_t capacity = 100) {
    std::string buffer(capacity, '~');
    std::uint32_t n = profiles_.GetPrivateProfileString(section, key, default_value,
                                                        std::span<char>(buffer), file);
    return {buffer.substr(0, n), n};
  }

  void SetValue(store::RegRoot root, const std::string& path, const std::string& name,
                std::uint32_t type, const std::string& bytes) {
    store::KeyHandle key;
    ASSERT_EQ(registry_.CreateKey(root, path, key), store::kSuccess);
    ASSERT_EQ(registry_.SetValue(key, name, type, bytes), store::kSuccess);
    registry_.CloseKey(key);
  }

  TempDir temp_;
  store::MachineFolder folder_{temp_.path()};
  store::PortableRegistry registry_{temp_.path()};
  store::PortableFileSystem files_{folder_, registry_};
  std::string windows_ = "C:\\windows";
  store::PortableProfiles profiles_{files_, registry_, [this] { return windows_; }};
};

TEST_F(PortableProfilesTest, ReadOnlyFileIsReadButNeverRewritten) {
  const std::string bytes = "[s]\nk=1\n";
  WriteBytes(Host("data/ro.ini"), bytes);
  ASSERT_EQ(files_.SetAttributes("C:\\data\\ro.ini", store::kAttrReadOnly), store::kSuccess);

  EXPECT_EQ(Read("s", "k", "d", "C:\\data\\ro.ini").first, "1");
  EXPECT_FALSE(profiles_.WritePrivateProfileString("s", "k", "2", "C:\\data\\ro.ini"));
  EXPECT_FALSE(profiles_.WritePrivateProfileString("s", nullptr, nullptr, "C:\\data\\ro.ini"));
  EXPECT_FALSE(profiles_.WritePrivateProfileSection("s", "a=1\0", "C:\\data\\ro.ini"));
  EXPECT_EQ(ReadBytes(Host("data/ro.ini")), bytes);
}

TEST_F(PortableProfilesTest, BareNamesAndTheNullFileUseTheWindowsFolderGiven) {
  windows_ = "C:\\winnt";
  fs::create_directories(Host("winnt"));
  ASSERT_TRUE(profiles_.WritePrivateProfileString("s", "k", "v", "bare.ini"));
  EXPECT_EQ(ReadBytes(Host("winnt/bare.ini")), "[s]\r\nk=v\r\n");
  EXPECT_FALSE(fs::exists(Host("windows/bare.ini")));

  // A null file is win.ini, as for the system calls.
  WriteBytes(Host("winnt/win.ini"), "[mail]\r\nmapi=1\r\n");
  EXPECT_EQ(Read("mail", "mapi", "d", nullptr).first, "1");
  ASSERT_TRUE(profiles_.WritePrivateProfileString("mail", "mapi", "2", nullptr));
  EXPECT_EQ(ReadBytes(Host("winnt/win.ini")), "[mail]\r\nmapi=2\r\n");
}

TEST_F(PortableProfilesTest, EveryCallSeesTheFileAsItIsNow) {
  WriteBytes(Host("data/live.ini"), "[s]\r\nk=1\r\n");
  EXPECT_EQ(Read("s", "k", "d", "C:\\data\\live.ini").first, "1");
  WriteBytes(Host("data/live.ini"), "[s]\r\nk=2\r\nj=3\r\n");
  EXPECT_EQ(Read("s", "k", "d", "C:\\data\\live.ini").first, "2");
  ASSERT_TRUE(profiles_.WritePrivateProfileString("s", "n", "4", "C:\\data\\live.ini"));
  EXPECT_EQ(ReadBytes(Host("data/live.ini")), "[s]\r\nk=2\r\nj=3\r\nn=4\r\n");
}

TEST_F(PortableProfilesTest, NoBufferGetsNothingWritten) {
  WriteBytes(Host("data/a.ini"), "[s]\r\nk=1\r\n");
  EXPECT_EQ(profiles_.GetPrivateProfileString("s", "k", "d", {}, "C:\\data\\a.ini"), 0u);
  char one = '~';
  EXPECT_EQ(
      profiles_.GetPrivateProfileString("s", "k", "d", std::span<char>(&one, 0), "C:\\data\\a.ini"),
      0u);
  EXPECT_EQ(one, '~');
}

TEST_F(PortableProfilesTest, MappedSectionsReadOnlyStringValuesAndPersistWrites) {
  const std::string mapping = "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\";
  SetValue(store::RegRoot::kLocalMachine, mapping + "kv.ini", "s", store::kRegSz,
           Z("USR:Software\\kvtest"));
  // A mapping stored as REG_EXPAND_SZ does not count: the section stays in the file.
  SetValue(store::RegRoot::kLocalMachine, mapping + "kv.ini", "x", store::kRegExpandSz,
           Z("USR:Software\\kvx"));
  SetValue(store::RegRoot::kCurrentUser, "Software\\kvtest", "dword", store::kRegDword,
           std::string(4, '\1'));
  SetValue(store::RegRoot::kCurrentUser, "Software\\kvtest", "expand", store::kRegExpandSz,
           Z("%TEMP%"));
  SetValue(store::RegRoot::kCurrentUser, "Software\\kvtest", "sz", store::kRegSz, Z("text"));
  WriteBytes(Host("data/kv.ini"), "[s]\r\nsz=file\r\n[x]\r\nk=from file\r\n");

  EXPECT_EQ(Read("s", "sz", "d", "C:\\data\\kv.ini").first, "text");
  EXPECT_EQ(Read("s", "dword", "d", "C:\\data\\kv.ini").first, "d");
  EXPECT_EQ(Read("s", "expand", "d", "C:\\data\\kv.ini").first, "d");
  EXPECT_EQ(Read("x", "k", "d", "C:\\data\\kv.ini").first, "from file");

  ASSERT_TRUE(profiles_.WritePrivateProfileString("s", "new", "\"v\"", "C:\\data\\kv.ini"));
  EXPECT_EQ(ReadBytes(Host("data/kv.ini")), "[s]\r\nsz=file\r\n[x]\r\nk=from file\r\n")
      << "a mapped write leaves the file alone";
  store::PortableRegistry reopened(temp_.path());
  store::KeyHandle key;
  ASSERT_EQ(
      reopened.OpenKey(store::RegRoot::kCurrentUser, "Software\\kvtest", store::kKeyRead, key),
      store::kSuccess);
  store::RegData data;
  ASSERT_EQ(reopened.QueryValue(key, "new", data), store::kSuccess);
  EXPECT_EQ(data.type, store::kRegSz);
  EXPECT_EQ(data.bytes, Z("\"v\""));
  reopened.CloseKey(key);
}

}  // namespace
}  // namespace korvanta::test
