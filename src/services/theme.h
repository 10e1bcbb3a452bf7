#pragma once
// The program's look, in one place: colours and type of the frame and of the small
// windows. Renderers draw what the controls' appearance says.

#include "ui/control.h"

namespace korvanta::services::theme {

inline const ui::Color kTitleBack = ui::Color::Rgb(0x1f4e8c);
inline const ui::Color kTitleFore = ui::Color::Rgb(0xffffff);
inline const ui::Color kSideBack = ui::Color::Rgb(0xe8eef7);
inline const ui::Color kSideFore = ui::Color::Rgb(0x1f3a5f);
inline const ui::Color kSelectionBack = ui::Color::Rgb(0xc5d9f1);
inline const ui::Color kMarkerBack = ui::Color::Rgb(0x8fb2de);
inline const ui::Color kPageBack = ui::Color::Rgb(0xffffff);
inline const ui::Color kHeadingFore = ui::Color::Rgb(0x1f4e8c);
inline const ui::Color kWindowBack = ui::Color::Rgb(0xf3f6fb);
inline const ui::Color kMutedFore = ui::Color::Rgb(0xc9d8ee);

// A title label: white bold text on the title colour; it drags its window.
void StyleTitle(ui::Control& label);
// The close and minimise labels on a title bar.
void StyleTitleButton(ui::Control& label);
// A page heading.
void StyleHeading(ui::Control& label);

// Where a page's bottom row of buttons stands: slot 0 at the left.
ui::Rect PageButton(int slot);

}  // namespace korvanta::services::theme
