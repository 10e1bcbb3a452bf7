#include "store/portable/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvanta::store {
namespace fs = std::filesystem;
namespace {

std::atomic<unsigned> temp_counter{0};

// The file a chain of symbolic links ends at (which need not exist yet).
fs::path FinalTarget(const fs::path& path) {
  fs::path target = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) break;
    fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

#ifdef _WIN32

namespace {

Status StatusOf(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return kAccessDenied;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      return kPathNotFound;
    default:
      return kWriteFault;
  }
}

}  // namespace

Status ReplaceFileAtomically(const fs::path& path, std::string_view bytes, std::string* error,
                             bool flush) {
  const fs::path target = FinalTarget(path);
  HANDLE file = INVALID_HANDLE_VALUE;
  fs::path temp;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = target;
    temp += L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(temp_counter++) +
            L".tmp";
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    SetError(error, "cannot create a file next to " + target.string() + " (Windows error " +
                        std::to_string(code) + ")");
    return StatusOf(code);
  }
  DWORD code = 0;
  std::size_t done = 0;
  while (done < bytes.size() && code == 0) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) code = GetLastError();
    done += written;
  }
  if (code == 0 && flush && !FlushFileBuffers(file)) code = GetLastError();
  if (!CloseHandle(file) && code == 0) code = GetLastError();
  if (code == 0 && !MoveFileExW(temp.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    code = GetLastError();
  }
  if (code != 0) {
    DeleteFileW(temp.c_str());
    SetError(error,
             "cannot write " + target.string() + " (Windows error " + std::to_string(code) + ")");
    return StatusOf(code);
  }
  return kSuccess;
}

#else

namespace {

Status StatusOf(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
      return kAccessDenied;
    case ENOENT:
    case ENOTDIR:
      return kPathNotFound;
    default:
      return kWriteFault;
  }
}

Status Fail(int err, const fs::path& target, std::string* error) {
  SetError(error, target.string() + ": " + std::strerror(err));
  return StatusOf(err);
}

}  // namespace

Status ReplaceFileAtomically(const fs::path& path, std::string_view bytes, std::string* error,
                             bool flush) {
  const fs::path target = FinalTarget(path);
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  // Windows refuses to replace a read-only file; a rename would not ask.
  if (replacing && !(old.st_mode & S_IWUSR)) return Fail(EACCES, target, error);

  int fd = -1;
  fs::path temp;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target.parent_path() /
           ("." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
            std::to_string(temp_counter++) + ".tmp");
    // A new file gets 0666 less the umask, as any program's new file would.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Fail(errno, target, error);

  int err = 0;
  std::size_t done = 0;
  while (done < bytes.size() && err == 0) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) err = errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (err == 0 && replacing) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) err = errno;
    // Best effort: only a privileged process may give the file to its old owner.
    if (err == 0 && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
      [[maybe_unused]] int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
  }
  if (err == 0 && flush && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    return Fail(err, target, error);
  }
  // The folder is not synced: after a crash the rename may be undone, which
  // leaves the whole old file, never a part of either.
  return kSuccess;
}

#endif

}  // namespace korvanta::store
