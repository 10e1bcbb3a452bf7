#pragma once
// The restore pane's list of backed-up files: filled from the backup index at
// start-up, restored from, and purged with every copy the index names. A
// restore of many files runs in slices, as a delete does.

#include <functional>
#include <string>
#include <vector>

#include "services/program.h"
#include "ui/controls.h"
#include "ui/list_view.h"

namespace korvanta::cleaner {

class BackupRestore {
 public:
  BackupRestore(services::Program& program, ui::ListView& list,
                std::vector<ui::CommandButton*> buttons)
      : program_(program), list_(list), buttons_(std::move(buttons)) {}

  // Fills the list; entries a backup left uncounted when the program died are
  // counted first.
  void Load();
  // "恢复" (ticked rows) and "恢复全部" (every row): works the first slice; true
  // when more remains for Continue.
  bool Restore(bool all);
  // The next slice; false when the restore is over.
  bool Continue();
  // Ends the restore at the slice boundary.
  void Stop();
  bool busy() const { return restoring_; }
  std::string Progress() const;
  // "删除全部": every copy the index names when it runs, then the index.
  void Purge();

  // Called when a restore ends, before the message that says so: what shows
  // its progress is cleared while the message is up.
  std::function<void()> on_end;

 private:
  std::string IndexFile();
  bool Slice();
  void Finish();

  services::Program& program_;
  ui::ListView& list_;
  std::vector<ui::CommandButton*> buttons_;
  std::vector<std::string> copies_;  // each row's copy
  bool restoring_ = false;
  bool all_ = false;
  int cursor_ = 0, done_ = 0, total_ = 0;
};

}  // namespace korvanta::cleaner
