#pragma once
// A tab strip: SysTabControl32 with tool tips. Tabs are numbered from 1 in the
// model, from 0 in the window.

#include <string>

#include "ui/lists.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class TabStripWindow final : public ItemsWindow {
 public:
  TabStripWindow(FormWindow& form, TabStrip& tabs) : ItemsWindow(form, tabs), tabs_(tabs) {}
  void Create(HWND host) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void ShowItems() override;  // the tabs
  void ShowSelection() override;
  TabStrip& tabs_;
  std::wstring tip_;  // the text handed to the tool tip
};

}  // namespace korvanta::ui::win32
