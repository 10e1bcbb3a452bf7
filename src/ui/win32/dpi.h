#pragma once
// Points and DPI of windows; twips and pixels are the model's (ui/units.h).

#include "ui/units.h"

struct HWND__;

namespace korvanta::ui::win32 {

// The height a LOGFONT needs for a font of that many points (negative: the
// character height, not the cell height).
int FontHeight(int points, int dpi);
// The DPI a window is shown at: its monitor's on Windows 10 and later, the
// system's (GetDeviceCaps LOGPIXELSX) before that, and on Windows XP.
int WindowDpi(HWND__* window);
int SystemDpi();

}  // namespace korvanta::ui::win32
