#pragma once
// Twips, pixels and points at a window's DPI. The model places controls in twips
// (1/1440 inch: 15 twips to a pixel at 96 DPI); on a high-DPI screen the same
// twips cover more pixels.

#include "ui/control.h"

struct HWND__;

namespace korvanta::ui::win32 {

inline constexpr int kBaseDpi = 96;
inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, halves away from zero (as MulDiv does).
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);
// The height a LOGFONT needs for a font of that many points (negative: the
// character height, not the cell height).
int FontHeight(int points, int dpi);

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};
// A rectangle in twips placed at offset (twips) from its host, in pixels. Edges
// are rounded, not the width, so that controls that touch in twips touch on screen.
PixelRect ToPixels(const Rect& twips, int dpi, int offset_left = 0, int offset_top = 0);

// The DPI a window is shown at: its monitor's on Windows 10 and later, the
// system's (GetDeviceCaps LOGPIXELSX) before that, and on Windows XP.
int WindowDpi(HWND__* window);
int SystemDpi();

}  // namespace korvanta::ui::win32
