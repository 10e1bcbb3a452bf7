#include "ui/win32/frame_window.h"

#include "store/win32/win32_text.h"
#include "ui/win32/container_window.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {

void FrameWindow::Create(HWND host) {
  CreateChild(host, L"BUTTON", BS_GROUPBOX, 0, store::Widen(frame_.caption()));
}

bool FrameWindow::PaintTo(HDC dc, POINT origin) {
  PixelRect size = HostRect();
  RECT r{origin.x, origin.y, origin.x + size.width, origin.y + size.height};
  FillRect(dc, &r, renderer().gdi().Brush(back_color()));
  int saved = SaveDC(dc);
  SelectObject(dc, font());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT box = r;
  box.top += metrics.tmHeight / 2;
  DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
  std::wstring text = store::Widen(frame_.caption());
  if (!text.empty()) {
    int indent = MulDiv(8, dpi(), kBaseDpi), gap = MulDiv(2, dpi(), kBaseDpi);
    RECT label{r.left + indent, r.top, r.right - indent, r.top + metrics.tmHeight};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_SINGLELINE | DT_CALCRECT);
    RECT under{label.left - gap, label.top, label.right + gap, label.bottom};
    FillRect(dc, &under, renderer().gdi().Brush(back_color()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled_in_host() ? fore_color() : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_SINGLELINE);
  }
  RestoreDC(dc, saved);
  return true;
}

LRESULT FrameWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (LRESULT painted = 0; HandleSelfPaint(msg, wparam, painted)) return painted;
  switch (msg) {
    case WM_SETTEXT:
    case WM_ENABLE: {
      // The button class would paint itself here, over our drawing.
      LRESULT result = DefWindowProcW(hwnd_, msg, wparam, lparam);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return result;
    }
    default:
      return Default(msg, wparam, lparam);
  }
}

}  // namespace korvanta::ui::win32
