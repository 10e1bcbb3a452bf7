#pragma once
// A text box: an EDIT control; multi-line ones scroll, password boxes hide their
// characters, locked ones are read-only.

#include "ui/controls.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class TextBoxWindow final : public ControlWindow {
 public:
  TextBoxWindow(FormWindow& form, TextBox& box) : ControlWindow(form, box), box_(box) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;

 protected:
  void Sync(Property what, int first, int count) override;
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void ShowModelText();
  TextBox& box_;
  bool mouse_down_ = false;
};

}  // namespace korvanta::ui::win32
