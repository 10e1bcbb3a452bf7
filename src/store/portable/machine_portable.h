#pragma once
// Opens a machine folder in Wine-prefix layout as the machine the program works on.

#include <filesystem>
#include <memory>
#include <string>

#include "store/machine_backend.h"

namespace korvanta::store {

struct MachineFolderOptions {
  // The set.ini shipped with the program. When the program creates its folder on
  // the machine (its first run there), this file is copied in, so the cleaner
  // starts with the shipped options. A folder that already exists is the user's
  // and is left as it is, set.ini or not. Empty: nothing is copied.
  std::filesystem::path shipped_settings;
  // Drives and links that lead out of the machine folder to the computer's own
  // files (Wine's Z:) are offered and reached too. Off unless the user asks.
  bool host_drives = false;
  // Nothing of the machine folder is changed, not even the program's folder made
  // on a first run (a preview of what the program would do).
  bool untouched = false;
  // What the title bar calls the machine besides its folder ("Steam：Half-Life 2").
  std::string title;
};

std::unique_ptr<MachineBackend> OpenMachineFolder(const std::filesystem::path& root);
std::unique_ptr<MachineBackend> OpenMachineFolder(const std::filesystem::path& root,
                                                  const MachineFolderOptions& options);

}  // namespace korvanta::store
