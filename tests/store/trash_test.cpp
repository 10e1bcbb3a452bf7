// The freedesktop.org trash on real folders: the home trash under XDG_DATA_HOME,
// and a folder standing in for the top of another mount, which a test cannot mount.

#include "store/portable/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvanta::store {
namespace {
namespace fs = std::filesystem;

const std::string kUid = std::to_string(getuid());

class TrashTest : public ::testing::Test {
 protected:
  TrashTest()
      : home_(dir_.path() / "home"),
        home_trash_(home_ / ".local/share/Trash"),
        top_(dir_.path() / "disk"),
        data_home_("XDG_DATA_HOME", (home_ / ".local/share").string()) {
    fs::create_directories(top_ / "docs");
  }
  fs::path Item(const fs::path& path, const std::string& bytes = "junk") {
    fs::create_directories(path.parent_path());
    test::WriteBytes(path, bytes);
    return path;
  }
  // Every entry below a trash's files/ and info/ folders, as files/NAME and info/NAME.
  static std::vector<std::string> Entries(const fs::path& trash) {
    std::vector<std::string> entries;
    for (const char* part : {"files", "info"}) {
      if (!fs::is_directory(trash / part)) continue;
      for (const auto& name : test::Names(trash / part)) entries.push_back(part + ("/" + name));
    }
    return entries;
  }

  test::TempDir dir_;
  fs::path home_, home_trash_, top_;
  test::ScopedEnv data_home_;
};

// The permission bits in octal, as ls and chmod write them.
std::string Mode(const fs::path& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return "missing";
  char octal[8];
  std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(st.st_mode & 07777));
  return octal;
}

TEST_F(TrashTest, AMountsTrashIsItsSharedStickyTrashOrItsOwnPrivateOne) {
  auto shared_trash = [](const fs::path& top) {
    fs::create_directory(top / ".Trash");
    fs::permissions(top / ".Trash", fs::perms::all | fs::perms::sticky_bit);
  };
  const struct {
    const char* what;
    void (*prepare)(const fs::path& top);
    std::string trash;  // relative to the top
  } cases[] = {
      {"no .Trash", [](const fs::path&) {}, ".Trash-" + kUid},
      {"a sticky .Trash", shared_trash, ".Trash/" + kUid},
      {"a .Trash without the sticky bit",
       [](const fs::path& top) { fs::create_directory(top / ".Trash"); }, ".Trash-" + kUid},
      {"a .Trash that links to a sticky folder",
       [](const fs::path& top) {
         fs::create_directory(top / "elsewhere");
         fs::permissions(top / "elsewhere", fs::perms::all | fs::perms::sticky_bit);
         fs::create_directory_symlink("elsewhere", top / ".Trash");
       },
       ".Trash-" + kUid},
      {"a .Trash that is a file", [](const fs::path& top) { test::WriteBytes(top / ".Trash", ""); },
       ".Trash-" + kUid},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(top_);
    fs::create_directories(top_);
    c.prepare(top_);
    fs::path item = Item(top_ / "docs/old notes.txt");

    ASSERT_EQ(MoveToMountTrash(item, top_), kSuccess);
    EXPECT_FALSE(fs::exists(item));
    fs::path trash = top_ / c.trash;
    EXPECT_EQ(test::ReadBytes(trash / "files/old notes.txt"), "junk");
    // A mount's trash records the path from the top of the mount.
    std::string info = test::ReadBytes(trash / "info/old notes.txt.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=docs/old%20notes.txt\nDeletionDate=", 0), 0u) << info;
    // Only its user may look into a trash made for them.
    EXPECT_EQ(Mode(trash), "0700");
    EXPECT_EQ(Mode(trash / "files"), "0700");
    EXPECT_EQ(Mode(trash / "info"), "0700");
  }
}

TEST_F(TrashTest, AnotherUsersOrALinkedTrashIsNotUsed) {
  // Whoever could write the disk's top folder may have prepared .Trash-<uid>; the
  // item goes to the home trash rather than to them.
  const fs::path theirs = dir_.path() / "theirs", own = top_ / (".Trash-" + kUid);
  const struct {
    const char* what;
    bool (*prepare)(const fs::path& trash, const fs::path& theirs);
  } cases[] = {
      {"a link to their folder",
       [](const fs::path& trash, const fs::path& target) {
         fs::create_directory_symlink(target, trash);
         return true;
       }},
      {"a folder of another user's",
       [](const fs::path& trash, const fs::path&) {
         fs::create_directory(trash);
         return chown(trash.c_str(), getuid() + 1, static_cast<gid_t>(-1)) == 0;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(own);
    fs::remove_all(home_trash_);
    fs::create_directories(theirs);
    if (!c.prepare(own, theirs)) {
      std::cout << "not checked without the right to give a folder away: " << c.what << '\n';
      continue;
    }
    fs::path item = Item(top_ / "docs/letter.txt");

    ASSERT_EQ(MoveToMountTrash(item, top_), kSuccess);
    EXPECT_FALSE(fs::exists(item));
    EXPECT_TRUE(fs::is_empty(theirs));
    EXPECT_TRUE(fs::is_empty(own));
    EXPECT_EQ(test::ReadBytes(home_trash_ / "files/letter.txt"), "junk");
    std::string info = test::ReadBytes(home_trash_ / "info/letter.txt.trashinfo");
    EXPECT_NE(info.find("\nPath=/"), std::string::npos) << "the home trash records full paths";
    EXPECT_NE(info.find("/disk/docs/letter.txt\n"), std::string::npos) << info;
  }
}

TEST_F(TrashTest, AnItemThatCannotGoIsReportedAndLeftWhereItWas) {
  // The home trash lies inside the folder to recycle: no folder moves into itself.
  fs::path notes = Item(home_ / "notes.txt");
  ASSERT_EQ(MoveToTrash(Item(home_ / "keep.txt")), kSuccess);  // the home trash exists
  EXPECT_NE(MoveToTrash(home_), kSuccess);
  EXPECT_EQ(test::ReadBytes(notes), "junk");
  EXPECT_EQ(Entries(home_trash_),
            (std::vector<std::string>{"files/keep.txt", "info/keep.txt.trashinfo"}))
      << "no record of an item the trash does not hold";

  // A full disk: the mount's trash cannot take the record, and the item stays.
  fs::path item = Item(top_ / "docs/report.txt", std::string(200, 'x'));
  {
    test::FileSizeLimit full(32);
    EXPECT_NE(MoveToMountTrash(item, top_), kSuccess);
  }
  EXPECT_EQ(test::ReadBytes(item), std::string(200, 'x'));
  EXPECT_TRUE(Entries(top_ / (".Trash-" + kUid)).empty());
  EXPECT_EQ(Entries(home_trash_).size(), 2u) << "nothing went to the home trash either";

  EXPECT_EQ(MoveToTrash(top_ / "docs/absent.txt"), kFileNotFound);
}

}  // namespace
}  // namespace korvanta::store
