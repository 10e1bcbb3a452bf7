#pragma once
// A timer: SetTimer on its form's window while the model says it runs.

#include "ui/controls.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class TimerControl final : public ControlWindow {
 public:
  TimerControl(FormWindow& form, Timer& timer);
  ~TimerControl() override;
  void Create(HWND host) override;
  // WM_TIMER of the form with id: raises the timer's event when it is this one's.
  bool Fire(UINT_PTR id);

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  void Apply();
  Timer& timer_;
  UINT_PTR id_;
  HWND owner_ = nullptr;
};

}  // namespace korvanta::ui::win32
