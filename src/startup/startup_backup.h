#pragma once
// The Startup Backup: what the startup page removed, kept so that "恢复启动项"
// can put it back. Removed Run and RunServices values go to the keys of the
// same name with "-" appended, removed Startup-folder files to the startbak
// folder of the program folder, and the programs taken off win.ini's "load"
// and "run" entries to startbak.ini beside it (a file of its own, so that a
// Startup-folder file of any name, win.ini too, has its place in startbak).
// The flag hfrun in the program key says whether anything is saved.
//
// Every removal is saved; a copy saved earlier under the same name is kept, so
// the backup holds each entry as it was before its first removal.

#include <string>
#include <string_view>
#include <vector>

#include "startup/startup_places.h"
#include "store/machine.h"

namespace korvanta::startup {

class StartupBackup {
 public:
  explicit StartupBackup(store::Machine& machine);

  // hfrun is 1.
  bool Saved();
  void SetSaved(bool saved);

  // Each keeps what is removed next; false when it could not be kept (the
  // removal must then not go ahead).
  // A value of run_key (kRunKey or kRunServicesKey), with its type: REG_SZ or
  // REG_EXPAND_SZ (backups of older versions hold REG_SZ only).
  bool KeepValue(std::string_view run_key, std::string_view name, std::string_view data,
                 std::uint32_t type);
  // A Startup-folder file, under its own name.
  bool KeepFile(std::string_view path, std::string_view name);
  // Programs of the win.ini entry ("load" or "run"), as the entry wrote them;
  // true only when they read back from the backup.
  bool KeepPrograms(std::string_view entry, std::string_view programs);

  bool HasValue(std::string_view run_key, std::string_view name);
  bool HasFile(std::string_view name);
  // Replaces the programs kept for the entry ("" keeps none).
  void SetPrograms(std::string_view entry, std::string_view programs);

  // What is kept, for the restore, and forgetting each part once it is back.
  std::vector<NamedText> Values(std::string_view run_key);
  void ForgetValue(std::string_view run_key, std::string_view name);
  // Drops the backup key once it holds nothing.
  void DropEmptyKey(std::string_view run_key);
  std::string Folder() const { return folder_; }
  std::vector<std::string> Files();
  void ForgetFile(std::string_view name);
  std::string Programs(std::string_view entry);
  void ForgetPrograms(std::string_view entry);

 private:
  store::Machine& machine_;
  std::string folder_;   // the startbak folder
  std::string profile_;  // startbak.ini
};

}  // namespace korvanta::startup
