#include "startup/startup_backup.h"

namespace korvanta::startup {
namespace {

constexpr auto kHKLM = store::RegRoot::kLocalMachine;
constexpr const char* kProgramKey = "SOFTWARE\\qrmtze";
constexpr const char* kSavedFlag = "hfrun";
constexpr const char* kSection = "windows";
constexpr std::uint32_t kEntryCapacity = 32767;

std::string BackupKey(std::string_view run_key) {
  return std::string(run_key) + "-";
}

}  // namespace

StartupBackup::StartupBackup(store::Machine& machine)
    : machine_(machine),
      folder_(machine.paths().ProgramFolder() + "\\startbak"),
      profile_(machine.paths().ProgramFolder() + "\\startbak.ini") {}

bool StartupBackup::Saved() {
  store::Variant flag;
  machine_.reg().QueryValue(kHKLM, kProgramKey, kSavedFlag, flag);
  return flag == 1;
}

void StartupBackup::SetSaved(bool saved) {
  machine_.reg().SetValue(kHKLM, kProgramKey, kSavedFlag, store::kRegDword,
                          store::Variant(saved ? 1 : 0));
}

bool StartupBackup::HasValue(std::string_view run_key, std::string_view name) {
  store::Variant earlier;
  return machine_.reg().QueryValue(kHKLM, BackupKey(run_key), name, earlier) == store::kSuccess;
}

bool StartupBackup::KeepValue(std::string_view run_key, std::string_view name,
                              std::string_view data, std::uint32_t type) {
  if (HasValue(run_key, name)) return true;
  return machine_.reg().SetValue(kHKLM, BackupKey(run_key), name, type,
                                 store::Variant(std::string(data))) == store::kSuccess;
}

bool StartupBackup::HasFile(std::string_view name) {
  return machine_.files().Stat(folder_ + "\\" + std::string(name)).has_value();
}

bool StartupBackup::KeepFile(std::string_view path, std::string_view name) {
  if (HasFile(name)) return true;
  store::FileSystem& files = machine_.files();
  const std::string copy = folder_ + "\\" + std::string(name);
  // On the disk, not only in its cache, before the original may go.
  return files.CreateDirectory(folder_) == store::kSuccess &&
         files.CopyFile(path, copy, false) == store::kSuccess &&
         files.FlushFiles({copy}) == store::kSuccess;
}

void StartupBackup::SetPrograms(std::string_view entry, std::string_view programs) {
  if (programs.empty()) {
    ForgetPrograms(entry);
  } else {
    machine_.ini().INIWriteKey(kSection, entry, store::Variant(std::string(programs)), profile_);
  }
}

bool StartupBackup::KeepPrograms(std::string_view entry, std::string_view programs) {
  std::string kept = WithPrograms(Programs(entry), programs);
  if (!machine_.ini().INIWriteKey(kSection, entry, store::Variant(kept), profile_)) return false;
  // The entry is taken off win.ini next: what the backup cannot give back must
  // stay where it is.
  return WithPrograms(Programs(entry), programs) == Programs(entry);
}

std::vector<NamedText> StartupBackup::Values(std::string_view run_key) {
  return ListValues(machine_.reg(), BackupKey(run_key));
}

void StartupBackup::ForgetValue(std::string_view run_key, std::string_view name) {
  machine_.reg().DeleteValue(kHKLM, BackupKey(run_key), name);
}

void StartupBackup::DropEmptyKey(std::string_view run_key) {
  if (Values(run_key).empty()) machine_.reg().DeleteKey(kHKLM, BackupKey(run_key));
}

std::vector<std::string> StartupBackup::Files() {
  return ListFiles(machine_.files(), folder_);
}

void StartupBackup::ForgetFile(std::string_view name) {
  machine_.files().DeleteFile(folder_ + "\\" + std::string(name), true);
}

std::string StartupBackup::Programs(std::string_view entry) {
  return machine_.ini().INIReadKey(kSection, entry, profile_, kEntryCapacity);
}

void StartupBackup::ForgetPrograms(std::string_view entry) {
  machine_.ini().INIDeleteKey(kSection, entry, profile_);
  if (Programs("load").empty() && Programs("run").empty()) {
    machine_.files().DeleteFile(profile_, true);
  }
}

}  // namespace korvanta::startup
