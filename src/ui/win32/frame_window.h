#pragma once
// A frame: a group box. Group boxes do not hold their controls in Win32, so the
// frame's controls are windows of the frame's own container, placed by the
// frame's offset and kept just in front of it (FormWindow::HostedOrder). It
// draws itself: opaque in its colour, as the model's frames are.

#include "ui/controls.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class FrameWindow final : public SelfPaintedWindow {
 public:
  FrameWindow(FormWindow& form, Frame& frame) : SelfPaintedWindow(form, frame), frame_(frame) {}
  void Create(HWND host) override;
  bool PaintTo(HDC dc, POINT origin) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  Frame& frame_;
};

}  // namespace korvanta::ui::win32
