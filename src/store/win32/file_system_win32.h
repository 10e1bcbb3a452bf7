#pragma once
// Files and folders of the live machine through the Win32 wide-character calls.

#include "store/file_system.h"
#include "store/win32/windows_api.h"

namespace korvanta::store {

// A found file as a listing gives it: name, attributes, size and last write.
FileEntry ToEntry(const WIN32_FIND_DATAW& found);

class Win32FileSystem final : public FileSystem {
 public:
  std::optional<FileEntry> Stat(std::string_view path) override;
  Status List(std::string_view pattern, std::vector<FileEntry>& entries) override;
  Status ReadFile(std::string_view path, std::string& bytes) override;
  Status WriteFile(std::string_view path, std::string_view bytes) override;
  Status AppendFile(std::string_view path, std::string_view bytes) override;
  Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override;
  Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) override;
  Status FlushFiles(const std::vector<std::string>& paths) override;
  Status DeleteFile(std::string_view path, bool force_read_only) override;
  Status CreateDirectory(std::string_view path) override;
  Status RemoveDirectory(std::string_view path) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  std::uint32_t DriveType(std::string_view root) override;
  // Every path of the live machine is the machine's own.
  bool LeadsOutside(std::string_view) override { return false; }

 private:
  Status Copy(std::string_view from, std::string_view to, bool overwrite, bool flush);
};

}  // namespace korvanta::store
