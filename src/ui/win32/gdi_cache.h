#pragma once
// Colours, brushes and fonts, made once and kept for the life of the renderer:
// WM_CTLCOLOR... answers are asked for on every paint.

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "ui/control.h"
#include "ui/win32/win32_ui.h"

namespace korvanta::ui::win32 {

// An RGB or system colour of the model as a COLORREF; fallback for kDefault.
COLORREF ToColorRef(const Color& color, COLORREF fallback);

// The typeface for Chinese text: the system's message font when it has the
// glyphs (SimSun on a Chinese XP, Microsoft YaHei UI later), else the first
// installed of a few Chinese UI fonts.
std::wstring ChooseUiFontFace();
// Whether the installed font of that name draws every character of text.
bool FontHasGlyphs(const std::wstring& face, const std::wstring& text);

// Draws with paint into an off-screen bitmap the size of hwnd's client area and
// copies it to dc in one go: layered drawing (a colour, a picture, text) would
// flicker otherwise.
void PaintOffScreen(HWND hwnd, HDC dc, const std::function<void(HDC)>& paint);

class GdiCache {
 public:
  GdiCache();
  ~GdiCache();
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  HBRUSH Brush(COLORREF color);
  // points 0 is the window's default size (9 points).
  HFONT Font(int points, bool bold, int dpi);

  static constexpr int kDefaultPoints = 9;

 private:
  std::wstring face_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<std::tuple<int, bool, int>, HFONT> fonts_;
};

}  // namespace korvanta::ui::win32
