// One user action is one transaction of the machine: the personalisation page's
// apply saves each registry file at most once, and a machine that refuses the
// writes (Wine owns the registry) keeps its files whole and has the user told
// once, with no success shown; the files that go with its registry values stay
// as they were too.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <sstream>

#include "store/wineserver_start.h"
#include "support/driven_program.h"

namespace korvanta::app {
namespace {
namespace fs = std::filesystem;

// Counts the files renamed into a folder (an atomic save is a rename).
class SaveCounter {
 public:
  explicit SaveCounter(const fs::path& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
    inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
  }
  ~SaveCounter() { close(fd_); }
  SaveCounter(const SaveCounter&) = delete;
  SaveCounter& operator=(const SaveCounter&) = delete;
  // Saves of each file name since the last call.
  std::map<std::string, int> Take() {
    std::map<std::string, int> saves;
    alignas(inotify_event) char buffer[8192];
    for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
      for (char* p = buffer; p < buffer + n;) {
        auto* event = reinterpret_cast<inotify_event*>(p);
        if (event->len > 0 && (event->mask & IN_MOVED_TO)) ++saves[event->name];
        p += sizeof(inotify_event) + event->len;
      }
    }
    return saves;
  }

 private:
  int fd_;
};

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = test::CopyFreshPrefix(dir_.path());
    machine_ = std::make_unique<store::Machine>(store::OpenMachineFolder(prefix_));
    driven_ = std::make_unique<test::DrivenProgram>(*machine_);
  }
  void TearDown() override { test::StopWineserver(prefix_); }
  std::string Drive(const std::string& scenario) { return driven_->Drive(scenario); }

  test::TempDir dir_;
  fs::path prefix_;
  std::unique_ptr<store::Machine> machine_;
  std::unique_ptr<test::DrivenProgram> driven_;
};

TEST_F(TransactionTest, AnApplySavesEachRegistryFileOnce) {
  Drive("start\nclick Label3(1)\n");
  // Every row of the page writes: HKCU and HKLM rows, texts, deletions.
  Drive(
      "set Checkcj on\nset Checkjt off\nset Checkbb on\nset Checkycie on\nset Checkhsz off\n"
      "set Checkwd off\nset Checkwslj on\nset Checkwddn on\ntype Textyhm 用户\ntype Textgsm 公司\n"
      "set Checkgzz on\ntype Textgzz 工作组\ntype Texttime HH:mm\ntype Textxpbs X\n"
      "set Checkaz on\ntype Textaz D:\\\nset Checkkjjg on\n");
  SaveCounter counter(prefix_);
  Drive("click Commandszgxh\n");
  std::map<std::string, int> saves = counter.Take();
  EXPECT_EQ(saves["system.reg"], 1);
  EXPECT_EQ(saves["user.reg"], 1);
  store::Variant owner;
  machine_->reg().QueryValue(store::RegRoot::kLocalMachine,
                             "Software\\Microsoft\\Windows NT\\CurrentVersion", "RegisteredOwner",
                             owner);
  EXPECT_EQ(owner.ToText(), "用户");
  // Nothing changed, nothing saved: another apply writes the same values again.
  Drive("click Label3(0)\n");
  EXPECT_TRUE(counter.Take().empty());
}

TEST_F(TransactionTest, AWineOwnedRegistryIsLeftWholeAndTheUserToldOnce) {
  Drive("start\nclick Label3(1)\nset Checkbb on\nset Checkwddn on\n");
  const std::string system_before = test::ReadBytes(prefix_ / "system.reg");
  const std::string user_before = test::ReadBytes(prefix_ / "user.reg");
  ASSERT_TRUE(test::StartWineserver(prefix_)) << "no wineserver";
  std::string out = Drive("click Commandszgxh\n");
  // One message, after the action; it says why and what.
  EXPECT_EQ(out.find("message 警告: "), 0u) << out;
  EXPECT_EQ(out.find("message", 1), std::string::npos) << out;
  EXPECT_NE(out.find("PaintDesktopVersion"), std::string::npos) << out;
  EXPECT_EQ(test::ReadBytes(prefix_ / "system.reg"), system_before);
  EXPECT_EQ(test::ReadBytes(prefix_ / "user.reg"), user_before);
  // The log entry was written first and stands.
  std::string log;
  machine_->files().ReadFile(machine_->paths().ProgramFolder() + "\\tamrik.Log", log);
  EXPECT_NE(machine_->codepage().FromAnsi(log).find("系统个性化设置成功  "), std::string::npos);

  // The password: no success message and no log entry for what was not stored.
  out = Drive("click Commandpass\ntype TxtNewPass abc\ntype TxtAgainNewPass abc\nclick passqr\n");
  EXPECT_EQ(out.find("成功"), std::string::npos) << out;
  EXPECT_NE(out.find("message 警告: "), std::string::npos) << out;
  machine_->files().ReadFile(machine_->paths().ProgramFolder() + "\\tamrik.Log", log);
  EXPECT_EQ(machine_->codepage().FromAnsi(log).find("Korvanta密码"), std::string::npos);
}

TEST_F(TransactionTest, ABlockingTheRegistryRefusesLeavesTheHostsFilesAlone) {
  store::FileSystem& files = machine_->files();
  const std::string hosts = machine_->paths().WinDir() + "system32\\drivers\\etc\\hosts";
  const std::string backup = machine_->paths().ProgramFolder() + "\\hostsbak\\hosts.txt";
  const std::string original = "127.0.0.1 localhost\r\n";
  ASSERT_EQ(files.WriteFile(hosts, original), store::kSuccess);
  Drive(
      "start\nclick Label3(3)\nset Optionzdy on\nclick Textpb\ntype Textpb www.example.com\n"
      "set Checkpb on\n");
  ASSERT_TRUE(test::StartWineserver(prefix_)) << "no wineserver";
  std::string out = Drive("click Commandszwl\n");
  EXPECT_NE(out.find("system32\\drivers\\etc\\hosts"), std::string::npos) << out;
  std::string bytes;
  ASSERT_EQ(files.ReadFile(hosts, bytes), store::kSuccess);
  EXPECT_EQ(bytes, original) << "the hosts file changed without its flag";
  EXPECT_FALSE(files.Stat(backup));

  // Once Wine is gone, the blocking takes its backup from the original.
  test::StopWineserver(prefix_);
  Drive("click Commandszwl\n");
  ASSERT_EQ(files.ReadFile(backup, bytes), store::kSuccess);
  EXPECT_EQ(bytes, original);
  ASSERT_EQ(files.ReadFile(hosts, bytes), store::kSuccess);
  EXPECT_EQ(bytes, original + " \r\n127.0.0.1 www.example.com\r\n");
  store::Variant taken;
  machine_->reg().QueryValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "pb", taken);
  EXPECT_EQ(taken, 1);
}

}  // namespace
}  // namespace korvanta::app
