#pragma once
// What every native widget of a window shares: how a user's action reaches the
// program, where pictures come from, and what closing a window means.

#include <functional>

#include "ui/form.h"

namespace korvanta::ui::qt {

class Pictures;

class RenderContext {
 public:
  explicit RenderContext(Pictures& pictures) : pictures_(pictures) {}

  Pictures& pictures() { return pictures_; }

  // Runs a user's action on the model through run_action, which makes it one
  // action of whatever shows the windows (it runs the work the action posted).
  void Act(const std::function<void()>& action);

  // Runs one user action; unset, the action simply runs.
  std::function<void(const std::function<void()>&)> run_action;
  // The window system asked to close a form's window (the taskbar's menu, Alt+F4).
  std::function<void(ui::Form&)> close_requested;

 private:
  Pictures& pictures_;
};

}  // namespace korvanta::ui::qt
