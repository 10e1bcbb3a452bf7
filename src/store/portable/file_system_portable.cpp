#include "store/portable/file_system_portable.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "store/portable/atomic_file.h"
#include "store/utf.h"

namespace korvanta::store {
namespace fs = std::filesystem;
namespace {

// Where Wine keeps the DOS attributes a Unix file has no bits for.
constexpr const char* kDosAttribXattr = "user.DOSATTRIB";
constexpr std::uint32_t kXattrMask = kAttrHidden | kAttrSystem | kAttrArchive;

Status FromErrno(int e) {
  switch (e) {
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kAccessDenied;
    case EEXIST:
      return kFileExists;
    case EBUSY:
      return kSharingViolation;
    default:
      return kWriteFault;
  }
}

std::uint32_t ReadDosXattr(const fs::path& p) {
  char value[32] = {};
  ssize_t n = getxattr(p.c_str(), kDosAttribXattr, value, sizeof value - 1);
  if (n <= 0) return 0;
  value[n] = '\0';
  return static_cast<std::uint32_t>(std::strtoul(value, nullptr, 0)) & kXattrMask;
}

FileEntry EntryFromStat(const std::string& name, const fs::path& p, const struct stat& st) {
  FileEntry e;
  e.name = name;
  bool dir = S_ISDIR(st.st_mode);
  std::uint32_t a = dir ? kAttrDirectory : kAttrArchive;
  if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) a |= kAttrReadOnly;
  if (!name.empty() && name[0] == '.') a |= kAttrHidden;
  a |= ReadDosXattr(p);
  e.attributes = a;
  e.size = dir ? 0 : static_cast<std::uint64_t>(st.st_size);
  e.modified = static_cast<std::int64_t>(kFiletimeUnixEpoch) +
               static_cast<std::int64_t>(st.st_mtim.tv_sec) *
                   static_cast<std::int64_t>(kFiletimeTicksPerSecond) +
               st.st_mtim.tv_nsec / 100;
  return e;
}

bool MatchFrom(std::u16string_view name, std::u16string_view pattern) {
  // Iterative wildcard match with backtracking to the last '*'.
  std::size_t n = 0, p = 0, star = std::u16string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++n, ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// FindFirstFile's name matching: "*" any run, "?" one character, case ignored;
// "*.*" matches every name.
bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return MatchFrom(Utf8ToUtf16(name), Utf8ToUtf16(pattern));
}

}  // namespace

Status ReadHostFile(const fs::path& host, std::string& bytes) {
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FromErrno(errno);
  bytes.clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int e = errno;
      close(fd);
      return FromErrno(e);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return kSuccess;
}

namespace {

// stat(2) of a path whose resolution may have seen it already: what is absent
// is not looked for again, nor is what is there and not a link.
bool StatLeaf(const fs::path& host, const MachineFolder::Leaf& leaf, struct stat& st) {
  if (leaf.state == MachineFolder::Leaf::kAbsent) {
    errno = ENOENT;
    return false;
  }
  if (leaf.state == MachineFolder::Leaf::kPresent && !S_ISLNK(leaf.st.st_mode)) {
    st = leaf.st;
    return true;
  }
  return stat(host.c_str(), &st) == 0;
}

}  // namespace

std::optional<FileEntry> PortableFileSystem::Stat(std::string_view path) {
  MachineFolder::Leaf leaf;
  std::optional<fs::path> host = machine_.HostPath(path, leaf);
  if (!host) return std::nullopt;
  struct stat st;
  if (!StatLeaf(*host, leaf, st)) return std::nullopt;
  return EntryFromStat(host->filename().string(), *host, st);
}

Status PortableFileSystem::List(std::string_view pattern, std::vector<FileEntry>& entries) {
  entries.clear();
  std::size_t slash = pattern.find_last_of("\\/");
  if (slash == std::string_view::npos) return kPathNotFound;
  std::string folder(pattern.substr(0, slash + 1));
  std::string_view wildcard = pattern.substr(slash + 1);
  std::optional<fs::path> host = machine_.HostPath(folder);
  if (!host) return kPathNotFound;
  DIR* dir = opendir(host->c_str());
  if (!dir) return errno == ENOENT ? kPathNotFound : FromErrno(errno);
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    if (!MatchesWildcard(name, wildcard)) continue;
    fs::path p = *host / name;
    struct stat st;
    if (stat(p.c_str(), &st) != 0) continue;  // a dangling link is not listed
    entries.push_back(EntryFromStat(name, p, st));
  }
  closedir(dir);
  // As FindFirstFile: a pattern that matches "." or ".." finds something even in
  // an empty folder.
  if (entries.empty() && !MatchesWildcard(".", wildcard) && !MatchesWildcard("..", wildcard)) {
    return kFileNotFound;
  }
  return kSuccess;
}

