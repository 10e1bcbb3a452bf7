#include "store/portable/server_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace korvanta::store {
namespace fs = std::filesystem;
namespace {

// The name Debian's wineserver stored for its mkdtemp folder ("wine-XXXXXX").
std::optional<std::string> StoredServerFolder(const fs::path& prefix) {
  std::ifstream in(prefix / "wineserver", std::ios::binary);
  if (!in) return std::nullopt;
  std::string name;
  std::getline(in, name, '\0');
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r' || name.back() == ' ')) {
    name.pop_back();
  }
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
    return std::nullopt;
  }
  return name;
}

std::optional<long> LockHolder(const fs::path& dir) {
  const int fd = ::open((dir / "lock").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 1;
  const int rc = ::fcntl(fd, F_GETLK, &lock);
  ::close(fd);
  if (rc != 0 || lock.l_type == F_UNLCK) return std::nullopt;
  return static_cast<long>(lock.l_pid);
}

}  // namespace

std::vector<fs::path> WineserverDirectories(const fs::path& prefix) {
  struct stat st {};
  if (::stat(prefix.c_str(), &st) != 0) return {};
  char leaf[64];
  std::snprintf(leaf, sizeof leaf, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  const std::string uid = std::to_string(::getuid());

  std::vector<fs::path> dirs;
  dirs.push_back(fs::path("/tmp/.wine-" + uid) / leaf);
  dirs.push_back(fs::path("/run/user/" + uid) / "wine" / leaf);
  if (auto name = StoredServerFolder(prefix)) {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir && *tmpdir && fs::path(tmpdir) != "/tmp") {
      dirs.push_back(fs::path(tmpdir) / *name / leaf);
    }
    // The server may have been started with another TMPDIR than ours.
    dirs.push_back(fs::path("/tmp") / *name / leaf);
  }
  return dirs;
}

std::optional<long> RunningWineserver(const fs::path& prefix) {
  for (const fs::path& dir : WineserverDirectories(prefix)) {
    if (auto pid = LockHolder(dir)) return pid;
  }
  return std::nullopt;
}

std::optional<std::string> WineserverWriteRefusal(const fs::path& prefix) {
  const auto pid = RunningWineserver(prefix);
  if (!pid) return std::nullopt;
  return "无法写入注册表：Wine 正在使用此计算机（wineserver 进程 " + std::to_string(*pid) +
         "）。请先关闭在该前缀中运行的程序，或执行 wineserver -k。";
}

}  // namespace korvanta::store
