#pragma once
// Path and folder utilities every page shares.

#include <optional>
#include <string>
#include <string_view>

#include "store/machine_backend.h"

namespace korvanta::store {

// The part after the last "\" (the whole path when it has none).
std::string GetName(std::string_view path);
// The part before the last "\" (the whole path when it has none).
std::string GetFolder(std::string_view path);
// The text before its first NUL character.
std::string StripNull(std::string_view text);
// A folder as the file system reports it: no trailing backslash, except that a
// drive root keeps its own (C:\).
std::string FolderText(std::string_view path);
// The path of name in folder, with one backslash between them.
std::string JoinPath(std::string folder, std::string_view name);

// The machine's folders as the pages use them.
class SystemPaths {
 public:
  explicit SystemPaths(MachineBackend& backend) : backend_(backend) {}

  // The temporary folder, ending in "\"; asked once and remembered.
  const std::string& DirTemp();
  // The Windows folder and the system folder, ending in "\"; "" when unknown.
  std::string WinDir();
  std::string SysDir();
  // The folder that holds the program file, without a trailing backslash; files in
  // it are ProgramFolder() + "\name".
  std::string ProgramFolder();

 private:
  MachineBackend& backend_;
  std::optional<std::string> temp_;
};

}  // namespace korvanta::store