Status PortableFileSystem::ReadFile(std::string_view path, std::string& bytes) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  return ReadHostFile(*host, bytes);
}

Status PortableFileSystem::WriteFile(std::string_view path, std::string_view bytes) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  std::error_code ec;
  if (!fs::is_directory(host->parent_path(), ec)) return kPathNotFound;
  Status s = ReplaceFileAtomically(*host, bytes);
  if (s == kSuccess) machine_.Added(*host);
  return s;
}

Status PortableFileSystem::AppendFile(std::string_view path, std::string_view bytes) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  int fd = open(host->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return FromErrno(errno);
  // The permission bits do not stop a privileged process; Windows stops everyone.
  struct stat st;
  if (fstat(fd, &st) != 0 || !(st.st_mode & S_IWUSR)) {
    close(fd);
    return kAccessDenied;
  }
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int e = errno;
      close(fd);
      return FromErrno(e);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  close(fd);
  machine_.Added(*host);
  return kSuccess;
}

Status PortableFileSystem::CopyFile(std::string_view from, std::string_view to, bool overwrite) {
  return Copy(from, to, overwrite, true);
}

Status PortableFileSystem::CopyFileUnflushed(std::string_view from, std::string_view to,
                                             bool overwrite) {
  return Copy(from, to, overwrite, false);
}

Status PortableFileSystem::FlushFiles(const std::vector<std::string>& paths) {
  // A few files are flushed each on its own; a batch of copies with one syncfs
  // per file system they are on, in one go instead of one fsync each.
  if (paths.size() <= 4) {
    for (const std::string& path : paths) {
      std::optional<fs::path> host = machine_.HostPath(path);
      if (!host) return kPathNotFound;
      int fd = open(host->c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) return FromErrno(errno);
      int err = fsync(fd) == 0 ? 0 : errno;
      close(fd);
      if (err) return FromErrno(err);
    }
    return kSuccess;
  }
  std::vector<dev_t> synced;
  for (const std::string& path : paths) {
    std::optional<fs::path> host = machine_.HostPath(path);
    if (!host) return kPathNotFound;
    struct stat st;
    if (stat(host->c_str(), &st) != 0) return FromErrno(errno);
    if (std::find(synced.begin(), synced.end(), st.st_dev) != synced.end()) continue;
    int fd = open(host->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FromErrno(errno);
    int err = syncfs(fd) == 0 ? 0 : errno;
    close(fd);
    if (err) return FromErrno(err);
    synced.push_back(st.st_dev);
  }
  return kSuccess;
}

Status PortableFileSystem::Copy(std::string_view from, std::string_view to, bool overwrite,
                                bool flush) {
  MachineFolder::Leaf src_leaf, dst_leaf;
  std::optional<fs::path> src = machine_.HostPath(from, src_leaf),
                          dst = machine_.HostPath(to, dst_leaf);
  if (!src || !dst) return kPathNotFound;
  struct stat st;
  if (!StatLeaf(*src, src_leaf, st)) return FromErrno(errno);
  if (S_ISDIR(st.st_mode)) return kAccessDenied;
  struct stat dst_st;
  const bool replacing = StatLeaf(*dst, dst_leaf, dst_st);
  if (replacing) {
    if (!overwrite) return kFileExists;
    // As on Windows, a read-only target is not replaced.
    if (!(dst_st.st_mode & S_IWUSR)) return kAccessDenied;
  }
  std::string bytes;
  Status s = ReadHostFile(*src, bytes);
  if (s != kSuccess) return s;
  // A file replaced goes to the disk before its old self leaves it.
  s = ReplaceFileAtomically(*dst, bytes, nullptr, flush || replacing);
  if (s != kSuccess) return s;
  machine_.Added(*dst);
  // The copy keeps the source's attributes and time of last write.
  chmod(dst->c_str(), st.st_mode & 07777);
  char value[32];
  ssize_t n = getxattr(src->c_str(), kDosAttribXattr, value, sizeof value);
  if (n > 0) setxattr(dst->c_str(), kDosAttribXattr, value, static_cast<std::size_t>(n), 0);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  utimensat(AT_FDCWD, dst->c_str(), times, 0);
  return kSuccess;
}

Status PortableFileSystem::DeleteFile(std::string_view path, bool force_read_only) {
  MachineFolder::Leaf leaf;
  std::optional<fs::path> host = machine_.HostPath(path, leaf);
  if (!host) return kPathNotFound;
  struct stat st;
  if (leaf.state == MachineFolder::Leaf::kAbsent) return kFileNotFound;
  if (leaf.state == MachineFolder::Leaf::kPresent) {
    st = leaf.st;
  } else if (lstat(host->c_str(), &st) != 0) {
    return FromErrno(errno);
  }
  if (S_ISDIR(st.st_mode)) return kAccessDenied;
  bool read_only = !S_ISLNK(st.st_mode) && !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
  if (read_only && !force_read_only) return kAccessDenied;
  if (unlink(host->c_str()) != 0) return FromErrno(errno);
  machine_.Removed(*host);
  return kSuccess;
}

Status PortableFileSystem::CreateDirectory(std::string_view path) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  std::error_code ec;
  if (fs::is_directory(*host, ec)) return kSuccess;
  fs::create_directories(*host, ec);
  return ec ? FromErrno(ec.value()) : kSuccess;
}

