#pragma once
// What the junk cleaner needs of the machine beyond plain files: a fast walk over
// a folder tree that never leaves it, the shell's type name and the short date
// and time of a file, overwriting a file's contents, and emptying the Recycle Bin.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/file_system.h"
#include "store/status.h"

namespace korvanta::store {

// Walks a folder tree depth first as a recursive search does: the files of a
// folder in its listing order, then each subfolder in listing order. Symbolic
// links and junctions are never followed, and pseudo file systems (/proc, /sys,
// /dev and the like, reached when a drive maps the host's root) are left out.
class FolderWalk {
 public:
  virtual ~FolderWalk() = default;
  // The next file; false when the walk is over. name and folder stay valid
  // until the next call. folder has no trailing backslash, except a drive root.
  virtual bool Next(std::string_view& folder, std::string_view& name) = 0;
  // Size, attributes and time of the file Next returned last.
  virtual std::optional<FileEntry> Details() = 0;
  // Whether the root could be opened.
  virtual bool opened() const = 0;
};

class FileTools {
 public:
  virtual ~FileTools() = default;
  // A walk from root (a Windows path, with or without its closing backslash).
  virtual std::unique_ptr<FolderWalk> Walk(std::string_view root) = 0;
  // The type name the shell shows for a file of that name ("文本文档", "TMP 文件").
  virtual std::string TypeName(std::string_view name) = 0;
  // The machine's short date and time of a FILETIME, in local time.
  virtual std::string ShortDateTime(std::int64_t filetime) = 0;
  // Overwrites the file's contents where they lie, read-only or not, and flushes
  // them to the disk; the file keeps its size, and a sparse file its holes. Only
  // a regular file with no other hard link is written: a link, or a file another
  // name shares, is left as it is (kSuccess), so that deleting the name is all
  // that happens to it.
  virtual Status Overwrite(std::string_view path) = 0;
  // SHEmptyRecycleBinA for every drive, without confirmation.
  virtual void EmptyRecycleBin() = 0;
};

}  // namespace korvanta::store
