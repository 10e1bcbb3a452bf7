#include "ui/win32/status_bar_window.h"

#include <vector>

#include "store/win32/win32_text.h"

namespace korvanta::ui::win32 {

void StatusBarWindow::Create(HWND host) {
  CreateChild(host, STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, L"");
  if (hwnd_) ShowPanels();
}

void StatusBarWindow::Layout() {
  ControlWindow::Layout();
  if (hwnd_) ShowPanels();
}

void StatusBarWindow::ShowPanels() {
  std::vector<int> edges;
  int right = 0;
  for (const StatusBar::Panel& panel : bar_.panels()) {
    if (panel.width <= 0) {
      edges.push_back(-1);  // to the end of the bar
      break;
    }
    right += panel.width;
    edges.push_back(TwipsToPixels(right, dpi()));
  }
  if (edges.empty()) edges.push_back(-1);
  SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < edges.size() && i < bar_.panels().size(); ++i) {
    std::wstring text = store::Widen(bar_.panels()[i].text);
    SendMessageW(hwnd_, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void StatusBarWindow::Sync(Property what, int first, int count) {
  if (what == Property::kItems) {
    ShowPanels();
  } else {
    ControlWindow::Sync(what, first, count);
  }
}

}  // namespace korvanta::ui::win32