Status PortableFileSystem::RemoveDirectory(std::string_view path) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  if (rmdir(host->c_str()) != 0) return FromErrno(errno);
  machine_.Removed(*host);
  return kSuccess;
}

Status PortableFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  std::optional<fs::path> host = machine_.HostPath(path);
  if (!host) return kPathNotFound;
  struct stat st;
  if (stat(host->c_str(), &st) != 0) return FromErrno(errno);
  mode_t mode = st.st_mode & 07777;
  if (attributes & kAttrReadOnly) {
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  } else if (!(mode & (S_IWUSR | S_IWGRP | S_IWOTH))) {
    mode |= S_IWUSR;  // Wine gives write access back to the owner only
  }
  if (chmod(host->c_str(), mode) != 0) return FromErrno(errno);
  std::uint32_t extra = attributes & kXattrMask;
  if (extra) {
    char value[16];
    int n = std::snprintf(value, sizeof value, "0x%x", extra);
    setxattr(host->c_str(), kDosAttribXattr, value, static_cast<std::size_t>(n), 0);
  } else {
    removexattr(host->c_str(), kDosAttribXattr);
  }
  return kSuccess;
}

std::uint32_t PortableFileSystem::DriveType(std::string_view root) {
  if (root.size() < 2 || root[1] != ':') return kDriveNoRootDir;
  char letter = root[0];
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  std::optional<fs::path> drive = machine_.DriveFolder(letter);
  std::error_code ec;
  if (!drive || !fs::is_directory(*drive, ec)) return kDriveNoRootDir;

  // As Wine decides: by the file system first, then by the drive's configured type.
  struct statfs sf;
  if (statfs(drive->c_str(), &sf) == 0) {
    switch (static_cast<unsigned long>(sf.f_type)) {
      case 0x9660:      // iso9660
      case 0x15013346:  // udf
        return kDriveCdrom;
      case 0x6969:      // nfs
      case 0xff534d42:  // cifs
      case 0xfe534d42:  // smb2
      case 0x517b:      // smb
      case 0x564c:      // ncpfs
        return kDriveRemote;
      case 0x9fa0:  // proc
        return kDriveRamdisk;
      default:
        break;
    }
  }
  KeyHandle key;
  if (registry_.OpenKey(RegRoot::kLocalMachine, "Software\\Wine\\Drives", kKeyRead, key) ==
      kSuccess) {
    RegData data;
    std::string name = std::string(1, letter) + ":";
    Status s = registry_.QueryValue(key, name, data);
    registry_.CloseKey(key);
    if (s == kSuccess && (data.type == kRegSz || data.type == kRegExpandSz)) {
      std::string type(data.bytes.c_str());
      for (char& c : type) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (type == "hd") return kDriveFixed;
      if (type == "floppy") return kDriveRemovable;
      if (type == "cdrom") return kDriveCdrom;
      if (type == "network") return kDriveRemote;
      if (type == "ramdisk") return kDriveRamdisk;
    }
  }
  return (letter == 'a' || letter == 'b') ? kDriveRemovable : kDriveFixed;
}

}  // namespace korvanta::store
