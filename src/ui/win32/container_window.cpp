#include "ui/win32/container_window.h"

#include <vector>

#include "ui/win32/form_window.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {
namespace {

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

// The control window behind a native child: a combo box's edit and list are
// windows of their own inside the combo box.
ControlWindow* OwnerOf(HWND child, HWND container) {
  for (HWND h = child; h && h != container; h = GetParent(h)) {
    if (ControlWindow* w = ControlWindow::FromHwnd(h)) return w;
  }
  return nullptr;
}

}  // namespace

void ContainerWindow::PaintBackground(HDC dc, POINT origin) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  OffsetRect(&client, origin.x, origin.y);
  FillRect(dc, &client, renderer().gdi().Brush(back_color()));
}

void ContainerWindow::PaintBehind(HDC dc, const ControlWindow& child) {
  PixelRect r = child.HostRect();
  PaintBackground(dc, {-r.left, -r.top});
  // Front-most first: paint from the back up to the child.
  std::vector<ControlWindow*> order = form_window().HostedOrder(control());
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    ControlWindow* w = *it;
    if (w == &child) break;
    if (!w->hwnd() || !w->visible_in_host()) continue;
    PixelRect wr = w->HostRect();
    if (!Overlap(wr, r)) continue;
    w->PaintTo(dc, {wr.left - r.left, wr.top - r.top});
  }
}

void ContainerWindow::InvalidateSeeThrough(const PixelRect& area, const ControlWindow* except) {
  for (ControlWindow* w : form_window().HostedOrder(control())) {
    if (w == except || !w->see_through() || !w->hwnd()) continue;
    if (Overlap(w->HostRect(), area)) InvalidateRect(w->hwnd(), nullptr, FALSE);
  }
}

void ContainerWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  PaintOffScreen(hwnd_, dc, [this](HDC memory) { PaintBackground(memory, {0, 0}); });
  EndPaint(hwnd_, &ps);
}

bool ContainerWindow::RouteFromChild(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      ControlWindow* w = OwnerOf(reinterpret_cast<HWND>(lparam), hwnd_);
      if (!w || w->detached() || w->syncing()) return false;
      w->OnCommand(HIWORD(wparam));
      result = 0;
      return true;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      ControlWindow* w = FromHwnd(header->hwndFrom);
      if (!w) w = form_window().ToolTipOwner(header->hwndFrom);
      if (!w || w->detached()) return false;
      // Display questions are answered while syncing too; user actions are not.
      return w->OnNotify(*header, result);
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      ControlWindow* w = FromHwnd(reinterpret_cast<HWND>(lparam));
      if (!w || w->detached() || w->syncing()) return false;
      w->OnScroll(LOWORD(wparam));
      result = 0;
      return true;
    }
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      ControlWindow* w = FromHwnd(GetDlgItem(hwnd_, static_cast<int>(item.CtlID)));
      if (!w || !w->OnMeasureItem(item)) return false;
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      ControlWindow* w = FromHwnd(item.hwndItem);
      if (!w || !w->OnDrawItem(item)) return false;
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      ControlWindow* w = OwnerOf(reinterpret_cast<HWND>(lparam), hwnd_);
      if (!w) return false;
      result = reinterpret_cast<LRESULT>(w->OnCtlColor(reinterpret_cast<HDC>(wparam)));
      return true;
    }
    default:
      return false;
  }
}

LRESULT ContainerWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (RouteFromChild(msg, wparam, lparam, result)) return result;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_PRINTCLIENT:
      PaintBackground(reinterpret_cast<HDC>(wparam), {0, 0});
      return 0;
    default:
      break;
  }
  if (!detached() && TrackMouse(msg, wparam, lparam)) return 0;
  return Default(msg, wparam, lparam);
}

}  // namespace korvanta::ui::win32
