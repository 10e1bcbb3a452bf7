#pragma once
// Twips and pixels. The model places controls in twips (1/1440 inch: 15 twips to
// a pixel at 96 DPI); on a high-DPI screen the same twips cover more pixels.

#include "ui/control.h"

namespace korvanta::ui {

inline constexpr int kBaseDpi = 96;
inline constexpr int kTwipsPerInch = 1440;

// value * numerator / denominator, rounded to the nearest whole number, halves
// away from zero (as MulDiv does).
int ScaleRounded(int value, int numerator, int denominator);

int TwipsToPixels(int twips, int dpi = kBaseDpi);
int PixelsToTwips(int pixels, int dpi = kBaseDpi);

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};
// A rectangle in twips placed at offset (twips) from its host, in pixels. Edges
// are rounded, not the width, so that controls that touch in twips touch on screen.
PixelRect ToPixels(const Rect& twips, int dpi, int offset_left = 0, int offset_top = 0);

}  // namespace korvanta::ui
