#include "panels/network_page.h"

#include "ui/declare.h"

namespace korvanta::panels {

NetworkPage::NetworkPage(app::Program&, ui::PictureBox& page)
    : Textpb(ui::Place<ui::TextBox>(page, "Textpb", {2400, 4800, 3600, 330})) {
  Textpb.on_click = [this] { Textpb.set_text(""); };
}

}  // namespace korvanta::panels
