#pragma once
// What every native widget of a window shares: how a user's action reaches the
// program, where pictures come from, and what closing a window means.

#include <functional>

#include "ui/form.h"

namespace korvanta::qt {

class Pictures;

class RenderContext {
 public:
  explicit RenderContext(Pictures& pictures) : pictures_(pictures) {}

  Pictures& pictures() { return pictures_; }

  // Runs a user's action on the model, then (once the outermost action is over)
  // the work the program posted, as the window's message loop would. An action
  // that opens a modal dialog may let another one run inside it.
  void Act(const std::function<void()>& action);

  // Program::RunPosted, for the program's windows.
  std::function<void()> after_action;
  // The window system asked to close a form's window (the taskbar's menu, Alt+F4).
  std::function<void(ui::Form&)> close_requested;

 private:
  Pictures& pictures_;
  int depth_ = 0;
};

}  // namespace korvanta::qt
