#pragma once
// A machine folder in Wine-prefix layout: the registry files at its top, the
// drives under dosdevices ("c:" -> ../drive_c). Maps the machine's Windows paths
// to host paths and back, matching each component case-insensitively as Wine does.

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvanta::store {

// Wine maps Z: to the host's root and links the user's folders to the host's
// home: through them a scan or a delete would reach the host's own files. Unless
// host_drives is given (the user asked for them), what leads out of the machine
// folder is not part of the machine: such a drive is not there and such a path
// resolves to nothing.
class MachineFolder {
 public:
  explicit MachineFolder(std::filesystem::path root, bool host_drives = false);

  const std::filesystem::path& root() const { return root_; }
  bool host_drives() const { return host_drives_; }

  // The host folder a drive letter maps to ("c" -> <root>/dosdevices/c:); nothing
  // when the machine has no such drive, or it leads out of the machine folder.
  // Without a dosdevices entry, C: is drive_c.
  std::optional<std::filesystem::path> DriveFolder(char letter) const;

  // The host path of an absolute Windows path ("C:\WINDOWS\win.ini"). Each existing
  // component is taken as the folder stores it, matched without regard to case;
  // the first missing component and everything after it are used as written, so
  // new files keep the caller's spelling. Nothing for a relative path, a drive
  // the machine does not have, or a path that leads out of the machine folder
  // (links on the way included).
  std::optional<std::filesystem::path> HostPath(std::string_view windows_path) const;

  // What resolving a path saw of its last component, so that the caller need
  // not ask the file system again: unknown when it did not look, absent when
  // nothing by that name is there, else its lstat.
  struct Leaf {
    enum State { kUnknown, kAbsent, kPresent } state = kUnknown;
    struct stat st {};
  };
  std::optional<std::filesystem::path> HostPath(std::string_view windows_path, Leaf& leaf) const;

  // Whether the path would resolve but leads out of the machine folder, which
  // is why HostPath gives nothing for it.
  bool LeadsOutside(std::string_view windows_path) const;

  // The Windows path of a host path, through the drive that holds it (the most
  // specific one, other drives before Z:); nothing when no drive holds it.
  std::optional<std::string> WindowsPath(const std::filesystem::path& host) const;

  // What the program itself just added to or removed from a folder, so that the
  // folder's listing kept for case-blind lookups stays good without reading the
  // whole folder again (a backup folder of ten thousand copies grows one name at
  // a time).
  void Added(const std::filesystem::path& host) const;
  void Removed(const std::filesystem::path& host) const;

 private:
  // What one resolution learnt on its way, so that the check of where the path
  // leads does not ask the file system again.
  struct Walk {
    bool folder_known = false;  // folder is the last folder's stat, links followed
    struct stat folder {};
    Leaf leaf;
  };

  std::optional<std::filesystem::path> Drive(char letter) const;
  std::optional<std::string> Resolve(std::string_view windows_path, Walk& walk) const;
  bool Inside(const std::string& host, const Walk* walk = nullptr) const;
  bool Under(const std::filesystem::path& host) const;

  // The entry of folder whose name matches name regardless of case, preferring an
  // exact match; nothing when there is none.
  // With walk, the name is looked at without following a link and walk's leaf
  // tells what is there; a folder walk has seen already is not looked at again.
  std::optional<std::string> FindEntry(const std::string& folder, const std::string& name,
                                       Walk* walk = nullptr) const;
  void Note(const std::filesystem::path& host, bool added) const;

  std::filesystem::path root_;
  mutable std::filesystem::path canonical_root_;  // where root_ leads, found once
  bool host_drives_;
  // Folders listed for case-blind lookups: their names by upper-cased name, good
  // while the folder's time of last change is the one seen.
  struct Listing {
    std::int64_t changed = 0;
    std::unordered_map<std::string, std::string> names;
  };
  mutable std::unordered_map<std::string, Listing> listings_;
  // Whether a folder lies inside the machine folder, with the folder it was.
  struct Place {
    std::uint64_t device = 0, inode = 0;
    bool inside = false;
  };
  mutable std::unordered_map<std::string, Place> folders_;
  // Folders already resolved, by their Windows path upper-cased ("C:\TREE\A0"):
  // the host folder found, good while that host path is still the same folder.
  struct Resolved {
    std::string host;
    std::uint64_t device = 0, inode = 0;
  };
  mutable std::unordered_map<std::string, Resolved> resolved_;
};

}  // namespace korvanta::store
