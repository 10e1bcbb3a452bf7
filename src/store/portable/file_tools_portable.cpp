#include "store/portable/file_tools_portable.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <vector>

#include "store/folder_walk.h"
#include "store/paths.h"
#include "store/portable/trash.h"

namespace korvanta::store {
namespace fs = std::filesystem;
namespace {

// Kernel file systems that hold no files of the machine: a drive mapped to the
// host's root reaches them, and walking them loops or never ends.
bool IsPseudoFileSystem(int fd) {
  struct statfs sf;
  if (fstatfs(fd, &sf) != 0) return true;
  switch (static_cast<unsigned long>(sf.f_type)) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x1cd1:      // devpts
    case 0x27e0eb:    // cgroup
    case 0x63677270:  // cgroup2
    case 0x64626720:  // debugfs
    case 0x74726163:  // tracefs
    case 0x73636673:  // securityfs
    case 0x6165676c:  // pstore
    case 0xcafe4a11:  // bpf
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
    case 0x19800202:  // mqueue
    case 0x958458f6:  // hugetlbfs
    case 0x0187:      // autofs
    case 0x42494e4d:  // binfmt_misc
    case 0x6e736673:  // nsfs
      return true;
    default:
      return false;
  }
}

// The host root's own pseudo folders, whatever is mounted on them.
constexpr std::array<std::string_view, 4> kHostPseudoFolders = {"proc", "sys", "dev", "run"};

// A directory entry as getdents64 hands it out.
struct LinuxDirent64 {
  std::uint64_t d_ino;
  std::int64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[1];
};

// Lists each folder with one getdents64 run into a buffer and opens subfolders
// relative to their parent: about the system calls `find` makes. Details are
// asked of the file system only for the files the walk's caller wants.
class PortableLister final : public FolderLister {
 public:
  explicit PortableLister(std::optional<fs::path> host) : host_(std::move(host)) {
    struct stat st;
    if (stat("/", &st) == 0) host_root_ = {st.st_dev, st.st_ino};
  }

  std::optional<Folder> OpenRoot(const std::string&) override {
    if (!host_) return std::nullopt;
    int fd = open(host_->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0) {
      close(fd);
      return std::nullopt;
    }
    return Folder{fd, st.st_dev, st.st_ino};
  }

  std::optional<Folder> OpenChild(const Folder& parent, const std::string& name,
                                  const std::string&) override {
    if (parent.device == host_root_.first && parent.inode == host_root_.second) {
      bool pseudo = false;
      for (std::string_view p : kHostPseudoFolders) pseudo = pseudo || name == p;
      if (pseudo) return std::nullopt;
    }
    int fd = openat(Fd(parent), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0 || (st.st_dev != parent.device && IsPseudoFileSystem(fd))) {
      close(fd);
      return std::nullopt;
    }
    return Folder{fd, st.st_dev, st.st_ino};
  }

