#include "ui/win32/timer_control.h"

#include "ui/win32/form_window.h"

namespace korvanta::ui::win32 {

TimerControl::TimerControl(FormWindow& form, Timer& timer)
    : ControlWindow(form, timer), timer_(timer), id_(static_cast<UINT_PTR>(form.NextId())) {
  windowless_ = true;
}

TimerControl::~TimerControl() {
  if (owner_ && IsWindow(owner_)) KillTimer(owner_, id_);
}

void TimerControl::Create(HWND) {
  Apply();
}

void TimerControl::Apply() {
  HWND form = form_window().hwnd();
  bool run = !detached() && form && timer_.running() && timer_.interval() > 0;
  if (owner_) {
    KillTimer(owner_, id_);
    owner_ = nullptr;
  }
  if (run && SetTimer(form, id_, static_cast<UINT>(timer_.interval()), nullptr)) owner_ = form;
}

void TimerControl::Sync(Property what, int, int) {
  if (what == Property::kValue || what == Property::kRange) Apply();
}

bool TimerControl::Fire(UINT_PTR id) {
  if (id != id_) return false;
  if (detached()) {
    Apply();  // stops it
    return true;
  }
  UserAction([this] { timer_.Fire(); });
  return true;
}

}  // namespace korvanta::ui::win32
