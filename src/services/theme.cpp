#include "services/theme.h"

namespace korvanta::services::theme {

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

ui::Rect PageButton(int slot) {
  constexpr int kTop = 6420, kWidth = 1380, kHeight = 375, kGap = 120;
  return {kGap + slot * (kWidth + kGap), kTop, kWidth, kHeight};
}

}  // namespace korvanta::services::theme
