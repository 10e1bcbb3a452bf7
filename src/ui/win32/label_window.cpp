#include "ui/win32/label_window.h"

#include "store/win32/win32_text.h"
#include "ui/win32/container_window.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {

void LabelWindow::Create(HWND host) {
  CreateChild(host, L"STATIC", SS_NOTIFY | SS_LEFT, 0, store::Widen(label_.caption()));
}

bool LabelWindow::see_through() const {
  // Without a colour of its own a label shows its container, as it would if it
  // were painted in the container's colour, but also over a picture.
  const Appearance& a = label_.appearance();
  return a.transparent || a.back.type == Color::Type::kDefault;
}

bool LabelWindow::PaintTo(HDC dc, POINT origin) {
  PixelRect size = HostRect();
  RECT r{origin.x, origin.y, origin.x + size.width, origin.y + size.height};
  const Appearance& a = label_.appearance();
  if (!see_through()) FillRect(dc, &r, renderer().gdi().Brush(back_color()));
  if (a.border) {
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    InflateRect(&r, -1, -1);
  }
  std::wstring text = store::Widen(label_.caption());
  if (text.empty()) return true;
  int saved = SaveDC(dc);
  SelectObject(dc, font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled_in_host() ? fore_color() : GetSysColor(COLOR_GRAYTEXT));
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  // Text on a coloured bar keeps off its edge.
  if ((!see_through() || a.border) && a.align != Align::kCenter) {
    int indent = MulDiv(4, dpi(), kBaseDpi);
    r.left += indent;
    r.right -= indent;
  }
  UINT format = DT_EXPANDTABS | DT_NOCLIP;
  if (a.align == Align::kCenter) format |= DT_CENTER;
  if (a.align == Align::kRight) format |= DT_RIGHT;
  // A label one line high shows its line in the middle, cut short where it does
  // not fit; a taller one wraps from its top, as a paragraph does.
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  bool one_line = size.height < 2 * (metrics.tmHeight + metrics.tmExternalLeading);
  if (one_line) {
    format |=
        DT_SINGLELINE | DT_VCENTER | (a.align == Align::kLeft ? DT_END_ELLIPSIS : DT_PATH_ELLIPSIS);
  } else if (label_.word_wrap) {
    format |= DT_WORDBREAK;
  }
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  RestoreDC(dc, saved);
  return true;
}

LRESULT LabelWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (LRESULT painted = 0; HandleSelfPaint(msg, wparam, painted)) return painted;
  switch (msg) {
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_GETDLGCODE:
      return Default(msg, wparam, lparam);
    case WM_GETFONT:
      // The plain window procedure keeps no font: say the one the text is drawn in.
      return reinterpret_cast<LRESULT>(font());
    default:
      break;
  }
  if (!detached() && TrackMouse(msg, wparam, lparam)) return 0;
  // The system's static control would paint itself on some messages (new text,
  // enabling): everything else goes to the plain window procedure.
  LRESULT result = DefWindowProcW(hwnd_, msg, wparam, lparam);
  if (msg == WM_SETTEXT || msg == WM_ENABLE) InvalidateRect(hwnd_, nullptr, FALSE);
  return result;
}

}  // namespace korvanta::ui::win32
