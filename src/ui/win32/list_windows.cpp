#include "ui/win32/list_windows.h"

#include <algorithm>

#include "store/win32/win32_text.h"
#include "ui/win32/form_window.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {

void ComboBoxWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                (combo_.editable ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
  CreateChild(host, L"COMBOBOX", style, 0, L"", form_window().NextId());
  ShowItems();
}

PixelRect ComboBoxWindow::WindowRect() const {
  // The model's height is the closed box; the window also holds the list.
  PixelRect r = HostRect();
  r.height += MulDiv(160, dpi(), kBaseDpi);
  return r;
}

void ComboBoxWindow::ShowItems() {
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : combo_.items()) {
    std::wstring text = store::Widen(item);
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  ShowSelection();
}

void ComboBoxWindow::ShowSelection() {
  int index = combo_.list_index();
  if (static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)) != index) {
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  if (index < 0 && combo_.editable && WindowText() != combo_.text()) {
    SetWindowTextW(hwnd_, store::Widen(combo_.text()).c_str());
  }
}

void ComboBoxWindow::OnCommand(int code) {
  if (code == CBN_SELCHANGE) {
    int index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(combo_.items().size())) return;
    std::string item = combo_.items()[static_cast<std::size_t>(index)];
    UserChoice([this, &item] { combo_.UserPick(item); });
  } else if (code == CBN_EDITCHANGE) {
    std::string typed = WindowText();
    UserChoice([this, &typed] { combo_.UserType(typed); });
  }
}

void ComboBoxWindow::Sync(Property what, int first, int count) {
  switch (what) {
    case Property::kCaption:
      if (combo_.editable) {
        if (WindowText() != combo_.text())
          SetWindowTextW(hwnd_, store::Widen(combo_.text()).c_str());
      } else {
        std::wstring text = store::Widen(combo_.text());
        LRESULT index = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(hwnd_, CB_SETCURSEL,
                     index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
      }
      break;
    default:
      ItemsWindow::Sync(what, first, count);
      break;
  }
}

void ListBoxWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS;
  if (list_.multi_select) style |= LBS_MULTIPLESEL;
  CreateChild(host, L"LISTBOX", style, WS_EX_CLIENTEDGE, L"", form_window().NextId());
  ShowItems();
}

void ListBoxWindow::ApplyFont() {
  ControlWindow::ApplyFont();
  // Item heights were measured in the old font.
  if (hwnd_ && SendMessageW(hwnd_, LB_GETCOUNT, 0, 0) > 0) {
    Syncing syncing(*this);
    ShowItems();
  }
}

RECT ListBoxWindow::TextRoom(int top) const {
  RECT window{};
  GetWindowRect(hwnd_, &window);
  int edges = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL);
  int indent = MulDiv(2, dpi(), kBaseDpi);
  return {indent, top, window.right - window.left - edges - indent, top};
}

bool ListBoxWindow::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  auto index = static_cast<std::size_t>(item.itemID);
  if (index >= list_.items().size()) return false;
  std::wstring text = store::Widen(list_.items()[index].text);
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font());
  RECT r = TextRoom(0);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  // An item box is at most 255 pixels high.
  item.itemHeight = static_cast<UINT>(std::clamp<LONG>(r.bottom, metrics.tmHeight, 255));
  return true;
}

bool ListBoxWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT box = item.rcItem;
  if (item.itemID != static_cast<UINT>(-1) && (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
    bool chosen = (item.itemState & ODS_SELECTED) != 0;
    bool enabled = !(item.itemState & ODS_DISABLED) && enabled_in_host();
    COLORREF back = chosen && enabled ? GetSysColor(COLOR_HIGHLIGHT) : back_color();
    FillRect(dc, &box, renderer().gdi().Brush(back));
    int n = static_cast<int>(SendMessageW(hwnd_, LB_GETTEXTLEN, item.itemID, 0));
    std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
    n = static_cast<int>(
        SendMessageW(hwnd_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    int saved = SaveDC(dc);
    SelectObject(dc, font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !enabled ? GetSysColor(COLOR_GRAYTEXT)
                     : chosen ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                              : fore_color());
    RECT r = TextRoom(box.top);
    r.bottom = box.bottom;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
    RestoreDC(dc, saved);
  }
  // The focus frame is drawn by inversion: a focus change inverts it back.
  bool framed = (item.itemAction & ODA_FOCUS) ||
                ((item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) && (item.itemState & ODS_FOCUS));
  if (framed && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &box);
  return true;
}

void ListBoxWindow::ShowItems() {
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  for (const ListBox::Item& item : list_.items()) {
    std::wstring text = store::Widen(item.text);
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  ShowSelection();
}

void ListBoxWindow::ShowSelection() {
  if (list_.multi_select) {
    for (int i = 0; i < list_.count(); ++i) {
      bool shown = SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
      if (shown != list_.selected(i)) {
        SendMessageW(hwnd_, LB_SETSEL, list_.selected(i) ? TRUE : FALSE, i);
      }
    }
    if (list_.list_index() >= 0) {
      SendMessageW(hwnd_, LB_SETCARETINDEX, static_cast<WPARAM>(list_.list_index()), FALSE);
    }
  } else {
    int selected = -1;
    for (int i = 0; i < list_.count(); ++i) {
      if (list_.selected(i)) selected = i;
    }
    if (static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)) != selected) {
      SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
  }
}

void ListBoxWindow::OnCommand(int code) {
  if (code != LBN_SELCHANGE) return;
  if (list_.multi_select) {
    int item = static_cast<int>(SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0));
    bool selected = SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(item), 0) > 0;
    UserChoice([this, item, selected] { list_.UserSetItem(item, selected); });
  } else {
    int item = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
    UserChoice([this, item] { list_.UserClickItem(item); });
  }
}

}  // namespace korvanta::ui::win32
