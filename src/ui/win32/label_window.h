#pragma once
// A label: a STATIC window (SS_NOTIFY, so it is clicked) that draws itself, so
// that a transparent label shows whatever stands behind it, including the labels
// behind it (the side menu's items over its selection bar).

#include "ui/controls.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class LabelWindow final : public SelfPaintedWindow {
 public:
  LabelWindow(FormWindow& form, Label& label) : SelfPaintedWindow(form, label), label_(label) {}
  void Create(HWND host) override;
  bool PaintTo(HDC dc, POINT origin) override;
  bool see_through() const override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  Label& label_;
};

}  // namespace korvanta::ui::win32
