#include "ui/win32/dpi.h"

#include <cstdint>

#include "ui/win32/win32_ui.h"

namespace korvanta::ui::win32 {
namespace {

int Scale(int value, int numerator, int denominator) {
  std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

}  // namespace

int TwipsToPixels(int twips, int dpi) {
  return Scale(twips, dpi, kTwipsPerInch);
}

int PixelsToTwips(int pixels, int dpi) {
  return Scale(pixels, kTwipsPerInch, dpi);
}

int FontHeight(int points, int dpi) {
  return -Scale(points, dpi, 72);
}

PixelRect ToPixels(const Rect& twips, int dpi, int offset_left, int offset_top) {
  int left = TwipsToPixels(offset_left + twips.left, dpi);
  int top = TwipsToPixels(offset_top + twips.top, dpi);
  int right = TwipsToPixels(offset_left + twips.right(), dpi);
  int bottom = TwipsToPixels(offset_top + twips.bottom(), dpi);
  return {left, top, right - left, bottom - top};
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
  // GetDpiForWindow exists from Windows 10 1607 on; looked up so that the
  // program still starts on older systems.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi_for_window && window) {
    UINT dpi = get_dpi_for_window(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

}  // namespace korvanta::ui::win32
