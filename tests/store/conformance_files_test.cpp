// Folders and files conformance: the same expectations of both back ends.

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/conformance.h"
#include "store/paths.h"

namespace korvanta::test {
namespace {

using FilesConformance = StoreTest;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

TEST_F(FilesConformance, SystemFoldersEndInABackslash) {
  std::string win = machine().paths().WinDir();
  std::string sys = machine().paths().SysDir();
  ASSERT_GE(win.size(), 4u);
  EXPECT_EQ(win.substr(1, 2), ":\\");
  EXPECT_EQ(win.back(), '\\');
  EXPECT_EQ(Lower(sys), Lower(win + "system32\\"));
  std::string temp = machine().paths().DirTemp();
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files().Stat(temp.substr(0, temp.size() - 1)).has_value()) << temp;
  std::string program = machine().paths().ProgramFolder();
  EXPECT_NE(program.back(), '\\');
  auto folder = files().Stat(program);
  ASSERT_TRUE(folder.has_value()) << program;
  EXPECT_TRUE(folder->is_directory());
}

TEST_F(FilesConformance, DirTempIsAskedOnce) {
  store::SystemPaths paths(machine().backend());
  std::string first = paths.DirTemp();
  ChangeUserTemp(machine(), dir());
  EXPECT_EQ(paths.DirTemp(), first);
  EXPECT_EQ(store::SystemPaths(machine().backend()).DirTemp(), dir() + "\\")
      << "a fresh query sees the change, the remembered text does not";
  ChangeUserTemp(machine(), first.substr(0, first.size() - 1));
}

TEST_F(FilesConformance, WriteAppendReadAndCopy) {
  std::string a = File("a.txt"), b = File("b.txt");
  ASSERT_EQ(files().WriteFile(a, "one\r\n"), store::kSuccess);
  ASSERT_EQ(files().AppendFile(a, "two\r\n"), store::kSuccess);
  ASSERT_EQ(files().AppendFile(File("new.log"), " "), store::kSuccess) << "append creates the file";
  std::string bytes;
  ASSERT_EQ(files().ReadFile(a, bytes), store::kSuccess);
  EXPECT_EQ(bytes, "one\r\ntwo\r\n");
  ASSERT_EQ(files().WriteFile(a, ""), store::kSuccess);
  ASSERT_EQ(files().ReadFile(a, bytes), store::kSuccess);
  EXPECT_EQ(bytes, "");

  ASSERT_EQ(files().WriteFile(a, "source"), store::kSuccess);
  ASSERT_EQ(files().WriteFile(b, "target"), store::kSuccess);
  EXPECT_NE(files().CopyFile(a, b, false), store::kSuccess) << "no overwrite asked";
  EXPECT_EQ(files().CopyFile(a, b, true), store::kSuccess);
  ASSERT_EQ(files().ReadFile(b, bytes), store::kSuccess);
  EXPECT_EQ(bytes, "source");
  EXPECT_NE(files().CopyFile(File("absent"), b, true), store::kSuccess);
  EXPECT_NE(files().ReadFile(File("absent"), bytes), store::kSuccess);
  EXPECT_NE(files().WriteFile(File("no\\such\\folder\\f"), "x"), store::kSuccess);
}

TEST_F(FilesConformance, ReadOnlyFilesNeedForce) {
  std::string f = File("msdos.sys");
  ASSERT_EQ(files().WriteFile(f, "[Options]\r\n"), store::kSuccess);
  ASSERT_EQ(
      files().SetAttributes(f, store::kAttrReadOnly | store::kAttrHidden | store::kAttrSystem),
      store::kSuccess);
  auto e = files().Stat(f);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->attributes & (store::kAttrReadOnly | store::kAttrHidden | store::kAttrSystem),
            store::kAttrReadOnly | store::kAttrHidden | store::kAttrSystem);
  EXPECT_NE(files().DeleteFile(f, false), store::kSuccess);
  EXPECT_TRUE(files().Stat(f).has_value());
  EXPECT_EQ(files().DeleteFile(f, true), store::kSuccess);
  EXPECT_FALSE(files().Stat(f).has_value());
}

