#pragma once
// A window that holds controls: the form itself and picture boxes. It routes the
// notifications its children send to their objects, answers their colour
// questions, paints its background and clicks like any control.

#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class ContainerWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

  // Paints the background with the window's top-left corner at origin.
  virtual void PaintBackground(HDC dc, POINT origin);
  // Paints what shows behind a see-through child: the background and the labels
  // and frames behind it, with the child's top-left corner at (0, 0).
  void PaintBehind(HDC dc, const ControlWindow& child);
  // Repaints the see-through children that overlap area (pixels of this window),
  // other than except: what is behind them changed.
  void InvalidateSeeThrough(const PixelRect& area, const ControlWindow* except);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  // Routes a child's notification; true when one of ours took it.
  bool RouteFromChild(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void Paint();
};

}  // namespace korvanta::ui::win32
