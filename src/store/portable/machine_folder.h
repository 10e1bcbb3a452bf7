#pragma once
// A machine folder in Wine-prefix layout: the registry files at its top, the
// drives under dosdevices ("c:" -> ../drive_c). Maps the machine's Windows paths
// to host paths and back, matching each component case-insensitively as Wine does.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvanta {

class MachineFolder {
 public:
  explicit MachineFolder(std::filesystem::path root);

  const std::filesystem::path& root() const { return root_; }

  // The host folder a drive letter maps to ("c" -> <root>/dosdevices/c:); nothing
  // when the machine has no such drive. Without a dosdevices entry, C: is drive_c.
  std::optional<std::filesystem::path> DriveFolder(char letter) const;

  // The host path of an absolute Windows path ("C:\WINDOWS\win.ini"). Each existing
  // component is taken as the folder stores it, matched without regard to case;
  // the first missing component and everything after it are used as written, so
  // new files keep the caller's spelling. Nothing for a relative path or a drive
  // the machine does not have.
  std::optional<std::filesystem::path> HostPath(std::string_view windows_path) const;

  // The Windows path of a host path, through the drive that holds it (the most
  // specific one, other drives before Z:); nothing when no drive holds it.
  std::optional<std::string> WindowsPath(const std::filesystem::path& host) const;

 private:
  std::filesystem::path root_;
};

}  // namespace korvanta
