#pragma once
// Command buttons, check boxes and option buttons. Check boxes and option
// buttons are the non-automatic BS_CHECKBOX and BS_RADIOBUTTON: the model
// decides what a click does (ticks, or selects and clears the rest of the group)
// and the windows show what it decided.

#include <functional>

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

// A check box (BS_CHECKBOX) or an option button (BS_RADIOBUTTON): the click goes
// to the model, and the window shows whether the model has it on.
class StateButtonWindow final : public ControlWindow {
 public:
  StateButtonWindow(FormWindow& form, CheckBox& box)
      : ControlWindow(form, box), style_(BS_CHECKBOX), on_([&box] { return box.ticked(); }) {}
  StateButtonWindow(FormWindow& form, OptionButton& option)
      : ControlWindow(form, option),
        style_(BS_RADIOBUTTON),
        on_([&option] { return option.selected(); }) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  void ShowState();
  void KeepColors();
  DWORD style_;
  std::function<bool()> on_;
};

}  // namespace korvanta::ui::win32
