// The portable registry on its own, in prefix copies: when it saves, when it
// reads the files again, and what it does when it must not or cannot write.

#include "store/portable/registry_portable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "store/portable/cp936.h"
#include "support/test_support.h"

namespace korvanta::store {
namespace {

namespace fs = std::filesystem;

constexpr auto HKLM = RegRoot::kLocalMachine;
constexpr auto HKCU = RegRoot::kCurrentUser;

ino_t Inode(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

class PortableRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = test::CopyFreshPrefix(dir_.path());
    ASSERT_FALSE(prefix_.empty());
  }
  fs::path system() const { return prefix_ / "system.reg"; }
  fs::path user() const { return prefix_ / "user.reg"; }

  // Sets a REG_SZ value with a fresh handle, as pages do.
  static Status Set(PortableRegistry& reg, RegRoot root, const std::string& path,
                    const std::string& name, const std::string& text) {
    KeyHandle key;
    if (Status s = reg.CreateKey(root, path, key); s != kSuccess) return s;
    const Status s = reg.SetValue(key, name, kRegSz, text);
    reg.CloseKey(key);
    return s;
  }
  static std::string Get(PortableRegistry& reg, RegRoot root, const std::string& path,
                         const std::string& name) {
    KeyHandle key;
    if (reg.OpenKey(root, path, kKeyRead, key) != kSuccess) return "<no key>";
    RegData data;
    const Status s = reg.QueryValue(key, name, data);
    reg.CloseKey(key);
    return s == kSuccess ? data.bytes : "<" + std::to_string(s) + ">";
  }

  test::TempDir dir_;
  fs::path prefix_;
};

TEST_F(PortableRegistryTest, SavesEachChangedFileOnceAtTheEndOfTheOutermostAction) {
  PortableRegistry reg(prefix_);
  const std::string system_before = test::ReadBytes(system());
  const std::string user_before = test::ReadBytes(user());
  const ino_t system_inode = Inode(system()), user_inode = Inode(user());

  reg.BeginAction();
  EXPECT_EQ(Get(reg, HKLM, "Software\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"),
            std::string("6.1\0", 4));
  reg.BeginAction();
  EXPECT_EQ(Set(reg, HKLM, "Software\\Korvanta", "one", "1"), kSuccess);
  EXPECT_EQ(Set(reg, HKCU, "Software\\Korvanta", "two", "2"), kSuccess);
  reg.EndAction();
  EXPECT_EQ(Set(reg, HKLM, "Software\\Korvanta", "three", "3"), kSuccess);
  // Nothing reaches the disk before the outermost action ends, but reads see it.
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "one"), std::string("1\0", 2));
  EXPECT_EQ(test::ReadBytes(system()), system_before);
  EXPECT_EQ(test::ReadBytes(user()), user_before);
  EXPECT_EQ(Inode(system()), system_inode);
  reg.EndAction();
  EXPECT_NE(Inode(system()), system_inode);
  EXPECT_NE(Inode(user()), user_inode);
  const std::string system_after = test::ReadBytes(system());
  EXPECT_NE(system_after.find("\"one\"=\"1\"\n\"three\"=\"3\"\n"), std::string::npos);
  EXPECT_NE(test::ReadBytes(user()).find("\"two\"=\"2\""), std::string::npos);

  // An action that only reads saves nothing; a write outside an action saves at once.
  const ino_t saved_inode = Inode(system());
  reg.BeginAction();
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "three"), std::string("3\0", 2));
  reg.EndAction();
  EXPECT_EQ(Inode(system()), saved_inode);
  EXPECT_EQ(Set(reg, HKLM, "Software\\Korvanta", "four", "4"), kSuccess);
  EXPECT_NE(test::ReadBytes(system()).find("\"four\"=\"4\""), std::string::npos);
  EXPECT_EQ(test::ReadBytes(user()).find("\"four\""), std::string::npos);
  EXPECT_EQ(reg.TakeWriteError(), "");
}

