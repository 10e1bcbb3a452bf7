// Replacing files whole: the new bytes or the old file, never a mix, never a
// temporary file left over; the file keeps its permissions and its links.

#include "store/portable/atomic_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace korvanta::store {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, ReplacesOrCreatesTheWholeFile) {
  test::TempDir dir;
  const fs::path file = dir.path() / "data.txt";
  const std::string big(3 << 20, 'x');
  EXPECT_EQ(ReplaceFileAtomically(file, "first"), kSuccess);
  EXPECT_EQ(test::ReadBytes(file), "first");
  EXPECT_EQ(ReplaceFileAtomically(file, big), kSuccess);
  EXPECT_EQ(test::ReadBytes(file), big);
  EXPECT_EQ(ReplaceFileAtomically(file, std::string("a\0b\r\n", 5)), kSuccess);
  EXPECT_EQ(test::ReadBytes(file), std::string("a\0b\r\n", 5));
  EXPECT_EQ(ReplaceFileAtomically(file, ""), kSuccess);
  EXPECT_EQ(test::ReadBytes(file), "");
  EXPECT_EQ(test::Names(dir.path()), std::vector<std::string>{"data.txt"});
}

TEST(AtomicFile, ReportsAFolderThatIsNotThere) {
  test::TempDir dir;
  std::string error;
  EXPECT_EQ(ReplaceFileAtomically(dir.path() / "missing" / "f", "x", &error), kPathNotFound);
  EXPECT_NE(error, "");
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

#ifndef _WIN32

TEST(AtomicFile, KeepsPermissionsAndLinks) {
  test::TempDir dir;
  const fs::path file = dir.path() / "user.reg";
  test::WriteBytes(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(ReplaceFileAtomically(file, "new"), kSuccess);
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // A link to a file elsewhere stays a link; the file it names gets the bytes.
  fs::create_directory(dir.path() / "real");
  const fs::path target = dir.path() / "real" / "system.reg";
  test::WriteBytes(target, "old");
  const fs::path link = dir.path() / "system.reg";
  fs::create_symlink("real/system.reg", link);
  const fs::path link2 = dir.path() / "again.reg";
  fs::create_symlink(link, link2);
  EXPECT_EQ(ReplaceFileAtomically(link2, "through two links"), kSuccess);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_symlink(link2));
  EXPECT_EQ(test::ReadBytes(target), "through two links");
  EXPECT_EQ(test::Names(dir.path() / "real"), std::vector<std::string>{"system.reg"});

  // A new file gets the permissions any new file gets.
  const mode_t mask = ::umask(022);
  EXPECT_EQ(ReplaceFileAtomically(dir.path() / "new.txt", "x"), kSuccess);
  ::umask(mask);
  EXPECT_EQ(fs::status(dir.path() / "new.txt").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFile) {
  test::TempDir dir;
  const fs::path file = dir.path() / "system.reg";
  test::WriteBytes(file, "old content");
  std::string error;
  Status status = kSuccess;
  {
    test::FileSizeLimit full_disk(1024);  // the disk is "full" after 1 KB
    status = ReplaceFileAtomically(file, std::string(4096, 'n'), &error);
  }
  EXPECT_EQ(status, kWriteFault);
  EXPECT_NE(error.find("system.reg"), std::string::npos) << error;
  EXPECT_EQ(test::ReadBytes(file), "old content");
  EXPECT_EQ(test::Names(dir.path()), std::vector<std::string>{"system.reg"});
}

#endif

}  // namespace
}  // namespace korvanta::store
