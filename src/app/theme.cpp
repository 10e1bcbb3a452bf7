#include "app/theme.h"

namespace korvanta::app::theme {

void StyleTitle(ui::Control& label) {
  ui::Appearance a = label.appearance();
  a.back = kTitleBack;
  a.fore = kTitleFore;
  a.bold = true;
  a.font_size = 10;
  label.set_appearance(a);
  label.drags_window = true;
}

void StyleTitleButton(ui::Control& label) {
  ui::Appearance a = label.appearance();
  a.back = kTitleBack;
  a.fore = kTitleFore;
  a.align = ui::Align::kCenter;
  label.set_appearance(a);
}

void StyleHeading(ui::Control& label) {
  ui::Appearance a = label.appearance();
  a.fore = kHeadingFore;
  a.bold = true;
  a.font_size = 11;
  a.transparent = true;
  label.set_appearance(a);
}

}  // namespace korvanta::app::theme
