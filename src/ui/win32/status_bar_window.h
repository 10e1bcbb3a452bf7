#pragma once
// A status bar of panels: msctls_statusbar32 placed where the model puts it
// (not docked by the system), panel widths in twips.

#include "ui/lists.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class StatusBarWindow final : public ControlWindow {
 public:
  StatusBarWindow(FormWindow& form, StatusBar& bar) : ControlWindow(form, bar), bar_(bar) {}
  void Create(HWND host) override;
  void Layout() override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  void ShowPanels();
  StatusBar& bar_;
};

}  // namespace korvanta::ui::win32
