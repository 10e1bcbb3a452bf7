#pragma once
// The report list view: an owner-data SysListView32 (LVS_OWNERDATA). The rows
// stay in the model; the window knows only how many there are and asks for the
// text and check state of the rows it draws (LVN_GETDISPINFO), so a million rows
// cost what ten do. Check boxes are state images; since an owner-data list keeps
// no check state, clicks on them (NM_CLICK on the state icon) and the space bar
// tick the model's row.

#include <string>

#include "ui/list_view.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class ListViewWindow final : public ControlWindow {
 public:
  ListViewWindow(FormWindow& form, ListView& list) : ControlWindow(form, list), list_(list) {}
  void Create(HWND host) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;
  void ApplyFont() override;

  // How many times the window asked for a row's contents (tests: only the rows on
  // screen are asked for).
  long display_requests() const { return display_requests_; }
  // Applies a change of the row count that is still waiting.
  void FlushRowCount();

 protected:
  void Sync(Property what, int first, int count) override;
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void ShowColumns();
  void ShowRowCount();
  void ShowSelection();
  void ShowColors();
  void Toggle(int row);
  void Redraw(int first, int count);

  ListView& list_;
  std::wstring cell_;  // the text handed to the window for the row it draws
  long display_requests_ = 0;
  int mouse_depth_ = 0;
  bool count_pending_ = false;
};

}  // namespace korvanta::ui::win32
