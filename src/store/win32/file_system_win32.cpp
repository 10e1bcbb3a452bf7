#include "store/win32/file_system_win32.h"

#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"

namespace korvanta::store {
namespace {

std::int64_t ToInt64(FILETIME t) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
}

Status LastError() {
  return static_cast<Status>(GetLastError());
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

Status WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr)) return LastError();
    bytes.remove_prefix(written);
  }
  return kSuccess;
}

}  // namespace

FileEntry ToEntry(const WIN32_FIND_DATAW& d) {
  FileEntry e;
  e.name = Narrow(d.cFileName);
  e.attributes = d.dwFileAttributes;
  e.size = (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  e.modified = ToInt64(d.ftLastWriteTime);
  return e;
}

std::optional<FileEntry> Win32FileSystem::Stat(std::string_view path) {
  std::wstring w = Widen(path);
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExW(w.c_str(), GetFileExInfoStandard, &a)) return std::nullopt;
  FileEntry e;
  e.attributes = a.dwFileAttributes;
  e.size = (static_cast<std::uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
  e.modified = ToInt64(a.ftLastWriteTime);
  WIN32_FIND_DATAW d;
  HANDLE find = FindFirstFileW(w.c_str(), &d);
  if (find != INVALID_HANDLE_VALUE) {
    e.name = Narrow(d.cFileName);
    FindClose(find);
  } else {
    std::size_t slash = path.find_last_of("\\/");
    e.name = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
  }
  return e;
}

Status Win32FileSystem::List(std::string_view pattern, std::vector<FileEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW d;
  HANDLE find = FindFirstFileW(Widen(pattern).c_str(), &d);
  if (find == INVALID_HANDLE_VALUE) {
    Status s = LastError();
    return s == ERROR_NO_MORE_FILES ? kSuccess : s;
  }
  do {
    if (wcscmp(d.cFileName, L".") == 0 || wcscmp(d.cFileName, L"..") == 0) continue;
    entries.push_back(ToEntry(d));
  } while (FindNextFileW(find, &d));
  FindClose(find);
  return kSuccess;
}

Status Win32FileSystem::ReadFile(std::string_view path, std::string& bytes) {
  Handle h(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.ok()) return LastError();
  bytes.clear();
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(h.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return kSuccess;
}

Status Win32FileSystem::WriteFile(std::string_view path, std::string_view bytes) {
  // Write a temporary file beside the target, then move it over the target, so a
  // failure never leaves a half-written file.
  std::wstring target = Widen(path);
  std::wstring temp = target + L".korvanta-tmp";
  {
    Handle h(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.ok()) return LastError();
    Status s = WriteAll(h.get(), bytes);
    if (s == kSuccess && !FlushFileBuffers(h.get())) s = LastError();
    if (s != kSuccess) {
      DeleteFileW(temp.c_str());
      return s;
    }
  }
  DWORD attributes = GetFileAttributesW(target.c_str());
  if (!MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Status s = LastError();
    DeleteFileW(temp.c_str());
    return s;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target.c_str(), attributes);
  return kSuccess;
}

Status Win32FileSystem::AppendFile(std::string_view path, std::string_view bytes) {
  Handle h(CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.ok()) return LastError();
  return WriteAll(h.get(), bytes);
}

Status Win32FileSystem::CopyFile(std::string_view from, std::string_view to, bool overwrite) {
  return Copy(from, to, overwrite, true);
}

Status Win32FileSystem::CopyFileUnflushed(std::string_view from, std::string_view to,
                                          bool overwrite) {
  return Copy(from, to, overwrite, false);
}

// A copy that replaces a file, or that must be on the disk when it returns, is
// made beside the target and moved over it whole, as WriteFile does: a death
// halfway leaves the old file, never half of the new one. Only a new copy that
// the caller flushes later is made in place.
Status Win32FileSystem::Copy(std::string_view from, std::string_view to, bool overwrite,
                             bool flush) {
  const std::wstring source = Widen(from), target = Widen(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  // What CopyFile refuses to write over (anything when no overwrite is asked, a
  // read-only or hidden file, a folder) it is left to refuse.
  constexpr DWORD kRefused =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY;
  if ((!exists && !flush) || (exists && (!overwrite || (attributes & kRefused)))) {
    if (!CopyFileW(source.c_str(), target.c_str(), overwrite ? FALSE : TRUE)) return LastError();
    return kSuccess;
  }
  const std::wstring temp = target + L".korvanta-tmp";
  SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);  // one left by a death before
  DeleteFileW(temp.c_str());
  Status s = kSuccess;
  if (!CopyFileW(source.c_str(), temp.c_str(), TRUE)) s = LastError();
  // A file replaced goes to the disk before its old self leaves it.
  if (s == kSuccess && (flush || exists)) s = FlushFiles({std::string(to) + ".korvanta-tmp"});
  if (s == kSuccess && !MoveFileExW(temp.c_str(), target.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    s = LastError();
  }
  if (s != kSuccess) {
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
  }
  return s;
}

Status Win32FileSystem::FlushFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::wstring w = Widen(path);
    // FlushFileBuffers needs write access, which a read-only copy refuses until
    // its attribute is taken off for the moment.
    DWORD attributes = GetFileAttributesW(w.c_str());
    bool read_only =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (read_only)
      SetFileAttributesW(w.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    Status s = kSuccess;
    {
      Handle h(CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!h.ok() || !FlushFileBuffers(h.get())) s = LastError();
    }
    if (read_only) SetFileAttributesW(w.c_str(), attributes);
    if (s != kSuccess) return s;
  }
  return kSuccess;
}

Status Win32FileSystem::DeleteFile(std::string_view path, bool force_read_only) {
  std::wstring w = Widen(path);
  if (force_read_only) {
    DWORD a = GetFileAttributesW(w.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY)) {
      SetFileAttributesW(w.c_str(), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
  }
  if (!DeleteFileW(w.c_str())) return LastError();
  return kSuccess;
}

Status Win32FileSystem::CreateDirectory(std::string_view path) {
  std::wstring w = Widen(path);
  while (!w.empty() && (w.back() == L'\\' || w.back() == L'/')) w.pop_back();
  if (w.empty()) return kPathNotFound;
  DWORD a = GetFileAttributesW(w.c_str());
  if (a != INVALID_FILE_ATTRIBUTES) {
    return (a & FILE_ATTRIBUTE_DIRECTORY) ? kSuccess : static_cast<Status>(ERROR_ALREADY_EXISTS);
  }
  std::size_t slash = w.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0 && w[slash - 1] != L':') {
    Status s = CreateDirectory(Narrow(w.substr(0, slash)));
    if (s != kSuccess) return s;
  }
  if (!CreateDirectoryW(w.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return LastError();
  }
  return kSuccess;
}

Status Win32FileSystem::RemoveDirectory(std::string_view path) {
  if (!RemoveDirectoryW(Widen(path).c_str())) return LastError();
  return kSuccess;
}

Status Win32FileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  if (!SetFileAttributesW(Widen(path).c_str(), attributes)) return LastError();
  return kSuccess;
}

std::uint32_t Win32FileSystem::DriveType(std::string_view root) {
  return GetDriveTypeW(Widen(root).c_str());
}

}  // namespace korvanta::store
