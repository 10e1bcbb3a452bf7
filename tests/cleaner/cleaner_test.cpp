// The cleaner's parts below its page: the name patterns, the one-walk scan
// against one walk per pattern, the walk's refusal to follow links, overwriting,
// the backup index's numbers, and a backup into a full disk.
#include <gtest/gtest.h>

#include <sstream>

#include "cleaner/backup_index.h"
#include "cleaner/junk_pattern.h"
#include "cleaner/junk_scanner.h"
#include "store/forwarding_backend.h"
#include "support/driven_program.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include "store/portable/machine_folder.h"
#include "store/portable/machine_portable.h"
#endif

namespace korvanta::cleaner {
namespace {
namespace fs = std::filesystem;

struct PatternCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(JunkPatternTest, WildcardRules) {
  const PatternCase cases[] = {
      {"*.tmp", "A.TMP", true},
      {"*.tmp", "x.tmp", true},
      {"*.tmp", "a.tmp.bak", false},
      {"*.tmp", ".tmp", true},
      {"chklist.*", "CHKLIST.MS", true},
      {"chklist.*", "chklist", false},
      {"Thumbs.db", "THUMBS.DB", true},
      {"Thumbs.db", "xThumbs.db", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"file#.log", "file7.log", true},
      {"file#.log", "filex.log", false},
      {"[a-c]*", "Beta", true},
      {"[a-c]*", "delta", false},
      {"[!a-c]*", "delta", true},
      {"[!a-c]*", "alpha", false},
      {"[xyz]1", "Y1", true},
      {"a[]b", "ab", true},
      {"*a*b*", "xxaxxbxx", true},
      {"*a*b*", "xxbxxaxx", false},
      {"**x", "x", true},
      {"*", "", true},
      {"[abc", "a", false},
      {"*.临时", "文件.临时", true},
      {"é*", "ÉCOLE", true},
      {"#", "٣", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JunkPattern(c.pattern).Matches(c.name), c.matches) << c.pattern << " ~ " << c.name;
  }
}

TEST(BackupIndexTest, NumbersEntriesAndRecovery) {
  test::TempDir dir;
#ifdef _WIN32
  store::Machine machine(store::OpenLiveMachine(dir.path().string()));
  const std::string root = dir.path().string();
#else
  store::Machine machine(store::OpenMachineFolder(test::CopyFreshPrefix(dir.path())));
  const std::string root = "C:\\korvanta-index";
  ASSERT_EQ(machine.files().CreateDirectory(root), store::kSuccess);
#endif
  const std::string file = root + "\\filebak.ini";
  BackupIndex index(machine.files(), file);
  ASSERT_TRUE(index.Load());
  EXPECT_EQ(index.StoredNext(), std::nullopt);
  EXPECT_EQ(index.NextNumber(), 1);
  const std::pair<const char*, std::optional<int>> texts[] = {
      {" 5", 5}, {"12abc", 12}, {"abc", std::nullopt}, {"", std::nullopt}, {"3.9", 3}};
  for (const auto& [text, number] : texts) {
    machine.ini().INIWriteKey("filesum", "Filesum", store::Variant(text), file);
    ASSERT_TRUE(index.Load());
    EXPECT_EQ(index.StoredNext(), number) << text;
  }
  // What the profile calls read back is what the index wrote, in one replace.
  ASSERT_TRUE(index.Clear());
  ASSERT_TRUE(index.Append({{"a.tmp", "C:\\x", "1 KB", ""}}, root + "\\bak\\"));
  EXPECT_EQ(index.Entry(1, index.Bakpath()).copy, root + "\\bak\\a.tmp");
  ASSERT_TRUE(index.Append({{"a.tmp", "C:\\y", "1 KB", root + "\\bak\\a (2).tmp"},
                            {"b.tmp", "C:\\y", "2 KB", root + "\\bak\\b.tmp"}},
                           root + "\\bak\\"));
  EXPECT_EQ(machine.ini().INIReadKey("filesum", "Filesum", file, 100), "4");
  EXPECT_EQ(machine.ini().INIReadKey("bakfile", "File2", file, 1000), root + "\\bak\\a (2).tmp");
  EXPECT_EQ(machine.ini().INIReadKey("filesize", "Size3", file, 1000), "2 KB");

  // A writer that died after storing entries 4 and 5 but before counting
  // them: entries whose copies exist are taken back, up to the first that is
  // incomplete or has no copy.
  for (int k : {4, 5, 6, 7}) {
    std::string n = std::to_string(k), copy = root + "\\bak\\t" + n + ".tmp";
    machine.ini().INIWriteKey("filename", "Name" + n, store::Variant("t" + n + ".tmp"), file);
    machine.ini().INIWriteKey("filepath", "Path" + n, store::Variant("C:\\t"), file);
    if (k != 6) machine.ini().INIWriteKey("filesize", "Size" + n, store::Variant("1 KB"), file);
    machine.ini().INIWriteKey("bakfile", "File" + n, store::Variant(copy), file);
    ASSERT_EQ(machine.files().CreateDirectory(root + "\\bak"), store::kSuccess);
    ASSERT_EQ(machine.files().WriteFile(copy, "t"), store::kSuccess);
  }
  ASSERT_TRUE(index.Load());
  EXPECT_EQ(index.Recover(), 2);
  EXPECT_EQ(index.StoredNext(), 6);
  ASSERT_TRUE(index.Load());
  EXPECT_EQ(index.StoredNext(), 6);
  EXPECT_EQ(index.Recover(), 0);
  ASSERT_TRUE(index.Clear());
  EXPECT_EQ(index.StoredNext(), 1);
  EXPECT_EQ(index.Entry(1, "").name, "");
#ifdef _WIN32
  const std::filesystem::path host = file;
#else
  const std::filesystem::path host = *store::MachineFolder(dir.path() / "prefix").HostPath(file);
#endif
  EXPECT_EQ(test::ReadBytes(host), "[filesum]\r\nFilesum=1\r\n");
}

#ifndef _WIN32

class CleanerMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = test::CopyFreshPrefix(dir_.path());
    machine_ = std::make_unique<store::Machine>(store::OpenMachineFolder(prefix_));
  }
  fs::path Host(const std::string& path) { return *store::MachineFolder(prefix_).HostPath(path); }
  void Write(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(machine_->files().CreateDirectory(store::GetFolder(path)), store::kSuccess);
    ASSERT_EQ(machine_->files().WriteFile(path, bytes), store::kSuccess);
  }
  std::vector<ScanRow> Scan(std::vector<ScanSearch> searches) {
    JunkScan scan(machine_->backend().file_tools(), std::move(searches));
    std::vector<ScanRow> rows;
    while (scan.Step(std::chrono::milliseconds(1), rows)) {
    }
    return rows;
  }
  static std::string Text(const std::vector<ScanRow>& rows) {
    std::string text;
    for (const auto& r : rows) text += r.folder + "\\" + r.name + "\n";
    return text;
  }