// Nothing writes over a read-only file: not a replace, an append, a copy or a
// profile write.
TEST_F(FilesConformance, ReadOnlyFilesAreNotWrittenOver) {
  if (const char* gap = WriteProtectionGap()) GTEST_SKIP() << gap;
  std::string f = File("hosts");
  ASSERT_EQ(files().WriteFile(f, "[Options]\r\n"), store::kSuccess);
  ASSERT_EQ(files().SetAttributes(f, store::kAttrReadOnly), store::kSuccess);
  ASSERT_EQ(files().WriteFile(File("other.txt"), "other"), store::kSuccess);
  EXPECT_NE(files().WriteFile(f, "replaced"), store::kSuccess);
  EXPECT_NE(files().AppendFile(f, "appended"), store::kSuccess);
  EXPECT_NE(files().CopyFile(File("other.txt"), f, true), store::kSuccess);
  EXPECT_FALSE(ini().INIWriteKey("Options", "BootGUI", store::Variant("0"), f));
  std::string bytes;
  ASSERT_EQ(files().ReadFile(f, bytes), store::kSuccess);
  EXPECT_EQ(bytes, "[Options]\r\n");
  EXPECT_EQ(files().DeleteFile(f, true), store::kSuccess);
}

// A file written or copied over is replaced by a whole new file, never rewritten
// where it lies: a death halfway leaves the old one. Another hard link to the old
// file shows which happened.
TEST_F(FilesConformance, FilesAreReplacedWholeNeverRewrittenInPlace) {
  std::string source = File("restored.txt"), target = File("target.txt"),
              old = File("old link.txt");
  ASSERT_EQ(files().WriteFile(source, "restored"), store::kSuccess);
  for (int way = 0; way < 3; ++way) {
    files().DeleteFile(old, true);
    ASSERT_EQ(files().WriteFile(target, "old"), store::kSuccess);
    ASSERT_TRUE(MakeHardLink(machine(), target, old));
    store::Status s = way == 0   ? files().CopyFile(source, target, true)
                      : way == 1 ? files().CopyFileUnflushed(source, target, true)
                                 : files().WriteFile(target, "restored");
    ASSERT_EQ(s, store::kSuccess) << way;
    std::string bytes;
    ASSERT_EQ(files().ReadFile(target, bytes), store::kSuccess);
    EXPECT_EQ(bytes, "restored") << way;
    ASSERT_EQ(files().ReadFile(old, bytes), store::kSuccess);
    EXPECT_EQ(bytes, "old") << "written in place, way " << way;
  }
}

// Overwriting before a delete destroys only what belongs to that name: another
// hard link keeps its bytes, a file alone is zeroed, a sparse file's holes stay
// holes.
TEST_F(FilesConformance, OverwriteTouchesOnlyWhatTheNameOwns) {
  store::FileTools& tools = machine().backend().file_tools();
  std::string shared = File("shared.tmp"), other = File("other name.txt");
  ASSERT_EQ(files().WriteFile(shared, "shared bytes"), store::kSuccess);
  ASSERT_TRUE(MakeHardLink(machine(), shared, other));
  EXPECT_EQ(tools.Overwrite(shared), store::kSuccess);
  EXPECT_EQ(files().DeleteFile(shared, true), store::kSuccess);
  std::string bytes;
  ASSERT_EQ(files().ReadFile(other, bytes), store::kSuccess);
  EXPECT_EQ(bytes, "shared bytes");

  std::string alone = File("alone.tmp");
  ASSERT_EQ(files().WriteFile(alone, "secret"), store::kSuccess);
  EXPECT_EQ(tools.Overwrite(alone), store::kSuccess);
  ASSERT_EQ(files().ReadFile(alone, bytes), store::kSuccess);
  EXPECT_EQ(bytes, std::string(6, '\0'));

  constexpr std::int64_t kSize = 8 << 20;
  std::string sparse = File("sparse.tmp");
  ASSERT_TRUE(MakeSparseFile(machine(), sparse, "data", kSize));
  std::optional<std::uint64_t> before = DiskBytes(machine(), sparse);
  ASSERT_TRUE(before.has_value());
  if (*before >= static_cast<std::uint64_t>(kSize)) {
    GTEST_SKIP() << "the disk keeps no holes, or does not say (Wine gives the file's size)";
  }
  EXPECT_EQ(tools.Overwrite(sparse), store::kSuccess);
  EXPECT_LE(DiskBytes(machine(), sparse).value_or(kSize), *before) << "holes filled";
  ASSERT_EQ(files().ReadFile(sparse, bytes), store::kSuccess);
  EXPECT_EQ(bytes, std::string(kSize, '\0'));
}

