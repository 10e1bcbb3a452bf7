#include "store/portable/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <system_error>

namespace korvanta::store {
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

constexpr dev_t kNoDevice = static_cast<dev_t>(-1);

dev_t DeviceOf(const fs::path& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? st.st_dev : kNoDevice;
}

// The device of path, or of its nearest folder that exists.
dev_t DeviceBelow(fs::path p) {
  dev_t dev = DeviceOf(p);
  while (dev == kNoDevice && p.has_relative_path()) dev = DeviceOf(p = p.parent_path());
  return dev;
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

// A folder of the user's own to trash into: made with mode 0700 when missing.
// False when it cannot be made, or when what is there is a link, no folder or
// another user's: whoever prepared it could read what we trash.
bool OwnFolder(const fs::path& dir) {
  if (mkdir(dir.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat st;
  return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

// The home trash: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
fs::path HomeTrash() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    return fs::path(data) / "Trash";
  const char* home = std::getenv("HOME");
  return fs::path(home ? home : "/") / ".local/share/Trash";
}

bool MakeHomeTrash(const fs::path& trash) {
  std::error_code ec;
  fs::create_directories(trash.parent_path(), ec);
  // The user may have linked it to a folder elsewhere: any folder will do.
  return mkdir(trash.c_str(), 0700) == 0 || fs::is_directory(trash, ec);
}

// The trash on the mount whose top folder is top. An administrator's .Trash holds
// a folder per user; only a sticky .Trash that is no link keeps users from
// removing or replacing each other's. Else the user's own .Trash-<uid>.
std::optional<fs::path> MountTrash(const fs::path& top) {
  const std::string uid = std::to_string(getuid());
  const fs::path shared = top / ".Trash";
  struct stat st;
  if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
      OwnFolder(shared / uid)) {
    return shared / uid;
  }
  if (fs::path own = top / (".Trash-" + uid); OwnFolder(own)) return own;
  return std::nullopt;
}

Status FromErrno(int error) {
  return error == ENOENT ? kFileNotFound : kAccessDenied;
}

// How an item reaches a trash: renamed on its own file system, or copied from
// another one and then removed.
enum class Transfer { kRename, kCopy };

Status Send(const fs::path& item, const fs::path& target, Transfer how) {
  if (how == Transfer::kRename) {
    return rename(item.c_str(), target.c_str()) == 0 ? kSuccess : FromErrno(errno);
  }
  std::error_code ec, ignored;
  fs::copy(item, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  if (ec) {
    fs::remove_all(target, ignored);
    return FromErrno(ec.value());
  }
  // When this fails part of the original may be gone already, so the whole copy
  // stays in the trash, its record with it.
  fs::remove_all(item, ec);
  return ec ? FromErrno(ec.value()) : kSuccess;
}

// Puts item into trash (files/ and info/ below it), recording it as coming from
// recorded: the full path in the home trash, the path from the top in a mount's.
Status PutInTrash(const fs::path& trash, const fs::path& item, const std::string& recorded,
                  Transfer how) {
  if (!OwnFolder(trash / "files") || !OwnFolder(trash / "info")) return kAccessDenied;
  const std::string info =
      "[Trash Info]\nPath=" + PercentEncode(recorded) + "\nDeletionDate=" + Now() + "\n";
  const std::string stem = fs::path(recorded).filename().string();
  std::error_code ec;
  for (int n = 1; n < 10000; ++n) {
    std::string name = n == 1 ? stem : stem + "." + std::to_string(n);
    fs::path info_path = trash / "info" / (name + ".trashinfo");
    // O_EXCL claims the name: a program trashing at the same time takes another.
    int fd = open(info_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return kAccessDenied;
    }
    bool written = write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    written = close(fd) == 0 && written;
    if (!written) {
      fs::remove(info_path, ec);
      return kWriteFault;
    }
    fs::path target = trash / "files" / name;
    if (fs::exists(fs::symlink_status(target, ec))) {
      fs::remove(info_path, ec);
      continue;
    }
    Status sent = Send(item, target, how);
    // A record stays only for what the trash holds.
    if (sent != kSuccess && !fs::exists(fs::symlink_status(target, ec))) fs::remove(info_path, ec);
    return sent;
  }
  return kAccessDenied;
}

// The item's full path through its folder's real path; the item itself may be a
// link, which goes to the trash as a link. Nothing when there is no such item.
std::optional<fs::path> Locate(const fs::path& item_path) {
  std::error_code ec;
  fs::path item = fs::absolute(item_path, ec);
  if (ec || !fs::exists(fs::symlink_status(item, ec))) return std::nullopt;
  fs::path folder = fs::canonical(item.parent_path(), ec);
  if (ec) return std::nullopt;
  return folder / item.filename();
}

}  // namespace

Status MoveToTrash(const fs::path& item_path) {
  std::optional<fs::path> item = Locate(item_path);
  if (!item) return kFileNotFound;
  fs::path home = HomeTrash();
  if (DeviceBelow(home) != DeviceOf(item->parent_path()))
    return MoveToMountTrash(*item, MountTop(item->parent_path()));
  if (!MakeHomeTrash(home)) return kAccessDenied;
  return PutInTrash(home, *item, item->string(), Transfer::kRename);
}

Status MoveToMountTrash(const fs::path& item_path, const fs::path& top_path) {
  std::optional<fs::path> item = Locate(item_path);
  if (!item) return kFileNotFound;
  std::error_code ec;
  fs::path top = fs::canonical(top_path, ec);
  if (ec) return kPathNotFound;
  if (std::optional<fs::path> trash = MountTrash(top))
    return PutInTrash(*trash, *item, item->lexically_relative(top).string(), Transfer::kRename);
  // No trash of the user's own on that mount: the rules let the home trash take it.
  fs::path home = HomeTrash();
  if (!MakeHomeTrash(home)) return kAccessDenied;
  return PutInTrash(home, *item, item->string(), Transfer::kCopy);
}

void EmptyHomeTrash() {
  const fs::path trash = HomeTrash();
  for (const char* part : {"files", "info"}) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(trash / part, ec)) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
  }
}

}  // namespace korvanta::store
