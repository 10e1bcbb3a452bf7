// Finding the wineserver of a prefix by its lock, in every place a server may
// keep it: a real wineserver, and a child process holding the same lock where
// upstream Wine and Debian's Wine put their server folders.

#include "store/portable/server_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <string>

#include "store/wineserver_start.h"
#include "support/test_support.h"

namespace korvanta::store {
namespace {

namespace fs = std::filesystem;

std::string ServerLeaf(const fs::path& prefix) {
  struct stat st {};
  EXPECT_EQ(::stat(prefix.c_str(), &st), 0);
  char leaf[64];
  std::snprintf(leaf, sizeof leaf, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  return leaf;
}

// A process holding the write lock on byte 0 of dir/lock, as a wineserver does.
class LockHolder {
 public:
  explicit LockHolder(const fs::path& dir) {
    fs::create_directories(dir);
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      const int fd = ::open((dir / "lock").c_str(), O_RDWR | O_CREAT, 0600);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      lock.l_len = 1;
      const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0) ? 1 : 0;
      [[maybe_unused]] auto w = ::write(ready[1], &ok, 1);
      char c;
      [[maybe_unused]] auto r = ::read(release[0], &c, 1);
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = 0;
    locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 1;
    ::close(ready[0]);
  }
  ~LockHolder() { Release(); }
  void Release() {
    if (pid_ <= 0) return;
    ::close(release_);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  long pid() const { return pid_; }
  bool locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

void ExpectFoundOnlyWhileLocked(const fs::path& prefix, const fs::path& server_dir) {
  EXPECT_FALSE(RunningWineserver(prefix));
  LockHolder holder(server_dir);
  ASSERT_TRUE(holder.locked());
  EXPECT_EQ(RunningWineserver(prefix), holder.pid());
  const auto message = WineserverWriteRefusal(prefix);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("（wineserver 进程 " + std::to_string(holder.pid()) + "）"),
            std::string::npos);
  holder.Release();
  // The lock file outlives the server; only the lock counts.
  EXPECT_TRUE(fs::exists(server_dir / "lock"));
  EXPECT_FALSE(RunningWineserver(prefix));
  EXPECT_FALSE(WineserverWriteRefusal(prefix));
}

TEST(ServerLock, FindsLocksInDebiansTemporaryFolder) {
  test::TempDir dir;
  const fs::path prefix = dir.path() / "prefix";
  fs::create_directory(prefix);
  std::ofstream(prefix / "wineserver") << "wine-Kv7tst";
  {
    test::ScopedEnv tmpdir("TMPDIR", (dir.path() / "tmp").string());
    ExpectFoundOnlyWhileLocked(prefix, dir.path() / "tmp" / "wine-Kv7tst" / ServerLeaf(prefix));
  }
  // A folder directly in /tmp, named as the server named it.
  const std::string name = "wine-korvanta-" + std::to_string(::getpid());
  std::ofstream(prefix / "wineserver", std::ios::trunc) << name << "\n";
  ExpectFoundOnlyWhileLocked(prefix, fs::path("/tmp") / name / ServerLeaf(prefix));
  fs::remove_all(fs::path("/tmp") / name);
}

TEST(ServerLock, FindsLocksWhereUpstreamWineKeepsThem) {
  test::TempDir dir;
  const fs::path prefix = dir.path() / "prefix";
  fs::create_directory(prefix);
  const fs::path base = "/tmp/.wine-" + std::to_string(::getuid());
  const bool had_base = fs::exists(base);
  ExpectFoundOnlyWhileLocked(prefix, base / ServerLeaf(prefix));
  fs::remove_all(base / ServerLeaf(prefix));
  if (!had_base) fs::remove(base);
}

TEST(ServerLock, FindsLocksInTheUsersRuntimeFolder) {
  const fs::path runtime = "/run/user/" + std::to_string(::getuid());
  // Making the folder would move every Wine on this machine there.
  if (!fs::is_directory(runtime)) GTEST_SKIP() << runtime << " does not exist here";
  test::TempDir dir;
  const fs::path prefix = dir.path() / "prefix";
  fs::create_directory(prefix);
  ExpectFoundOnlyWhileLocked(prefix, runtime / "wine" / ServerLeaf(prefix));
  fs::remove_all(runtime / "wine" / ServerLeaf(prefix));
}

TEST(ServerLock, FindsARealWineserver) {
  test::TempDir dir;
  const fs::path prefix = test::CopyFreshPrefix(dir.path());
  ASSERT_FALSE(prefix.empty());
  const fs::path link = dir.path() / "link-to-prefix";
  fs::create_directory_symlink(prefix, link);
  EXPECT_FALSE(RunningWineserver(prefix));

  std::optional<test::StartedWineserver> server = test::StartWineserver(prefix);
  ASSERT_TRUE(server) << "no wineserver works in any of the folders we check";
  EXPECT_EQ(RunningWineserver(prefix), server->pid);
  // The folder, not the path, identifies the prefix.
  EXPECT_EQ(RunningWineserver(link), server->pid);

  test::StopWineserver(prefix);
  EXPECT_FALSE(RunningWineserver(prefix));
  EXPECT_TRUE(fs::exists(server->folder / "lock"));
}

}  // namespace
}  // namespace korvanta::store