// What a walk from folder gives: the folder's files in listing order, then each
// subfolder's in listing order, leaving out what is named in skipped.
void WalkOrder(store::FileSystem& files, const std::string& folder,
               const std::set<std::string>& skipped, std::vector<std::string>& out) {
  std::vector<store::FileEntry> entries;
  files.List(folder + "\\*", entries);
  for (bool folders : {false, true}) {
    for (const store::FileEntry& e : entries) {
      if (e.is_directory() != folders || skipped.count(e.name)) continue;
      if (folders) {
        WalkOrder(files, folder + "\\" + e.name, skipped, out);
      } else {
        out.push_back(folder + "\\" + e.name);
      }
    }
  }
}

struct LeftOut {
  const char* name;
  bool (*make)(store::Machine& machine, const std::string& dir, const std::string& path);
};

// The cleaner's walk goes depth first, a folder's files before its subfolders,
// gives each file's details, and never follows a link nor enters a folder it
// cannot open. Whatever the machine cannot make is walked as any other.
TEST_F(FilesConformance, WalkGoesDepthFirstAndLeavesOut) {
  for (const char* f : {"b.txt", "a.txt", ".hidden", "A\\x.tmp", "A\\AA\\y.tmp", "A\\z.tmp",
                        "B\\w.tmp", "C\\CC\\CCC\\v.tmp", "closed\\inside.tmp"}) {
    ASSERT_EQ(files().CreateDirectory(store::GetFolder(File(f))), store::kSuccess) << f;
    ASSERT_EQ(files().WriteFile(File(f), f), store::kSuccess) << f;
  }
  ASSERT_EQ(files().CreateDirectory(File("D")), store::kSuccess);
  const LeftOut rows[] = {
      {"loop", [](store::Machine& m, const std::string& dir,
                  const std::string& path) { return MakeSymbolicLink(m, dir, path, true); }},
      {"link.tmp",
       [](store::Machine& m, const std::string& dir, const std::string& path) {
         return MakeSymbolicLink(m, dir + "\\a.txt", path, false);
       }},
      {"closed", [](store::Machine& m, const std::string&,
                    const std::string& path) { return MakeUnopenable(m, path); }},
  };
  std::set<std::string> skipped;
  for (const LeftOut& row : rows) {
    if (row.make(machine(), dir(), File(row.name))) skipped.insert(row.name);
  }
  std::vector<std::string> expected;
  WalkOrder(files(), dir(), skipped, expected);
  EXPECT_EQ(expected.size(), skipped.count("closed") ? 8u : 9u);
  store::FileTools& tools = machine().backend().file_tools();
  std::unique_ptr<store::FolderWalk> walk = tools.Walk(dir() + "\\");
  ASSERT_TRUE(walk->opened());
  std::vector<std::string> walked;
  std::vector<std::optional<store::FileEntry>> details;
  {
    Unprivileged plain;
    for (std::string_view folder, name; walk->Next(folder, name);) {
      walked.push_back(std::string(folder) + "\\" + std::string(name));
      details.push_back(walk->Details());
    }
    EXPECT_FALSE(walk->Details()) << "the walk is over";
  }
  for (std::size_t i = 0; i < walked.size(); ++i) {
    std::optional<store::FileEntry> stat = files().Stat(walked[i]);
    ASSERT_TRUE(details[i] && stat) << walked[i];
    EXPECT_EQ(details[i]->name, store::GetName(walked[i]));
    EXPECT_EQ(details[i]->size, stat->size) << walked[i];
    EXPECT_EQ(details[i]->modified, stat->modified) << walked[i];
    EXPECT_EQ(details[i]->attributes & (store::kAttrHidden | store::kAttrReadOnly),
              stat->attributes & (store::kAttrHidden | store::kAttrReadOnly))
        << walked[i];
  }
  EXPECT_EQ(walked, expected) << "left out: " << skipped.size();

  // A root that cannot be opened walks nothing; an empty one opens.
  for (const std::string& root : {File("none"), File("D"), File("D\\")}) {
    std::unique_ptr<store::FolderWalk> w = tools.Walk(root);
    EXPECT_EQ(w->opened(), root != File("none")) << root;
    std::string_view folder, name;
    EXPECT_FALSE(w->Next(folder, name)) << root;
  }
}

