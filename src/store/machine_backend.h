#pragma once
// A machine as one back end provides it: the live Windows machine (win32/) or a
// machine folder in Wine-prefix layout (portable/). Pages never see this directly;
// they use Machine (machine.h), which adds the program's own rules on top.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/codepage.h"
#include "store/file_system.h"
#include "store/file_tools.h"
#include "store/profile_backend.h"
#include "store/registry_backend.h"
#include "store/shell.h"
#include "store/shell_icons.h"
#include "store/system_facts.h"

namespace korvanta::store {

class MachineBackend {
 public:
  virtual ~MachineBackend() = default;

  virtual const Codepage& codepage() const = 0;
  virtual RegistryBackend& registry() = 0;
  virtual ProfileBackend& profiles() = 0;
  virtual FileSystem& files() = 0;
  virtual Shell& shell() = 0;
  virtual SystemFacts& facts() = 0;
  virtual FileTools& file_tools() = 0;
  virtual ShellIcons& icons() = 0;

  // GetWindowsDirectoryA, GetSystemDirectoryA and GetTempPathA, as UTF-8.
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  virtual std::string TempPath() = 0;
  // GetShortPathNameA of an existing file or folder, as UTF-8: its 8.3 form where
  // the volume keeps one (else the path as it is). Nothing when the path cannot
  // be found or the machine keeps no short names.
  virtual std::optional<std::string> ShortPathName(std::string_view path) = 0;
  // The folder that holds the program file, without a trailing backslash.
  virtual std::string ProgramFolder() = 0;
  // Which machine this is, for the window: "" for the machine the program runs
  // on, else where the machine folder is.
  virtual std::string Describe() const = 0;

  // Groups the writes of one user action: the back end may hold them until the
  // outermost EndAction and save them together. Without an action each write is
  // saved at once.
  virtual void BeginAction() = 0;
  virtual void EndAction() = 0;
  // Saves now what the current action changed so far (the action goes on).
  virtual Status SaveChanges() = 0;
  // Why registry writes would be refused now, for the user, without writing;
  // empty when they may go ahead. The reason is kept for TakeWriteError too.
  virtual std::string WriteRefusal() { return {}; }
  // The reason the last write or save was refused or failed, for the UI to show;
  // empty when there was none. Taking it clears it.
  virtual std::string TakeWriteError() = 0;
};

}  // namespace korvanta::store
