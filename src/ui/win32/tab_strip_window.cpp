#include "ui/win32/tab_strip_window.h"

#include "store/win32/win32_text.h"
#include "ui/win32/form_window.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {

void TabStripWindow::Create(HWND host) {
  CreateChild(host, WC_TABCONTROLW, WS_TABSTOP | TCS_TOOLTIPS, 0, L"", form_window().NextId());
  if (hwnd_) ShowItems();
}

void TabStripWindow::ShowItems() {
  SendMessageW(hwnd_, TCM_DELETEALLITEMS, 0, 0);
  int i = 0;
  for (const TabStrip::Tab& tab : tabs_.tabs()) {
    std::wstring caption = store::Widen(tab.caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(hwnd_, TCM_INSERTITEMW, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
  }
  ShowSelection();
}

void TabStripWindow::ShowSelection() {
  int wanted = tabs_.selected() - 1;
  if (static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)) != wanted) {
    SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(wanted), 0);
  }
}

bool TabStripWindow::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.code == TTN_GETDISPINFOW) {
    // The tab strip's own tool tip asks for tab idFrom's text.
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    std::size_t tab = header.idFrom;
    tip_ = tab < tabs_.tabs().size() ? store::Widen(tabs_.tabs()[tab].tool_tip) : std::wstring();
    info.lpszText = tip_.data();
    info.hinst = nullptr;
    result = 0;
    return true;
  }
  if (header.code != TCN_SELCHANGE || syncing()) return false;
  int tab = static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)) + 1;
  UserChoice([this, tab] { tabs_.UserSelectTab(tab); });
  result = 0;
  return true;
}

LRESULT TabStripWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_ERASEBKGND) {
    // Around the tabs shows the container, not the button face.
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(reinterpret_cast<HDC>(wparam), &client, renderer().gdi().Brush(back_color()));
    return 1;
  }
  return Default(msg, wparam, lparam);
}

}  // namespace korvanta::ui::win32