// A pseudo file system (here cgroup, mounted under sysfs) is not walked: it
// holds no files of the machine, and some never end.
TEST_F(FilesConformance, WalkLeavesPseudoFileSystemsOut) {
  std::string pseudo;
  std::unique_ptr<store::FolderWalk> walk = WalkAbovePseudoFolder(machine(), pseudo);
  if (!walk) GTEST_SKIP() << "no pseudo file system below a folder this machine reaches";
  ASSERT_TRUE(walk->opened());
  for (std::string_view folder, name; walk->Next(folder, name);) {
    ASSERT_NE(folder.substr(0, pseudo.size()), pseudo) << name;
  }
}

TEST_F(FilesConformance, ListingMatchesPatternsWithoutRegardToCase) {
  ASSERT_EQ(files().WriteFile(File("DESK.CPL"), "x"), store::kSuccess);
  ASSERT_EQ(files().WriteFile(File("abc.cpl"), "xy"), store::kSuccess);
  ASSERT_EQ(files().WriteFile(File("hidden.cpl"), "xyz"), store::kSuccess);
  ASSERT_EQ(files().SetAttributes(File("hidden.cpl"), store::kAttrHidden), store::kSuccess);
  ASSERT_EQ(files().WriteFile(File("notes.txt"), ""), store::kSuccess);
  ASSERT_EQ(files().CreateDirectory(File("sub\\deeper")), store::kSuccess);
  ASSERT_EQ(files().CreateDirectory(File("sub")), store::kSuccess)
      << "an existing folder is no error";

  std::vector<store::FileEntry> entries;
  ASSERT_EQ(files().List(File("*.cpl"), entries), store::kSuccess);
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"DESK.CPL", "abc.cpl", "hidden.cpl"}));
  for (const auto& e : entries) {
    if (e.name == "abc.cpl") {
      EXPECT_EQ(e.size, 2u);
    }
    if (e.name == "hidden.cpl") {
      EXPECT_TRUE(e.attributes & store::kAttrHidden);
    }
  }
  ASSERT_EQ(files().List(File("*.*"), entries), store::kSuccess);
  EXPECT_EQ(entries.size(), 5u);
  auto sub = std::find_if(entries.begin(), entries.end(), [](auto& e) { return e.name == "sub"; });
  ASSERT_NE(sub, entries.end());
  EXPECT_TRUE(sub->is_directory());
  EXPECT_EQ(files().List(File("*.scr"), entries), store::kFileNotFound);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(files().List(File("sub\\deeper\\*.*"), entries), store::kSuccess) << "\".\" matches";
  EXPECT_TRUE(entries.empty());
}

TEST_F(FilesConformance, PathsIgnoreCaseAndNamesKeepTheirs) {
  ASSERT_EQ(files().WriteFile(File("System.INI"), "[boot]\r\n"), store::kSuccess);
  auto e = files().Stat(File("SYSTEM.ini"));
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->name, "System.INI");
  ASSERT_EQ(files().WriteFile(File("备份.txt"), "中"), store::kSuccess);
  std::string bytes;
  EXPECT_EQ(files().ReadFile(File("备份.txt"), bytes), store::kSuccess);
  EXPECT_EQ(bytes, "中");
}

TEST_F(FilesConformance, DriveTypes) {
  EXPECT_EQ(files().DriveType("C:\\"), store::kDriveFixed);
  EXPECT_EQ(files().DriveType("Q:\\"), store::kDriveNoRootDir);
}

// A path with blanks has a short form without them on Windows (and Wine); a
// machine folder keeps no short names, and a missing file has none anywhere.
TEST_F(FilesConformance, ShortPathNamesWhereTheMachineKeepsThem) {
  const std::string folder = File("Long Folder");
  ASSERT_EQ(files().CreateDirectory(folder), store::kSuccess);
  ASSERT_EQ(files().WriteFile(folder + "\\a long name.exe", "MZ"), store::kSuccess);
  store::MachineBackend& backend = machine().backend();
  EXPECT_FALSE(backend.ShortPathName(folder + "\\missing.exe"));
  std::optional<std::string> short_path = backend.ShortPathName(folder + "\\a long name.exe");
  if (portable()) {
    EXPECT_FALSE(short_path);
    return;
  }
  ASSERT_TRUE(short_path);
  EXPECT_EQ(short_path->find(' '), std::string::npos) << *short_path;
  EXPECT_TRUE(files().Stat(*short_path)) << *short_path;
}

}  // namespace
}  // namespace korvanta::test