  test::TempDir dir_;
  fs::path prefix_;
  std::unique_ptr<store::Machine> machine_;
};

// Scans C:\junk with the *.tmp type ticked and opens the options tab.
const char kScanJunkSetup[] =
    "start\nclick Label3(8)\nclick TabStrip1(2)\nrow ListView3 1 on\nset Checkddsm on\n"
    "click Textdywjj\ntype Textdywjj C:\\junk\nclick TabStrip1(3)\n";

// One walk for all patterns hands out what one walk per pattern does, in the
// same order; links to folders and files are not followed.
TEST_F(CleanerMachineTest, OneWalkGivesThePerPatternRows) {
  for (int d = 0; d < 30; ++d) {
    std::string folder = "C:\\tree\\d" + std::to_string(d % 4) + "\\e" + std::to_string(d);
    for (const char* name :
         {"x.tmp", "y.old", "Thumbs.db", "z.txt", "chklist.tmp", "desktop.ini", "a.ini"})
      Write(folder + "\\" + name, "x");
  }
  fs::create_directory_symlink(Host("C:\\tree"), Host("C:\\tree\\d1") / "loop");
  fs::create_symlink(Host("C:\\tree\\d1\\e1\\1x.tmp"), Host("C:\\tree\\d1") / "link.tmp");
  const std::vector<std::string> patterns = {"*.tmp", "*.old", "Thumbs.db", "chklist.*", "*.ini"};
  std::vector<JunkPattern> all;
  std::vector<ScanRow> per_pattern;
  for (const auto& p : patterns) {
    all.emplace_back(p);
    std::vector<ScanRow> rows = Scan({{"C:\\tree\\", {JunkPattern(p)}}});
    per_pattern.insert(per_pattern.end(), rows.begin(), rows.end());
  }
  std::vector<ScanRow> one_walk = Scan({{"C:\\tree", all}});
  EXPECT_EQ(Text(one_walk), Text(per_pattern));
  // In each of 30 folders: 2 *.tmp, 1 *.old, 1 Thumbs.db, 1 chklist.*, 1 *.ini
  // (desktop.ini never).
  EXPECT_EQ(one_walk.size(), 30u * 6u);
  EXPECT_EQ(Text(one_walk).find("loop"), std::string::npos);
  EXPECT_EQ(Text(one_walk).find("link.tmp"), std::string::npos);
  // Stopped after its first slice, the scan keeps the rows found so far, each
  // type's in walk order.
  JunkScan stopped(machine_->backend().file_tools(), {{"C:\\tree", all}});
  std::vector<ScanRow> partial;
  EXPECT_TRUE(stopped.Step(std::chrono::milliseconds(0), partial));
  EXPECT_TRUE(partial.empty());
  stopped.Stop(partial);
  EXPECT_TRUE(stopped.over());
  EXPECT_FALSE(partial.empty());
  EXPECT_LT(partial.size(), one_walk.size());
  std::string full = Text(one_walk);
  for (const auto& row : partial) {
    std::string line = row.folder + "\\" + row.name + "\n";
    EXPECT_NE(full.find(line), std::string::npos) << line;
  }
  // A root that does not exist adds nothing and the next root goes on.
  EXPECT_EQ(Scan({{"C:\\none", all}, {"C:\\tree\\d0\\e0", {JunkPattern("*.old")}}}).size(), 1u);
}

