#pragma once
// The restore pane's list of backed-up files: filled from the backup index at
// start-up, restored from, and purged with every copy the index names.

#include <string>
#include <vector>

#include "services/program.h"
#include "ui/controls.h"
#include "ui/list_view.h"

namespace korvanta::cleaner {

class BackupRestore {
 public:
  BackupRestore(app::Program& program, ui::ListView& list, std::vector<ui::CommandButton*> buttons)
      : program_(program), list_(list), buttons_(std::move(buttons)) {}

  void Load();
  // "恢复" (ticked rows) and "恢复全部" (every row).
  void Restore(bool all);
  // "删除全部": every copy the index names when it runs, then the index.
  void Purge();

 private:
  std::string IndexFile();

  app::Program& program_;
  ui::ListView& list_;
  std::vector<ui::CommandButton*> buttons_;
  std::vector<std::string> copies_;  // each row's copy
};

}  // namespace korvanta::cleaner