TEST_F(PortableRegistryTest, ReadsAgainWhatChangedOnDisk) {
  PortableRegistry reg(prefix_);
  PortableRegistry other(prefix_);  // stands for Wine writing the same files
  ASSERT_EQ(Set(reg, HKLM, "Software\\Korvanta", "v", "ours"), kSuccess);
  KeyHandle key;
  ASSERT_EQ(reg.OpenKey(HKLM, "Software\\Korvanta", kKeyRead, key), kSuccess);

  ASSERT_EQ(Set(other, HKLM, "Software\\Korvanta", "v", "theirs"), kSuccess);
  ASSERT_EQ(Set(other, HKLM, "Software\\Korvanta", "w", "theirs too"), kSuccess);
  RegData data;
  ASSERT_EQ(reg.QueryValue(key, "v", data), kSuccess);  // the handle finds its key again
  EXPECT_EQ(data.bytes, std::string("theirs\0", 7));
  // Our next write starts from their file: their value stays.
  ASSERT_EQ(Set(reg, HKLM, "Software\\Korvanta", "x", "ours again"), kSuccess);
  EXPECT_EQ(Get(other, HKLM, "Software\\Korvanta", "w"), std::string("theirs too\0", 11));

  // Inside an action the files stay as the action found them.
  reg.BeginAction();
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "v"), std::string("theirs\0", 7));
  ASSERT_EQ(Set(other, HKLM, "Software\\Korvanta", "v", "changed meanwhile"), kSuccess);
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "v"), std::string("theirs\0", 7));
  reg.EndAction();
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "v"), std::string("changed meanwhile\0", 18));

  // A file changed during an action that wrote to it is not overwritten.
  reg.BeginAction();
  ASSERT_EQ(Set(reg, HKLM, "Software\\Korvanta", "y", "lost"), kSuccess);
  ASSERT_EQ(Set(other, HKLM, "Software\\Korvanta", "z", "kept"), kSuccess);
  const std::string theirs = test::ReadBytes(system());
  reg.EndAction();
  EXPECT_EQ(test::ReadBytes(system()), theirs);
  EXPECT_NE(reg.TakeWriteError(), "");
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "y"), "<2>");
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "z"), std::string("kept\0", 5));
  reg.CloseKey(key);
}

TEST_F(PortableRegistryTest, RefusedWritesChangeNothing) {
  bool busy = true;
  int checks = 0;
  PortableRegistry reg(prefix_, [&]() -> std::optional<std::string> {
    ++checks;
    if (busy) return "machine busy";
    return std::nullopt;
  });
  const std::string before = test::ReadBytes(system());
  KeyHandle key;
  ASSERT_EQ(reg.OpenKey(HKLM, "Software\\Wine", kKeyRead | kKeyWrite, key), kSuccess);
  EXPECT_EQ(checks, 0);  // reading asks nothing

  EXPECT_EQ(reg.SetValue(key, "v", kRegSz, "x"), kSharingViolation);
  EXPECT_EQ(reg.TakeWriteError(), "machine busy");
  EXPECT_EQ(reg.TakeWriteError(), "");
  KeyHandle created;
  EXPECT_EQ(reg.CreateKey(HKLM, "Software\\Korvanta", created), kSharingViolation);
  EXPECT_FALSE(created);
  EXPECT_EQ(reg.DeleteKey(HKLM, "Software\\Wine\\Ports"), kSharingViolation);
  EXPECT_EQ(Get(reg, HKLM, "Software\\Wine", "v"), "<2>");
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "v"), "<no key>");
  EXPECT_EQ(test::ReadBytes(system()), before);

  // Asked once per action, at its first write; again just before saving.
  busy = false;
  checks = 0;
  reg.BeginAction();
  EXPECT_EQ(reg.SetValue(key, "v", kRegSz, "x"), kSuccess);
  EXPECT_EQ(reg.SetValue(key, "w", kRegSz, "y"), kSuccess);
  EXPECT_EQ(checks, 1);
  busy = true;  // Wine started meanwhile
  reg.EndAction();
  EXPECT_EQ(checks, 2);
  EXPECT_EQ(reg.TakeWriteError(), "machine busy");
  EXPECT_EQ(test::ReadBytes(system()), before);
  EXPECT_EQ(Get(reg, HKLM, "Software\\Wine", "v"), "<2>");  // the changes were dropped

  busy = false;
  EXPECT_EQ(reg.SetValue(key, "v", kRegSz, "x"), kSuccess);
  EXPECT_EQ(Get(reg, HKLM, "Software\\Wine", "v"), std::string("x\0", 2));
  reg.CloseKey(key);
}

TEST_F(PortableRegistryTest, FailedSaveKeepsTheOldFileAndDropsTheChanges) {
  PortableRegistry reg(prefix_);
  const std::string before = test::ReadBytes(system());
  const auto names = test::Names(prefix_);
  KeyHandle key;
  ASSERT_EQ(reg.OpenKey(HKLM, "Software", kKeyRead | kKeyWrite, key), kSuccess);
  {
    test::FileSizeLimit full_disk(1 << 20);
    reg.BeginAction();
    ASSERT_EQ(Set(reg, HKLM, "Software\\Korvanta", "v", "x"), kSuccess);
    reg.EndAction();
    const std::string error = reg.TakeWriteError();
    EXPECT_NE(error.find("system.reg"), std::string::npos) << error;
    // Outside an action the write itself reports the failure.
    EXPECT_EQ(reg.SetValue(key, "v", kRegSz, "x"), kWriteFault);
    EXPECT_NE(reg.TakeWriteError(), "");
  }
  EXPECT_EQ(test::ReadBytes(system()), before);
  EXPECT_EQ(test::Names(prefix_), names);  // no temporary file left
  EXPECT_EQ(Get(reg, HKLM, "Software\\Korvanta", "v"), "<no key>");
  EXPECT_EQ(Get(reg, HKLM, "Software", "v"), "<2>");
  // The handle still works once the disk has room.
  EXPECT_EQ(reg.SetValue(key, "v", kRegSz, "x"), kSuccess);
  EXPECT_EQ(Get(reg, HKLM, "Software", "v"), std::string("x\0", 2));
  reg.CloseKey(key);
}

