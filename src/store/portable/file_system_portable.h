#pragma once
// Files and folders of a machine folder, with Wine's view of them: Windows paths
// resolved through dosdevices, DOS attributes from the permission bits and the
// user.DOSATTRIB extended attribute, names starting with a dot hidden.

#include "store/file_system.h"
#include "store/portable/machine_folder.h"
#include "store/registry_backend.h"

namespace korvanta::store {

// The whole of a host file.
Status ReadHostFile(const std::filesystem::path& host, std::string& bytes);

class PortableFileSystem final : public FileSystem {
 public:
  // registry gives the drive types configured under HKLM\Software\Wine\Drives.
  PortableFileSystem(const MachineFolder& machine, RegistryBackend& registry)
      : machine_(machine), registry_(registry) {}

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
  bool LeadsOutside(std::string_view path) override { return machine_.LeadsOutside(path); }

 private:
  Status Copy(std::string_view from, std::string_view to, bool overwrite, bool flush);

  const MachineFolder& machine_;
  RegistryBackend& registry_;
};

}  // namespace korvanta::store
