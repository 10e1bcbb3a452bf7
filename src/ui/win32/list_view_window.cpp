#include "ui/win32/list_view_window.h"

#include <algorithm>
#include <cwchar>

#include "store/win32/win32_text.h"
#include "ui/win32/form_window.h"

namespace korvanta::ui::win32 {
namespace {

// Posted to itself: rows were added (a million AddRow calls make one count change).
constexpr UINT kApplyRowCount = WM_APP + 1;
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1), kChecked = INDEXTOSTATEIMAGEMASK(2);

}  // namespace

void ListViewWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
  CreateChild(host, WC_LISTVIEWW, style, WS_EX_CLIENTEDGE, L"", form_window().NextId());
  if (!hwnd_) return;
  DWORD extended = LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP;
  if (list_.check_boxes) extended |= LVS_EX_CHECKBOXES;
  if (list_.full_row_select) extended |= LVS_EX_FULLROWSELECT;
  if (list_.grid_lines) extended |= LVS_EX_GRIDLINES;
  SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  // The check boxes' state comes from the model, row by row.
  if (list_.check_boxes) SendMessageW(hwnd_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  ShowColors();
  ShowColumns();
  ShowRowCount();
  ShowSelection();
}

void ListViewWindow::ApplyFont() {
  ControlWindow::ApplyFont();
  // Column widths are twips: a new DPI gives them new pixels.
  if (hwnd_) ShowColumns();
}

void ListViewWindow::ShowColors() {
  const Appearance& a = list_.appearance();
  if (a.back.type != Color::Type::kDefault) {
    COLORREF back = back_color();
    SendMessageW(hwnd_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
    SendMessageW(hwnd_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
  }
  if (a.fore.type != Color::Type::kDefault) {
    SendMessageW(hwnd_, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(fore_color()));
  }
}

void ListViewWindow::ShowColumns() {
  HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd_, LVM_GETHEADER, 0, 0));
  int existing = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = existing - 1; i >= 0; --i) SendMessageW(hwnd_, LVM_DELETECOLUMN, i, 0);
  int i = 0;
  for (const ListView::Column& column : list_.columns()) {
    std::wstring caption = store::Widen(column.caption);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    lvc.pszText = caption.data();
    lvc.cx = TwipsToPixels(column.width, dpi());
    lvc.iSubItem = i;
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&lvc));
    ++i;
  }
}

void ListViewWindow::ShowRowCount() {
  count_pending_ = false;
  SendMessageW(hwnd_, LVM_SETITEMCOUNT, static_cast<WPARAM>(list_.count()),
               LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void ListViewWindow::FlushRowCount() {
  if (count_pending_ && hwnd_) {
    Syncing syncing(*this);
    ShowRowCount();
  }
}

void ListViewWindow::ShowSelection() {
  // An owner-data list keeps the selection itself, by row number.
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  int row = list_.selected_row();
  if (row >= 0) {
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void ListViewWindow::Redraw(int first, int count) {
  if (count <= 0) return;
  SendMessageW(hwnd_, LVM_REDRAWITEMS, static_cast<WPARAM>(first),
               static_cast<LPARAM>(first + count - 1));
}

void ListViewWindow::Sync(Property what, int first, int count) {
  switch (what) {
    case Property::kItems:
      ShowColumns();
      break;
    case Property::kRowsInserted:
      // Appends come in floods (a scan adds rows one by one): one count change
      // after the flood. Rows inserted before others move them: redraw now.
      if (!count_pending_) {
        count_pending_ = true;
        PostMessageW(hwnd_, kApplyRowCount, 0, 0);
      }
      if (first + count < list_.count()) InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case Property::kRowsRemoved:
    case Property::kRows:
      ShowRowCount();
      ShowSelection();
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case Property::kRowChanged: {
      FlushRowCount();
      int row = first;
      if (row >= 0 && row < list_.count()) {
        bool shown =
            (SendMessageW(hwnd_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
             LVIS_SELECTED) != 0;
        if (shown != list_.row(row).selected) ShowSelection();
      }
      Redraw(first, count);
      break;
    }
    case Property::kAppearance:
      ControlWindow::Sync(what, first, count);
      ShowColors();
      break;
    default:
      ControlWindow::Sync(what, first, count);
      break;
  }
}

void ListViewWindow::Toggle(int row) {
  if (row < 0 || row >= list_.count()) return;
  bool now = !list_.row(row).checked;
  UserAction([this, row, now] { list_.UserCheckRow(row, now); }, [this, row] { Redraw(row, 1); });
}

bool ListViewWindow::OnNotify(NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
      LVITEMW& item = info.item;
      ++display_requests_;
      if (item.iItem < 0 || item.iItem >= list_.count()) return true;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        cell_ = store::Widen(list_.cell(item.iItem, item.iSubItem));
        std::size_t n = std::min<std::size_t>(cell_.size(), item.cchTextMax - 1);
        std::wmemcpy(item.pszText, cell_.c_str(), n);
        item.pszText[n] = L'\0';
      }
      if ((item.mask & LVIF_STATE) && list_.check_boxes) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     (list_.row(item.iItem).checked ? kChecked : kUnchecked);
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      result = 0;
      return true;
    }
    case NM_CLICK:
    case NM_DBLCLK: {
      if (syncing()) return false;
      // The row under the mouse, and whether the click was on its check box.
      LVHITTESTINFO hit{};
      DWORD pos = GetMessagePos();
      hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
      ScreenToClient(hwnd_, &hit.pt);
      int row = static_cast<int>(
          SendMessageW(hwnd_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (row < 0) return false;
      if (list_.check_boxes && (hit.flags & LVHT_ONITEMSTATEICON) && hit.iSubItem == 0) {
        // The window selected the row too: the model follows without an event.
        // Each click of a double click ticks, as in a list that keeps its ticks.
        list_.set_selected_row(row);
        Toggle(row);
      } else if (header.code == NM_CLICK) {
        UserAction([this, row] { list_.UserClickRow(row); });
      }
      return false;
    }
    case LVN_KEYDOWN: {
      if (syncing()) return false;
      auto& key = reinterpret_cast<NMLVKEYDOWN&>(header);
      if (key.wVKey == VK_SPACE && list_.check_boxes) {
        Toggle(static_cast<int>(
            SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
        result = 0;
        return true;
      }
      return false;
    }
    case LVN_ITEMCHANGED: {
      // Selection moved with the keyboard: a click with the mouse is NM_CLICK's.
      if (syncing() || mouse_depth_ > 0) return false;
      auto& change = reinterpret_cast<NMLISTVIEW&>(header);
      if (change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return false;
      if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED) &&
          list_.selected_row() != change.iItem) {
        int row = change.iItem;
        UserAction([this, row] { list_.UserClickRow(row); });
      }
      return false;
    }
    default:
      return false;
  }
}

LRESULT ListViewWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case kApplyRowCount:
      FlushRowCount();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN: {
      FlushRowCount();
      ++mouse_depth_;
      LRESULT result = Default(msg, wparam, lparam);
      --mouse_depth_;
      return result;
    }
    case WM_CHAR:
      // The list would toggle nothing (it keeps no check state) but still beep.
      if (wparam == L' ' && list_.check_boxes) return 0;
      break;
    default:
      break;
  }
  return Default(msg, wparam, lparam);
}

}  // namespace korvanta::ui::win32
