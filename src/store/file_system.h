#pragma once
// Files and folders of the machine, addressed by Windows paths in UTF-8
// ("C:\WINDOWS\win.ini"): what the program did through the scripting runtime's
// file-system object and the Win32 file calls.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/status.h"

namespace korvanta::store {

inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;

// GetDriveTypeA results.
inline constexpr std::uint32_t kDriveUnknown = 0;
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kDriveRemovable = 2;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kDriveRemote = 4;
inline constexpr std::uint32_t kDriveCdrom = 5;
inline constexpr std::uint32_t kDriveRamdisk = 6;

// A FILETIME counts 100 ns units since 1601-01-01 UTC: the Unix epoch as one,
// and its units in a second.
inline constexpr std::uint64_t kFiletimeUnixEpoch = 116444736000000000ull;
inline constexpr std::uint64_t kFiletimeTicksPerSecond = 10000000ull;

struct FileEntry {
  std::string name;  // the name as the folder stores it, without the folder
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // last write, as a FILETIME: 100 ns units since 1601-01-01 UTC
  bool is_directory() const { return (attributes & kAttrDirectory) != 0; }
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The file or folder at path, its name as stored; nothing when it does not exist.
  virtual std::optional<FileEntry> Stat(std::string_view path) = 0;
  // The files and folders that match a FindFirstFile pattern ("C:\x\*.cpl"), hidden
  // and system ones included, "." and ".." left out, in the folder's listing order.
  virtual Status List(std::string_view pattern, std::vector<FileEntry>& entries) = 0;

  virtual Status ReadFile(std::string_view path, std::string& bytes) = 0;
  // Creates or replaces the file; a failure leaves the old content in place.
  virtual Status WriteFile(std::string_view path, std::string_view bytes) = 0;
  // Appends to the file, creating it when missing.
  virtual Status AppendFile(std::string_view path, std::string_view bytes) = 0;
  virtual Status CopyFile(std::string_view from, std::string_view to, bool overwrite) = 0;
  // CopyFile for one of many copies that FlushFiles then makes durable together:
  // the copy may still sit in the system's cache when this returns.
  virtual Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) {
    return CopyFile(from, to, overwrite);
  }
  // Puts the files' contents on the disk, out of the system's cache; kSuccess
  // only when every one of them is there.
  virtual Status FlushFiles(const std::vector<std::string>& paths) = 0;
  // Deletes a file; a read-only file only when force_read_only is set.
  virtual Status DeleteFile(std::string_view path, bool force_read_only) = 0;
  // Deletes a file the user chose to be rid of with no copy kept (junk deleted
  // directly, backups purged), read-only or not: the change journal records it
  // as gone for good instead of keeping its content.
  virtual Status DiscardFile(std::string_view path) { return DeleteFile(path, true); }
  // Creates the folder and any missing folder above it; an existing folder is no error.
  virtual Status CreateDirectory(std::string_view path) = 0;
  // Removes an empty folder.
  virtual Status RemoveDirectory(std::string_view path) = 0;
  virtual Status SetAttributes(std::string_view path, std::uint32_t attributes) = 0;
  // GetDriveTypeA of a root such as "C:\".
  virtual std::uint32_t DriveType(std::string_view root) = 0;
  // Whether path leads out of the machine to files of the computer it runs on,
  // which no call here reaches (a machine folder's Z:, a link to the host's
  // home); the reason to give the user when a path they typed finds nothing.
  virtual bool LeadsOutside(std::string_view path) = 0;
};

}  // namespace korvanta::store
