#pragma once
// Deleting the listed junk files: to the Recycle Bin, directly, with the
// contents overwritten first, or after a verified copy into the backup folder
// recorded in the backup index. No file is lost: a file whose copy failed stays
// on disk and in the list.
//
// A delete runs in slices, like the scan: each slice works a fraction of a
// second and ends with everything it took away recorded. In backup mode a
// slice copies its files, flushes the copies, stores their index entries in one
// replace of the index, and only then deletes the originals, so at whatever
// moment the program dies each file is in its place or offered back.

#include <memory>
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
  explicit JunkDeleter(services::Program& program);
  ~JunkDeleter();

  // "删除": the ticked rows of the result list, in the chosen mode. Works the
  // first slice; true when more remains for Continue.
  bool DeleteTicked(ui::ListView& list, const DeleteOptions& options);
  // "全部删除": every listed file, directly. As DeleteTicked.
  bool DeleteAll(ui::ListView& list, bool no_prompt);
  // The next slice; false when the delete is over.
  bool Continue();
  // Ends the delete at the slice boundary: the rows not reached stay listed.
  void Stop();
  bool busy() const { return run_ != nullptr; }
  // "正在删除 k/n" while a delete runs.
  std::string Progress() const;

  // The full path of a result row: its folder and its name.
  static std::string FullPath(const ui::ListView& list, int row);

 private:
  struct Run;
  bool Confirm(const std::string& text);
  void Remove(const std::string& path, DeleteMode mode);
  // Whether the backup folder can take copies (made when missing); tells the
  // user when not.
  bool PrepareBackup(Run& run);
  bool Slice();
  // The copies of a slice flushed and recorded, then the originals deleted;
  // false when the index could not be stored (the originals stay then).
  bool CommitBatch(Run& run);
  void Finish();

  services::Program& program_;
  std::unique_ptr<Run> run_;
  bool in_slice_ = false;
};

}  // namespace korvanta::cleaner
