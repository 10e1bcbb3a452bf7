#pragma once
// Command buttons, check boxes and option buttons. Check boxes and option
// buttons are the non-automatic BS_CHECKBOX and BS_RADIOBUTTON: the model
// decides what a click does (ticks, or selects and clears the rest of the group)
// and the windows show what it decided.

#include "ui/controls.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class CommandButtonWindow final : public ControlWindow {
 public:
  CommandButtonWindow(FormWindow& form, CommandButton& button)
      : ControlWindow(form, button), button_(button) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;

 private:
  CommandButton& button_;
};

class CheckBoxWindow final : public ControlWindow {
 public:
  CheckBoxWindow(FormWindow& form, CheckBox& box) : ControlWindow(form, box), box_(box) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  CheckBox& box_;
};

class OptionButtonWindow final : public ControlWindow {
 public:
  OptionButtonWindow(FormWindow& form, OptionButton& option)
      : ControlWindow(form, option), option_(option) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  OptionButton& option_;
};

// A check box or option button with a colour of its own draws unthemed: the
// visual styles ignore the text colour.
void KeepColors(HWND button, const Appearance& appearance);

}  // namespace korvanta::ui::win32
