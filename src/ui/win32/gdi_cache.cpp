#include "ui/win32/gdi_cache.h"

#include <cstddef>
#include <cwchar>

#include "ui/win32/dpi.h"

namespace korvanta::ui::win32 {
namespace {

// Characters every Chinese caption of the program uses.
constexpr const wchar_t* kProbeText = L"\u7cfb\u7edf\u8bbe\u7f6e\u6e05\u7406";

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &lf, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

COLORREF ToColorRef(const Color& color, COLORREF fallback) {
  switch (color.type) {
    case Color::Type::kRgb:
      return RGB((color.value >> 16) & 0xff, (color.value >> 8) & 0xff, color.value & 0xff);
    case Color::Type::kSystem:
      return GetSysColor(static_cast<int>(color.value));
    case Color::Type::kDefault:
      break;
  }
  return fallback;
}

bool FontHasGlyphs(const std::wstring& face, const std::wstring& text) {
  LOGFONTW lf{};
  lf.lfHeight = -12;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&lf);
  if (!font) return false;
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  std::wstring glyphs(text.size(), L'\0');
  DWORD n = GetGlyphIndicesW(screen, text.c_str(), static_cast<int>(text.size()),
                             reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  if (n != text.size()) return false;
  for (wchar_t g : glyphs) {
    if (g == 0xffff) return false;
  }
  return true;
}

std::wstring ChooseUiFontFace() {
  NONCLIENTMETRICSW metrics{};
  // The size Windows XP knows (newer systems accept it too).
  metrics.cbSize = sizeof(metrics);
  std::wstring message;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    message = metrics.lfMessageFont.lfFaceName;
  }
  if (!message.empty() && FontHasGlyphs(message, kProbeText)) return message;
  for (const wchar_t* face :
       {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun", L"Noto Sans CJK SC"}) {
    if (Installed(face) && FontHasGlyphs(face, kProbeText)) return face;
  }
  return message.empty() ? L"SimSun" : message;
}

GdiCache::GdiCache() : face_(ChooseUiFontFace()) {}

GdiCache::~GdiCache() {
  for (auto& [color, brush] : brushes_) DeleteObject(brush);
  for (auto& [key, font] : fonts_) DeleteObject(font);
}

HBRUSH GdiCache::Brush(COLORREF color) {
  auto it = brushes_.find(color);
  if (it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(color);
  brushes_.emplace(color, brush);
  return brush;
}

HFONT GdiCache::Font(int points, bool bold, int dpi) {
  if (points <= 0) points = kDefaultPoints;
  auto key = std::make_tuple(points, bold, dpi);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  LOGFONTW lf{};
  lf.lfHeight = FontHeight(points, dpi);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  wcsncpy(lf.lfFaceName, face_.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&lf);
  fonts_.emplace(key, font);
  return font;
}

void PaintOffScreen(HWND hwnd, HDC dc, const std::function<void(HDC)>& paint) {
  RECT client{};
  GetClientRect(hwnd, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

}  // namespace korvanta::ui::win32