  void List(const Folder& folder, FolderListing& listing) override {
    const int fd = Fd(folder);
    alignas(8) static thread_local char buffer[65536];
    for (;;) {
      long n = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + at);
        at += d->d_reclen;
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        unsigned char type = d->d_type;
        if (type == DT_UNKNOWN) {
          struct stat entry;
          if (fstatat(fd, name, &entry, AT_SYMLINK_NOFOLLOW) != 0) continue;
          type = S_ISREG(entry.st_mode) ? DT_REG : S_ISDIR(entry.st_mode) ? DT_DIR : DT_LNK;
        }
        // Links are never followed, to a file or a folder: a link is not the junk.
        if (type == DT_REG) {
          listing.AddFile(name);
        } else if (type == DT_DIR) {
          listing.AddSubfolder(name);
        }
      }
    }
  }

  std::optional<FileEntry> Details(const Folder& folder, std::size_t,
                                   std::string_view name) override {
    struct stat st;
    if (fstatat(Fd(folder), name.data(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    FileEntry e;
    e.name = std::string(name);
    e.attributes = kAttrArchive;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) e.attributes |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.') e.attributes |= kAttrHidden;
    e.size = static_cast<std::uint64_t>(st.st_size);
    e.modified = static_cast<std::int64_t>(kFiletimeUnixEpoch) +
                 static_cast<std::int64_t>(st.st_mtim.tv_sec) *
                     static_cast<std::int64_t>(kFiletimeTicksPerSecond) +
                 st.st_mtim.tv_nsec / 100;
    return e;
  }

  void Close(const Folder& folder) override { close(Fd(folder)); }

 private:
  static int Fd(const Folder& folder) { return static_cast<int>(folder.handle); }

  std::optional<fs::path> host_;
  std::pair<std::uint64_t, std::uint64_t> host_root_{static_cast<dev_t>(-1), 0};
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string Number(int value, int digits) {
  std::string text = std::to_string(value);
  while (static_cast<int>(text.size()) < digits) text.insert(text.begin(), '0');
  return text;
}

}  // namespace

std::string FormatDateTime(std::string_view picture, int year, int month, int day, int hour,
                           int minute, int second, int weekday) {
  static constexpr std::array<const char*, 7> kDays = {"星期日", "星期一", "星期二", "星期三",
                                                       "星期四", "星期五", "星期六"};
  std::string out;
  for (std::size_t i = 0; i < picture.size();) {
    char c = picture[i];
    if (c == '\'') {
      std::size_t end = picture.find('\'', i + 1);
      if (end == std::string_view::npos) end = picture.size();
      out.append(picture.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    int n = static_cast<int>(run);
    switch (c) {
      case 'y':
        out += n >= 3 ? Number(year, 4) : Number(year % 100, n == 2 ? 2 : 1);
        break;
      case 'M':
        out += n >= 3 ? std::to_string(month) + "月" : Number(month, n);
        break;
      case 'd':
        out += n >= 3 ? kDays[static_cast<std::size_t>(weekday % 7)] : Number(day, n);
        break;
      case 'H':
        out += Number(hour, std::min(n, 2));
        break;
      case 'h':
        out += Number(hour % 12 == 0 ? 12 : hour % 12, std::min(n, 2));
        break;
      case 'm':
        out += Number(minute, std::min(n, 2));
        break;
      case 's':
        out += Number(second, std::min(n, 2));
        break;
      case 't':
        out += hour < 12 ? "上午" : "下午";
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::unique_ptr<FolderWalk> PortableFileTools::Walk(std::string_view root) {
  std::string folder = FolderText(root);
  std::optional<fs::path> host;
  if (folder.size() >= 2 && folder[1] == ':') host = machine_.HostPath(folder);
  return WalkFolders(std::make_unique<PortableLister>(std::move(host)), folder);
}

std::optional<std::string> PortableFileTools::Text(RegRoot root, const std::string& key,
                                                   const std::string& name) {
  KeyHandle handle;
  if (registry_.OpenKey(root, codepage_.ToAnsi(key), kKeyRead, handle) != kSuccess)
    return std::nullopt;
  RegData data;
  Status s = registry_.QueryValue(handle, codepage_.ToAnsi(name), data);
  registry_.CloseKey(handle);
  if (s != kSuccess || (data.type != kRegSz && data.type != kRegExpandSz)) return std::nullopt;
  std::string text = codepage_.FromAnsi(data.bytes.c_str());
  if (text.empty()) return std::nullopt;
  return text;
}

std::string PortableFileTools::TypeName(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string extension = dot == std::string_view::npos ? "" : Upper(name.substr(dot + 1));
  if (auto known = type_names_.find(extension); known != type_names_.end()) return known->second;
  // As Explorer: the class the extension names, and that class's description;
  // else the extension in capitals and "文件".
  std::string type = extension.empty() ? "文件" : extension + " 文件";
  if (!extension.empty()) {
    if (auto cls = Text(RegRoot::kClassesRoot, "." + extension, "")) {
      if (auto description = Text(RegRoot::kClassesRoot, *cls, "")) type = *description;
    }
  }
  type_names_.emplace(extension, type);
  return type;
}

std::string PortableFileTools::ShortDateTime(std::int64_t filetime) {
  if (!date_format_) {
    const std::string key = "Control Panel\\International";
    date_format_ = Text(RegRoot::kCurrentUser, key, "sShortDate").value_or("yyyy-M-d");
    time_format_ = Text(RegRoot::kCurrentUser, key, "sTimeFormat").value_or("H:mm:ss");
  }
  std::time_t seconds =
      static_cast<std::time_t>((filetime - static_cast<std::int64_t>(kFiletimeUnixEpoch)) /
                               static_cast<std::int64_t>(kFiletimeTicksPerSecond));
  std::tm local{};
  localtime_r(&seconds, &local);
  auto format = [&](const std::string& picture) {
    return FormatDateTime(picture, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour, local.tm_min, local.tm_sec, local.tm_wday);
  };
  return format(*date_format_) + " " + format(*time_format_);
}

namespace {

// Writes zeros over [from, to) of the file.
Status ZeroRange(int fd, off_t from, off_t to) {
  static const std::array<char, 65536> kZeros{};
  while (from < to) {
    auto chunk = static_cast<std::size_t>(std::min<off_t>(to - from, kZeros.size()));
    ssize_t n = pwrite(fd, kZeros.data(), chunk, from);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return kWriteFault;
    from += n;
  }
  return kSuccess;
}

// Zeroes the extents that hold data, leaving the holes of a sparse file holes:
// filling them would take disk space the file never had.
Status ZeroData(int fd, off_t size) {
  off_t at = 0;
  while (at < size) {
    off_t data = lseek(fd, at, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) return kSuccess;  // only a hole is left
      // A file system that cannot tell holes apart: the whole rest is data.
      return errno == EINVAL ? ZeroRange(fd, at, size) : kWriteFault;
    }
    off_t hole = lseek(fd, data, SEEK_HOLE);
    if (hole < 0) hole = size;
    if (Status s = ZeroRange(fd, data, std::min(hole, size)); s != kSuccess) return s;
    at = hole;
  }
  return kSuccess;
}

}  // namespace

Status PortableFileTools::Overwrite(std::string_view path) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  struct stat st;
  if (lstat(host->c_str(), &st) != 0) return kFileNotFound;
  // The contents of a link, or of a file other names share, are not this
  // name's to destroy: only the name goes.
  if (!S_ISREG(st.st_mode) || st.st_nlink != 1) return kSuccess;
  bool read_only = !(st.st_mode & S_IWUSR);
  if (read_only) chmod(host->c_str(), (st.st_mode & 07777) | S_IWUSR);
  int fd = open(host->c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  Status result = kSuccess;
  struct stat opened;
  if (fd < 0) {
    result = kAccessDenied;
  } else if (fstat(fd, &opened) != 0 || opened.st_ino != st.st_ino || opened.st_nlink != 1) {
    close(fd);  // replaced or linked meanwhile: not the file we looked at
  } else {
    result = ZeroData(fd, st.st_size);
    if (result == kSuccess && fsync(fd) != 0) result = kWriteFault;
    close(fd);
  }
  if (read_only) chmod(host->c_str(), st.st_mode & 07777);
  return result;
}

void PortableFileTools::EmptyRecycleBin() {
  EmptyHomeTrash();
}

}  // namespace korvanta::store
