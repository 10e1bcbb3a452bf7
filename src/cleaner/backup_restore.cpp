#include "cleaner/backup_restore.h"

#include <algorithm>

#include "cleaner/backup_index.h"
#include "cleaner/slice_budget.h"

namespace korvanta::cleaner {

std::string BackupRestore::IndexFile() {
  return program_.machine().paths().ProgramFolder() + "\\filebak.ini";
}

void BackupRestore::Load() {
  store::Machine& machine = program_.machine();
  BackupIndex index(machine.files(), IndexFile());
  index.Load();
  index.Recover();
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

bool BackupRestore::Restore(bool all) {
  if (restoring_) return false;
  restoring_ = true;
  all_ = all;
  cursor_ = done_ = total_ = 0;
  for (int i = 0; i < list_.count() && static_cast<std::size_t>(i) < copies_.size(); ++i)
    total_ += all || list_.row(i).checked ? 1 : 0;
  return Slice();
}

bool BackupRestore::Continue() {
  return restoring_ && Slice();
}

void BackupRestore::Stop() {
  if (restoring_) Finish();
}

std::string BackupRestore::Progress() const {
  return restoring_ ? "正在恢复 " + std::to_string(done_) + "/" + std::to_string(total_) : "";
}

bool BackupRestore::Slice() {
  store::FileSystem& files = program_.machine().files();
  std::vector<std::string> restored;
  SliceBudget budget;
  const int rows = std::min(list_.count(), static_cast<int>(copies_.size()));
  while (cursor_ < rows) {
    const int i = cursor_++;
    if (!all_ && !list_.row(i).checked) continue;
    ++done_;
    std::string target = list_.cell(i, 1);
    if (target.empty() || target.back() != '\\') target += '\\';
    target += list_.cell(i, 0);
    if (files.CopyFileUnflushed(copies_[static_cast<std::size_t>(i)], target, true) ==
        store::kSuccess)
      restored.push_back(target);
    if (budget.Spent(restored.size())) break;
  }
  files.FlushFiles(restored);
  if (cursor_ < rows) return true;
  Finish();
  return false;
}

void BackupRestore::Finish() {
  restoring_ = false;
  if (on_end) on_end();
  program_.dialogs().MessageBox(program_.main(), "消息",
                                all_ ? "成功的恢复了所有文件！" : "成功的恢复了选择的文件！",
                                ui::MessageIcon::kInformation, ui::MessageButtons::kOk);
}

void BackupRestore::Purge() {
  store::Machine& machine = program_.machine();
  BackupIndex index(machine.files(), IndexFile());
  index.Load();
  // The index as it is now, with the backups made since the start.
  int next = index.StoredNext().value_or(0);
  std::string bakpath = index.Bakpath();
  for (int k = 1; k < next; ++k) {
    BackupEntry e = index.Entry(k, bakpath);
    if (!e.name.empty() || e.copy != bakpath) machine.files().DiscardFile(e.copy);
  }
  for (const std::string& copy : copies_) {
    if (!copy.empty()) machine.files().DiscardFile(copy);
  }
  list_.Clear();
  copies_.clear();
  index.Clear();
}

}  // namespace korvanta::cleaner
