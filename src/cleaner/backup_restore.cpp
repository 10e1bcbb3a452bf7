#include "cleaner/backup_restore.h"

#include "cleaner/backup_index.h"

namespace korvanta::cleaner {

std::string BackupRestore::IndexFile() {
  return program_.machine().paths().ProgramFolder() + "\\filebak.ini";
}

void BackupRestore::Load() {
  Machine& machine = program_.machine();
  BackupIndex index(machine.ini(), IndexFile());
  int next = index.StoredNext().value_or(0);
  std::string bakpath = index.Bakpath();
  if (next == 1) {
    list_.AddRow({"没有备份文件！"});
    copies_.emplace_back();
    for (ui::CommandButton* b : buttons_) b->set_enabled(false);
    return;
  }
  for (int k = 1; k < next; ++k) {
    BackupEntry e = index.Entry(k, bakpath);
    std::string folder = e.copy.substr(0, e.copy.rfind('\\') + 1);
    list_.AddRow({e.name, e.folder, e.size, folder});
    copies_.push_back(e.copy);
  }
}

void BackupRestore::Restore(bool all) {
  FileSystem& files = program_.machine().files();
  for (int i = 0; i < list_.count() && static_cast<std::size_t>(i) < copies_.size(); ++i) {
    if (!all && !list_.row(i).checked) continue;
    std::string target = list_.cell(i, 1);
    if (target.empty() || target.back() != '\\') target += '\\';
    files.CopyFile(copies_[static_cast<std::size_t>(i)], target + list_.cell(i, 0), true);
  }
  program_.dialogs().MessageBox(program_.main(), "消息",
                                all ? "成功的恢复了所有文件！" : "成功的恢复了选择的文件！",
                                ui::MessageIcon::kInformation, ui::MessageButtons::kOk);
}

void BackupRestore::Purge() {
  Machine& machine = program_.machine();
  BackupIndex index(machine.ini(), IndexFile());
  // The index as it is now, with the backups made since the start.
  int next = index.StoredNext().value_or(0);
  std::string bakpath = index.Bakpath();
  for (int k = 1; k < next; ++k) {
    BackupEntry e = index.Entry(k, bakpath);
    if (!e.name.empty() || e.copy != bakpath) machine.files().DeleteFile(e.copy, true);
  }
  for (const std::string& copy : copies_) {
    if (!copy.empty()) machine.files().DeleteFile(copy, true);
  }
  list_.Clear();
  copies_.clear();
  index.Clear();
}

}  // namespace korvanta::cleaner
