#pragma once
// What every Qt program of ours sets up before its first window: the Chinese
// font at the size the forms were laid out for, and Qt's own texts in Chinese.

#include <QApplication>

namespace korvanta::ui::qt {

// The base font's size in points; a control's own size replaces it.
inline constexpr int kBaseFontPoints = 9;

void SetUpApplication(QApplication& app);

}  // namespace korvanta::ui::qt