TEST_F(CleanerMachineTest, OverwriteZeroesTheContentsInPlace) {
  Write("C:\\w\\secret.tmp", "the secret");
  ASSERT_EQ(machine_->files().SetAttributes("C:\\w\\secret.tmp", store::kAttrReadOnly),
            store::kSuccess);
  struct stat before, after;
  ASSERT_EQ(stat(Host("C:\\w\\secret.tmp").c_str(), &before), 0);
  EXPECT_EQ(machine_->backend().file_tools().Overwrite("C:\\w\\secret.tmp"), store::kSuccess);
  ASSERT_EQ(stat(Host("C:\\w\\secret.tmp").c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);  // still read-only
  EXPECT_EQ(test::ReadBytes(Host("C:\\w\\secret.tmp")), std::string(10, '\0'));
  EXPECT_NE(machine_->backend().file_tools().Overwrite("C:\\w\\none.tmp"), store::kSuccess);
}

// A copy that fails (the disk is full) keeps the file and its row, and records
// nothing for it; the user is told.
TEST_F(CleanerMachineTest, AFailedCopyKeepsTheFile) {
  const std::string big(8000, 'b');
  Write("C:\\junk\\big.tmp", big);
  Write("C:\\junk\\sub\\small.tmp", "s");
  ASSERT_EQ(machine_->files().CreateDirectory("C:\\bak"), store::kSuccess);
  test::DrivenProgram driven(*machine_);
  driven.Drive(std::string(kScanJunkSetup) +
               "set Optionbfsc on\nset Checkxcts on\nclick Textbbfwj\ntype Textbbfwj C:\\bak\n"
               "click TabStrip1(1)\nclick Commandss\nwait Timerss\nrow ListView2 1 on\n"
               "row ListView2 2 on\n");
  std::string out;
  {
    test::FileSizeLimit full(4000);
    out = driven.Drive("click Commandsclj\nprint ListView2\n");
  }
  EXPECT_NE(out.find("有 1 个文件未能备份到C:\\bak\\，这些文件没有删除！"), std::string::npos)
      << out;
  EXPECT_NE(out.find("ListView2 = 1\n"), std::string::npos) << out;
  EXPECT_EQ(test::ReadBytes(Host("C:\\junk\\big.tmp")), big);
  EXPECT_FALSE(fs::exists(Host("C:\\junk\\sub\\small.tmp")));
  EXPECT_EQ(test::Names(Host("C:\\bak")), std::vector<std::string>{"small.tmp"});
  std::string index = test::ReadBytes(Host(machine_->paths().ProgramFolder() + "\\filebak.ini"));
  EXPECT_NE(index.find("Name1=small.tmp"), std::string::npos) << index;
  EXPECT_EQ(index.find("big.tmp"), std::string::npos) << index;
}

// Z: leads to the host's own files, here a folder beside the machine, and so
// does a link on C:. Without --host-drives neither is offered, scanned or
// written, and a typed path that leads there says why; with it, Z: is a drive.
TEST_F(CleanerMachineTest, TheHostsFilesAreOutOfReach) {
  const fs::path host = dir_.path() / "host";
  test::WriteBytes(host / "a.tmp", "a");
  fs::create_directories(host / "bak");
  fs::remove(prefix_ / "dosdevices" / "z:");
  fs::create_directory_symlink(host, prefix_ / "dosdevices" / "z:");
  fs::create_directory_symlink(host, Host("C:\\") / "linked");
  Write("C:\\junk\\b.tmp", "b");
  const std::string outside =
      "message 警告: 文件夹 %s 不在这台计算机的磁盘上，而是本机系统自己的文件，Korvanta不会扫描"
      "或改动它！如确需清理本机的文件，请用 --host-drives 选项启动Korvanta。";
  auto told = [&](const std::string& folder, const std::string& more) {
    std::string text = outside;
    return text.replace(text.find("%s"), 2, folder) + more + " -> OK\n";
  };
  test::DrivenProgram driven(*machine_);
  driven.Drive("start\nclick Label3(8)\nclick TabStrip1(2)\nrow ListView3 1 on\n");
  EXPECT_EQ(driven.Drive("set Optionxxam on\nprint Listdiv1\n"), "Listdiv1 = 1\n");
  for (const char* folder : {"Z:\\", "C:\\linked", "c:\\LINKED\\bak\\.."}) {
    EXPECT_EQ(driven.Drive(std::string("set Checkddsm on\nclick Textdywjj\ntype Textdywjj ") +
                           folder + "\nclick TabStrip1(1)\nclick Commandss\nwait Timerss\n" +
                           "print ListView2\nset Checkddsm off\nclick TabStrip1(2)\n"),
              told(folder, "") + "ListView2 = 0\n");
  }
  // A backup folder there takes no copies, and so nothing is deleted.
  EXPECT_EQ(driven.Drive("set Checkddsm on\nclick Textdywjj\ntype Textdywjj C:\\junk\n"
                         "click TabStrip1(3)\nset Optionbfsc on\nset Checkxcts on\n"
                         "click Textbbfwj\ntype Textbbfwj Z:\\bak\nclick TabStrip1(1)\n"
                         "click Commandss\nwait Timerss\nrow ListView2 1 on\nclick Commandsclj\n"),
            told("Z:\\bak", "没有删除任何文件！"));
  EXPECT_NE(machine_->files().DeleteFile("Z:\\a.tmp", true), store::kSuccess);
  EXPECT_NE(machine_->files().WriteFile("C:\\linked\\a.tmp", "x"), store::kSuccess);
  EXPECT_EQ(test::ReadBytes(host / "a.tmp"), "a");
  EXPECT_EQ(test::ReadBytes(Host("C:\\junk\\b.tmp")), "b");
  EXPECT_TRUE(test::Names(host / "bak").empty());

  store::MachineFolderOptions options;
  options.host_drives = true;
  store::Machine opted(store::OpenMachineFolder(prefix_, options));
  test::DrivenProgram asked(opted);
  std::string out = asked.Drive(
      "start\nclick Label3(8)\nclick TabStrip1(2)\nrow ListView3 1 on\nset Optionxxam on\n"
      "rows Listdiv1\nitem Listdiv1 Z:\\ on\nclick TabStrip1(1)\nclick Commandss\nwait Timerss\n"
      "rows ListView2\n");
  EXPECT_EQ(out.rfind("Listdiv1[1] = [ ] C:\\\nListdiv1[2] = [ ] Z:\\\n"
                      "ListView2[1] = [ ] a.tmp | Z:\\ |",
                      0),
            0u)
      << out;
}

// A disk that hands back other bytes than it was given: every copy it makes has
// the right size and its last byte changed.
class GarblingFiles final : public store::ForwardingFileSystem {
 public:
  using store::ForwardingFileSystem::ForwardingFileSystem;
  store::Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override {
    std::string bytes;
    store::Status s = inner().ReadFile(from, bytes);
    if (s != store::kSuccess || bytes.empty()) return s;
    bytes.back() = static_cast<char>(bytes.back() ^ 0x20);
    if (!overwrite && inner().Stat(to)) return store::kFileExists;
    return inner().WriteFile(to, bytes);
  }
  store::Status CopyFileUnflushed(std::string_view from, std::string_view to,
                                  bool overwrite) override {
    return CopyFile(from, to, overwrite);
  }
};

// A machine whose files are garbled on copy; the rest is the machine folder's.
class GarblingMachine final : public store::ForwardingBackend {
 public:
  explicit GarblingMachine(std::unique_ptr<store::MachineBackend> real)
      : store::ForwardingBackend(std::move(real)), files_(inner().files()) {}
  store::FileSystem& files() override { return files_; }

 private:
  GarblingFiles files_;
};

// A copy of the right size that holds other bytes is no backup: the file and its
// row stay, nothing is recorded, the copy goes.
TEST_F(CleanerMachineTest, ACopyWithOtherBytesKeepsTheFile) {
  Write("C:\\junk\\a.tmp", "precious");
  ASSERT_EQ(machine_->files().CreateDirectory("C:\\bak"), store::kSuccess);
  store::Machine garbling(std::make_unique<GarblingMachine>(store::OpenMachineFolder(prefix_)));
  test::DrivenProgram driven(garbling);
  std::string out =
      driven.Drive(std::string(kScanJunkSetup) +
                   "set Optionbfsc on\nset Checkxcts on\nclick Textbbfwj\ntype Textbbfwj C:\\bak\n"
                   "click TabStrip1(1)\nclick Commandss\nwait Timerss\nrow ListView2 1 on\n"
                   "click Commandsclj\nprint ListView2\n");
  EXPECT_NE(out.find("有 1 个文件未能备份到C:\\bak\\，这些文件没有删除！"), std::string::npos)
      << out;
  EXPECT_NE(out.find("ListView2 = 1\n"), std::string::npos) << out;
  EXPECT_EQ(test::ReadBytes(Host("C:\\junk\\a.tmp")), "precious");
  EXPECT_TRUE(test::Names(Host("C:\\bak")).empty());
  std::string index;
  machine_->files().ReadFile(machine_->paths().ProgramFolder() + "\\filebak.ini", index);
  EXPECT_EQ(index.find("a.tmp"), std::string::npos) << index;
}

// The Recycle Bin mode moves the ticked files to the trash without asking;
// "清空回收站" empties it.
TEST_F(CleanerMachineTest, RecycleModeAndEmptyingTheBin) {
  test::ScopedEnv data("XDG_DATA_HOME", (dir_.path() / "data").string());
  Write("C:\\junk\\a.tmp", "a");
  Write("C:\\junk\\sub\\b.tmp", "b");
  test::DrivenProgram driven(*machine_);
  EXPECT_EQ(driven.Drive(std::string(kScanJunkSetup) +
                         "set Optionsdhs on\nclick TabStrip1(1)\nclick Commandss\nwait Timerss\n"
                         "row ListView2 1 on\nclick Commandsclj\nprint ListView2\n"),
            "ListView2 = 1\n");
  const fs::path trash = dir_.path() / "data" / "Trash";
  EXPECT_FALSE(fs::exists(Host("C:\\junk") / "a.tmp"));
  EXPECT_EQ(test::ReadBytes(trash / "files" / "a.tmp"), "a");
  EXPECT_TRUE(fs::exists(trash / "info" / "a.tmp.trashinfo"));
  EXPECT_EQ(test::ReadBytes(Host("C:\\junk\\sub\\b.tmp")), "b");
  driven.Drive("click TabStrip1(3)\nclick Commandqkhsz\n");
  EXPECT_TRUE(test::Names(trash / "files").empty());
  EXPECT_TRUE(test::Names(trash / "info").empty());
}

#endif

}  // namespace
}  // namespace korvanta::cleaner
