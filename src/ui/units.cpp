#include "ui/units.h"

#include <cstdint>

namespace korvanta::ui {

int ScaleRounded(int value, int numerator, int denominator) {
  std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

int TwipsToPixels(int twips, int dpi) {
  return ScaleRounded(twips, dpi, kTwipsPerInch);
}

int PixelsToTwips(int pixels, int dpi) {
  return ScaleRounded(pixels, kTwipsPerInch, dpi);
}

PixelRect ToPixels(const Rect& twips, int dpi, int offset_left, int offset_top) {
  int left = TwipsToPixels(offset_left + twips.left, dpi);
  int top = TwipsToPixels(offset_top + twips.top, dpi);
  int right = TwipsToPixels(offset_left + twips.right(), dpi);
  int bottom = TwipsToPixels(offset_top + twips.bottom(), dpi);
  return {left, top, right - left, bottom - top};
}

}  // namespace korvanta::ui
