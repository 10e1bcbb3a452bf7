#pragma once
// The junk-file cleaning page: its tab strip over the result list and the scan
// options, delete options and restore panels. The tab strip shows one panel at
// a time; its fifth tab opens the help file and leaves the panel shown.

#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "ui/controls.h"
#include "ui/list_view.h"
#include "ui/lists.h"

namespace korvanta::cleaner {

class CleanerPage final : public app::Page {
 public:
  CleanerPage(app::Program& program, ui::PictureBox& page);

  // The junk types, the options and the backup list fill here as they come.
  std::vector<app::LoadStep> steps() const override { return {}; }
  void Fill(app::LoadStep) override {}

  ui::TabStrip& TabStrip1;
  ui::ListView& ListView2;   // the result list
  ui::PictureBox& Picture2;  // scan options
  ui::PictureBox& Picture3;  // delete options
  ui::PictureBox& Picture4;  // backed-up files
  ui::CommandButton& Commandzj;

 private:
  void TabClicked();

  app::Program& program_;
};

}  // namespace korvanta::cleaner
