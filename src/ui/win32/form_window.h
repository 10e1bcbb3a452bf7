#pragma once
// A form's top-level window and the windows of all its controls. Forms are
// borderless popups; the main window keeps a system menu and a minimise box so
// the taskbar can minimise and restore it. A form with a border appearance gets
// a one-pixel outline.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/form.h"
#include "ui/win32/container_window.h"

namespace korvanta::ui::win32 {

class FormWindow final : public ContainerWindow {
 public:
  FormWindow(Renderer& renderer, Form& form, bool main_window);
  ~FormWindow() override;

  Form& form() const { return model_; }
  Renderer& renderer() const { return renderer_; }
  bool main_window() const { return main_window_; }
  int dpi() const { return dpi_; }

  // Creates the top-level window (owned by owner, may be null) and every
  // control's window, hidden.
  void Create(HWND owner) override;
  // The window object of one of the form's controls (the form's own included).
  ControlWindow* WindowOf(const Control& control) const;
  // Every control hosted on host's window, front-most first: a frame's controls
  // stand just in front of the frame.
  std::vector<ControlWindow*> HostedOrder(const Control& host) const;
  // Orders the windows on host's window as the model orders the controls.
  void Arrange(const Control& host);
  // Runs fn on root and on every control that shares root's host window through
  // frames.
  void ForEachHosted(const Control& root, const std::function<void(ControlWindow&)>& fn);
  void UpdateToolTip(ControlWindow& w);
  // The control whose own tool tip window (a tab strip's) sent a notification.
  ControlWindow* ToolTipOwner(HWND tool_tip) const;
  // Every window lets go of the model.
  void DetachAll(bool touch_model);
  // Puts the window in the middle of over's window, or of the screen.
  void Center(HWND over);
  // Focus goes to the first control that takes it, as in a dialog.
  void FocusFirst();
  // Tab and Shift+Tab: the next control in the order the form declares them
  // (the window order is the z-order, which runs the other way).
  bool Tab(bool backwards);
  // The window has been placed on the screen and shown once.
  bool placed_once() const { return placed_once_; }
  void set_placed_once() { placed_once_ = true; }
  // Presses the default (Enter) or cancel (Esc) button; false when there is none.
  bool PressDefault(bool cancel);
  int NextId() { return next_id_++; }
  // Size (pixels) the model asks for at the window's DPI.
  PixelRect ModelSize() const;

 protected:
  void Sync(Property what, int first, int count) override;
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void Build(Control& container);
  void ReportSize();
  void DpiChanged(int dpi, const RECT& suggested);
  void Collect(const Control& container, std::vector<ControlWindow*>& out) const;
  std::vector<HWND> TabStops() const;

  Renderer& renderer_;
  Form& model_;
  bool main_window_;
  int dpi_ = kBaseDpi;
  int next_id_ = 100;
  HWND tool_tip_ = nullptr;
  HWND saved_focus_ = nullptr;
  bool placed_once_ = false;
  bool reporting_size_ = false;
  std::vector<HICON> icons_;
  std::map<const Control*, std::unique_ptr<ControlWindow>> windows_;
};

// The window object for a control of one of the kinds (nullptr for a form).
std::unique_ptr<ControlWindow> MakeControlWindow(FormWindow& form, Control& control);

}  // namespace korvanta::ui::win32
