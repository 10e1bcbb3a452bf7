#pragma once
// The network page: so far the box for the site to block, which empties itself
// at every click so the user can type over its hint.

#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "ui/controls.h"

namespace korvanta::panels {

class NetworkPage final : public app::Page {
 public:
  NetworkPage(app::Program& program, ui::PictureBox& page);

  // The connection settings and policies fill here as they come.
  std::vector<app::LoadStep> steps() const override { return {}; }
  void Fill(app::LoadStep) override {}

  ui::TextBox& Textpb;
};

}  // namespace korvanta::panels
