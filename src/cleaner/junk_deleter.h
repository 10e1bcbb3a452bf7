#pragma once
// Deleting the listed junk files: to the Recycle Bin, directly, with the
// contents overwritten first, or after a verified copy into the backup folder
// recorded in the backup index. No file is lost: a file whose copy failed stays
// on disk and in the list.

#include <string>

#include "services/program.h"
#include "ui/list_view.h"

namespace korvanta::cleaner {

enum class DeleteMode { kNone, kRecycle, kDirect, kOverwrite, kBackup };

struct DeleteOptions {
  DeleteMode mode = DeleteMode::kNone;
  std::string backup_folder;  // the text of the backup-folder box
  bool no_prompt = false;     // "直接删除文件时不显示提示信息"
};

class JunkDeleter {
 public:
  explicit JunkDeleter(app::Program& program) : program_(program) {}

  // "删除": the ticked rows of the result list, in the chosen mode.
  void DeleteTicked(ui::ListView& list, const DeleteOptions& options);
  // "全部删除": every listed file, directly.
  void DeleteAll(ui::ListView& list, bool no_prompt);

  // The full path of a result row: its folder and its name.
  static std::string FullPath(const ui::ListView& list, int row);

 private:
  bool Confirm(const std::string& text);
  void Remove(const std::string& path, DeleteMode mode);
  // Copies every ticked row into the folder, then deletes it; false when the
  // folder cannot take backups (nothing is deleted then).
  void BackUpTicked(ui::ListView& list, const DeleteOptions& options);

  app::Program& program_;
};

}  // namespace korvanta::cleaner