TEST_F(PortableRegistryTest, CreatesAMissingUserRegAsWineWould) {
  fs::remove(user());
  // The architecture comes from system.reg.
  std::string system_text = test::ReadBytes(system());
  system_text.replace(system_text.find("#arch=win64"), 11, "#arch=win32");
  test::WriteBytes(system(), system_text);

  PortableRegistry reg(prefix_);
  KeyHandle root;
  ASSERT_EQ(reg.OpenKey(HKCU, "", kKeyRead, root), kSuccess);
  std::string name;
  EXPECT_EQ(reg.EnumKey(root, 0, name), kNoMoreItems);
  EXPECT_FALSE(fs::exists(user()));
  ASSERT_EQ(Set(reg, HKCU, "Software\\Korvanta", "v", "1"), kSuccess);
  const std::string user_text = test::ReadBytes(user());
  EXPECT_EQ(user_text.substr(0, user_text.find("\n[")),
            "WINE REGISTRY Version 2\n"
            ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
            "\n"
            "#arch=win32\n");
  EXPECT_NE(user_text.find("\n[Software\\\\Korvanta] "), std::string::npos);
  reg.CloseKey(root);
}

TEST_F(PortableRegistryTest, NeverWritesAFileWineWouldNotRead) {
  std::string text = test::ReadBytes(system());
  text.replace(0, 23, "WINE REGISTRY Version 3");
  test::WriteBytes(system(), text);
  PortableRegistry reg(prefix_);
  KeyHandle key;
  EXPECT_EQ(reg.OpenKey(HKLM, "Software", kKeyRead, key), kFileNotFound);
  EXPECT_EQ(reg.CreateKey(HKLM, "Software", key), kAccessDenied);
  EXPECT_NE(reg.TakeWriteError().find("system.reg"), std::string::npos);
  EXPECT_EQ(test::ReadBytes(system()), text);
  EXPECT_EQ(Set(reg, HKCU, "Software\\Korvanta", "v", "1"), kSuccess);  // user.reg is fine
}

TEST_F(PortableRegistryTest, HandlesFollowTheirKeys) {
  PortableRegistry reg(prefix_);
  KeyHandle key;
  ASSERT_EQ(reg.CreateKey(HKLM, "Software\\Korvanta\\Gone", key), kSuccess);
  ASSERT_EQ(reg.SetValue(key, "v", kRegDword, std::string("\1\0\0\0", 4)), kSuccess);
  ASSERT_EQ(reg.DeleteKey(HKLM, "software\\korvanta\\gone"), kSuccess);
  RegData data;
  std::string name;
  EXPECT_EQ(reg.QueryValue(key, "v", data), 1018);  // ERROR_KEY_DELETED
  EXPECT_EQ(reg.EnumKey(key, 0, name), 1018);
  EXPECT_EQ(reg.SetValue(key, "v", kRegSz, "x"), 1018);
  EXPECT_EQ(reg.CloseKey(key), kSuccess);
  EXPECT_EQ(reg.CloseKey(key), kInvalidHandle);
  EXPECT_EQ(reg.QueryValue(KeyHandle{12345}, "v", data), kInvalidHandle);

  // A handle opened for reading cannot write, one for writing cannot read.
  KeyHandle reader, writer;
  ASSERT_EQ(reg.OpenKey(HKLM, "Software\\Korvanta", kKeyRead, reader), kSuccess);
  ASSERT_EQ(reg.OpenKey(HKLM, "Software\\Korvanta", kKeyWrite, writer), kSuccess);
  EXPECT_EQ(reg.SetValue(reader, "v", kRegSz, "x"), kAccessDenied);
  EXPECT_EQ(reg.SetValue(writer, "v", kRegSz, "x"), kSuccess);
  EXPECT_EQ(reg.QueryValue(writer, "v", data), kAccessDenied);
  EXPECT_EQ(reg.QueryValue(reader, "v", data), kSuccess);
  EXPECT_EQ(data.bytes, std::string("x\0", 2));
  reg.CloseKey(reader);
  reg.CloseKey(writer);
}

}  // namespace
}  // namespace korvanta::store
