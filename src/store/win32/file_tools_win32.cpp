#include "store/win32/file_tools_win32.h"

#include <map>
#include <vector>

#include "store/paths.h"
#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"

namespace korvanta {
namespace {

class Win32Walk final : public FolderWalk {
 public:
  explicit Win32Walk(std::string_view root) {
    std::string folder = FolderText(root);
    opened_ = !folder.empty() && Enter(folder);
  }

  bool Next(std::string_view& folder, std::string_view& name) override {
    for (;;) {
      if (next_file_ < files_.size()) {
        current_ = next_file_++;
        folder = files_folder_;
        name = files_[current_].name;
        return true;
      }
      if (!Descend()) return false;
    }
  }
  std::optional<FileEntry> Details() override {
    if (current_ >= files_.size()) return std::nullopt;
    return files_[current_];
  }
  bool opened() const override { return opened_; }

 private:
  struct Frame {
    std::string folder;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
  };

  bool Enter(const std::string& folder) {
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW(Widen(JoinPath(folder, "*")).c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return false;
    Frame frame{folder, {}, 0};
    files_.clear();
    next_file_ = 0;
    current_ = static_cast<std::size_t>(-1);
    files_folder_ = folder;
    do {
      std::wstring_view n = d.cFileName;
      if (n == L"." || n == L"..") continue;
      // Junctions and symbolic links are never followed, nor listed.
      if (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        frame.subfolders.push_back(Narrow(n));
        continue;
      }
      FileEntry e;
      e.name = Narrow(n);
      e.attributes = d.dwFileAttributes;
      e.size = (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
      e.modified = static_cast<std::int64_t>(
          (static_cast<std::uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) |
          d.ftLastWriteTime.dwLowDateTime);
      files_.push_back(std::move(e));
    } while (FindNextFileW(h, &d));
    FindClose(h);
    stack_.push_back(std::move(frame));
    return true;
  }

  bool Descend() {
    files_.clear();
    next_file_ = 0;
    while (!stack_.empty()) {
      Frame& top = stack_.back();
      if (top.next >= top.subfolders.size()) {
        stack_.pop_back();
        continue;
      }
      std::string path = JoinPath(top.folder, top.subfolders[top.next++]);
      if (Enter(path)) return true;
    }
    return false;
  }

  std::vector<Frame> stack_;
  std::vector<FileEntry> files_;
  std::string files_folder_;
  std::size_t next_file_ = 0;
  std::size_t current_ = static_cast<std::size_t>(-1);
  bool opened_ = false;
};

}  // namespace

std::unique_ptr<FolderWalk> Win32FileTools::Walk(std::string_view root) {
  return std::make_unique<Win32Walk>(root);
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

Status Win32FileTools::Overwrite(std::string_view path) {
  std::wstring w = Widen(path);
  DWORD attributes = GetFileAttributesW(w.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return static_cast<Status>(GetLastError());
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(w.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  HANDLE h = CreateFileW(w.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_WRITE_THROUGH, nullptr);
  Status result = kSuccess;
  if (h == INVALID_HANDLE_VALUE) {
    result = static_cast<Status>(GetLastError());
  } else {
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    static const std::vector<char> zeros(65536, '\0');
    auto left = static_cast<std::uint64_t>(size.QuadPart);
    while (left > 0) {
      DWORD chunk = left < zeros.size() ? static_cast<DWORD>(left) : 65536u;
      DWORD written = 0;
      if (!::WriteFile(h, zeros.data(), chunk, &written, nullptr) || written == 0) {
        result = static_cast<Status>(GetLastError());
        break;
      }
      left -= written;
    }
    if (result == kSuccess && !FlushFileBuffers(h)) result = static_cast<Status>(GetLastError());
    CloseHandle(h);
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(w.c_str(), attributes);
  return result;
}

void Win32FileTools::EmptyRecycleBin() {
  SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION);
}

}  // namespace korvanta
