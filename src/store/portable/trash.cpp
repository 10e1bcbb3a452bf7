#include "store/portable/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <system_error>

namespace korvanta {
namespace fs = std::filesystem;
namespace {

std::string PercentEncode(const std::string& path) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string Now() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &tm);
  return buffer;
}

dev_t DeviceOf(const fs::path& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? st.st_dev : static_cast<dev_t>(-1);
}

// The top folder of the mount that holds path.
fs::path MountTop(const fs::path& path) {
  dev_t dev = DeviceOf(path);
  fs::path top = path;
  while (top.has_parent_path() && top != top.root_path()) {
    fs::path parent = top.parent_path();
    if (DeviceOf(parent) != dev) break;
    top = parent;
  }
  return top;
}

// Puts item into trash (files/ and info/ below it), recording it as coming from
// recorded (the original path, relative to the mount for a mount's own trash).
Status MoveInto(const fs::path& trash, const fs::path& item, const std::string& recorded) {
  std::error_code ec;
  fs::create_directories(trash / "files", ec);
  fs::create_directories(trash / "info", ec);
  if (!fs::is_directory(trash / "files") || !fs::is_directory(trash / "info")) return kAccessDenied;

  std::string info =
      "[Trash Info]\nPath=" + PercentEncode(recorded) + "\nDeletionDate=" + Now() + "\n";
  std::string stem = fs::path(recorded).filename().string();
  for (int n = 1; n < 10000; ++n) {
    std::string name = n == 1 ? stem : stem + "." + std::to_string(n);
    fs::path info_path = trash / "info" / (name + ".trashinfo");
    int fd = open(info_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return kAccessDenied;
    }
    bool written = write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    close(fd);
    fs::path target = trash / "files" / name;
    if (!written || fs::exists(fs::symlink_status(target))) {
      fs::remove(info_path, ec);
      if (!written) return kWriteFault;
      continue;
    }
    if (rename(item.c_str(), target.c_str()) != 0) {
      int e = errno;
      fs::remove(info_path, ec);
      return e == EXDEV ? kSharingViolation : kAccessDenied;
    }
    return kSuccess;
  }
  return kAccessDenied;
}

// The home trash: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
fs::path HomeTrash() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return fs::path(data) / "Trash";
  const char* home = std::getenv("HOME");
  return fs::path(home ? home : "/") / ".local/share/Trash";
}

}  // namespace

Status MoveToTrash(const fs::path& item_path) {
  std::error_code ec;
  fs::path item = fs::absolute(item_path, ec);
  if (ec || !fs::exists(fs::symlink_status(item))) return kFileNotFound;
  item = fs::canonical(item.parent_path(), ec) / item.filename();

  fs::path home = HomeTrash();
  fs::create_directories(home, ec);
  if (DeviceOf(home) == DeviceOf(item.parent_path())) return MoveInto(home, item, item.string());

  // Another file system: its own trash at the top of its mount.
  fs::path top = MountTop(item.parent_path());
  fs::path trash = top / (".Trash-" + std::to_string(getuid()));
  Status s = MoveInto(trash, item, item.lexically_relative(top).string());
  if (s == kSuccess) return s;
  // No trash there: copy into the home trash and remove the original.
  fs::path staged = home / "files";
  fs::create_directories(staged, ec);
  fs::path copy = staged / (".korvanta-" + item.filename().string());
  fs::copy(item, copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  if (ec) return kAccessDenied;
  Status moved = MoveInto(home, copy, item.string());
  if (moved != kSuccess) {
    fs::remove_all(copy, ec);
    return moved;
  }
  fs::remove_all(item, ec);
  return kSuccess;
}

}  // namespace korvanta
