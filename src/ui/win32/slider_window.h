#pragma once
// A slider: a trackbar with the model's range, steps and tick marks.

#include "ui/controls.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class SliderWindow final : public ControlWindow {
 public:
  SliderWindow(FormWindow& form, Slider& slider) : ControlWindow(form, slider), slider_(slider) {}
  void Create(HWND host) override;
  void OnScroll(int code) override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  void ShowRange();
  Slider& slider_;
};

}  // namespace korvanta::ui::win32
