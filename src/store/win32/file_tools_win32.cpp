#include "store/win32/file_tools_win32.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "store/folder_walk.h"
#include "store/paths.h"
#include "store/win32/file_system_win32.h"
#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"
// After windows.h, which it needs.
#include <winioctl.h>

namespace korvanta::store {
namespace {

// Lists a folder with FindFirstFileW and FindNextFileW, which hand out each
// file's details with its name: they are kept for the walk's caller.
class Win32Lister final : public FolderLister {
 public:
  ~Win32Lister() override { EndFind(); }

  std::optional<Folder> OpenRoot(const std::string& path) override {
    if (path.empty()) return std::nullopt;
    return Find(path);
  }
  std::optional<Folder> OpenChild(const Folder&, const std::string&,
                                  const std::string& path) override {
    return Find(path);
  }

  void List(const Folder&, FolderListing& listing) override {
    details_.clear();
    if (find_ == INVALID_HANDLE_VALUE) return;
    do {
      std::wstring_view n = found_.cFileName;
      if (n == L"." || n == L"..") continue;
      // Junctions and symbolic links are never followed, nor listed.
      if (found_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (found_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        listing.AddSubfolder(Narrow(n));
        continue;
      }
      details_.push_back(ToEntry(found_));
      listing.AddFile(details_.back().name);
    } while (FindNextFileW(find_, &found_));
    EndFind();
  }

  std::optional<FileEntry> Details(const Folder&, std::size_t file, std::string_view) override {
    if (file >= details_.size()) return std::nullopt;
    return details_[file];
  }

  void Close(const Folder&) override {}

 private:
  // A folder is open while its search runs: from the first entry to the last.
  std::optional<Folder> Find(const std::string& path) {
    EndFind();
    find_ = FindFirstFileW(Widen(JoinPath(path, "*")).c_str(), &found_);
    if (find_ == INVALID_HANDLE_VALUE) return std::nullopt;
    return Folder{};
  }
  void EndFind() {
    if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    find_ = INVALID_HANDLE_VALUE;
  }

  HANDLE find_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW found_{};
  std::vector<FileEntry> details_;  // of the files of the folder listed last
};

}  // namespace

std::unique_ptr<FolderWalk> Win32FileTools::Walk(std::string_view root) {
  return WalkFolders(std::make_unique<Win32Lister>(), root);
}

std::string Win32FileTools::TypeName(std::string_view name) {
  SHFILEINFOW info{};
  std::wstring w = Widen(name);
  if (!SHGetFileInfoW(w.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                      SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) {
    return {};
  }
  return Narrow(info.szTypeName);
}

std::string Win32FileTools::ShortDateTime(std::int64_t filetime) {
  FILETIME utc{static_cast<DWORD>(filetime), static_cast<DWORD>(filetime >> 32)};
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return {};
  wchar_t date[128] = {}, time[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, 128);
  return Narrow(date) + " " + Narrow(time);
}

namespace {

// Writes zeros over [from, to) of the file.
Status ZeroRange(HANDLE h, std::int64_t from, std::int64_t to) {
  static const std::vector<char> zeros(65536, '\0');
  LARGE_INTEGER at;
  at.QuadPart = from;
  if (!SetFilePointerEx(h, at, nullptr, FILE_BEGIN)) return static_cast<Status>(GetLastError());
  while (from < to) {
    DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(to - from, 65536));
    DWORD written = 0;
    if (!::WriteFile(h, zeros.data(), chunk, &written, nullptr) || written == 0)
      return static_cast<Status>(GetLastError());
    from += written;
  }
  return kSuccess;
}

// Zeroes the extents that hold data. A sparse file's holes stay holes: filling
// them would take disk space the file never had, so a sparse file whose
// extents cannot be asked for is not written at all.
Status ZeroData(HANDLE h, std::int64_t size, bool sparse) {
  if (!sparse) return ZeroRange(h, 0, size);
  FILE_ALLOCATED_RANGE_BUFFER query{};
  query.Length.QuadPart = size;
  std::vector<FILE_ALLOCATED_RANGE_BUFFER> ranges(64);
  for (;;) {
    DWORD bytes = 0;
    BOOL ok =
        DeviceIoControl(h, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, ranges.data(),
                        static_cast<DWORD>(ranges.size() * sizeof ranges[0]), &bytes, nullptr);
    DWORD error = ok ? 0 : GetLastError();
    if (!ok && error != ERROR_MORE_DATA) return kSuccess;
    std::size_t count = bytes / sizeof ranges[0];
    if (count == 0) return kSuccess;
    for (std::size_t i = 0; i < count; ++i) {
      std::int64_t from = ranges[i].FileOffset.QuadPart;
      Status s = ZeroRange(h, from, std::min(size, from + ranges[i].Length.QuadPart));
      if (s != kSuccess) return s;
    }
    if (ok) return kSuccess;
    const FILE_ALLOCATED_RANGE_BUFFER& last = ranges[count - 1];
    std::int64_t next = last.FileOffset.QuadPart + last.Length.QuadPart;
    query.Length.QuadPart = size - next;
    query.FileOffset.QuadPart = next;
  }
}

}  // namespace

Status Win32FileTools::Overwrite(std::string_view path) {
  std::wstring w = Widen(path);
  DWORD attributes = GetFileAttributesW(w.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return static_cast<Status>(GetLastError());
  // The contents of a link or a folder are not this name's to destroy.
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) return kSuccess;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(w.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  HANDLE h = CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_WRITE_THROUGH | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  Status result = kSuccess;
  if (h == INVALID_HANDLE_VALUE) {
    result = static_cast<Status>(GetLastError());
  } else {
    BY_HANDLE_FILE_INFORMATION info{};
    // A file other names share keeps its contents for them: only the name goes.
    if (GetFileInformationByHandle(h, &info) && info.nNumberOfLinks == 1) {
      LARGE_INTEGER size{};
      GetFileSizeEx(h, &size);
      result = ZeroData(h, size.QuadPart, (attributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0);
      if (result == kSuccess && !FlushFileBuffers(h)) result = static_cast<Status>(GetLastError());
    }
    CloseHandle(h);
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(w.c_str(), attributes);
  return result;
}

void Win32FileTools::EmptyRecycleBin() {
  SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION);
}

}  // namespace korvanta::store
