#pragma once
// The base of every native window that mirrors a control of the model. It
// observes its control (model to window) and turns what the user does into the
// model's User... operations (window to model); a change the model makes is
// applied under Syncing so the notifications it causes do not come back as user
// actions. Window procedures only route messages to their object.

#include <string>
#include <utility>

#include "ui/control.h"
#include "ui/win32/dpi.h"
#include "ui/win32/win32_ui.h"

namespace korvanta::ui::win32 {

class ContainerWindow;
class FormWindow;
class Renderer;

class ControlWindow : public ControlObserver {
 public:
  ControlWindow(FormWindow& form, Control& control);
  ~ControlWindow() override;
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  Control& control() const { return *control_; }
  HWND hwnd() const { return hwnd_; }
  FormWindow& form_window() const { return form_; }
  Renderer& renderer() const;

  // Makes the native window as a child of host (the window of the nearest form or
  // picture box); controls without a window (timers) make none.
  virtual void Create(HWND host) = 0;
  // Lets go of the control, whose form is unloading: from now on the window
  // ignores what happens to it. touch_model false when the model may be gone.
  void Detach(bool touch_model);
  bool detached() const { return detached_; }

  // The object of one of our windows, or nullptr.
  static ControlWindow* FromHwnd(HWND hwnd);

  // What the host window routes to the control whose window sent it.
  virtual void OnCommand(int /*code*/) {}
  virtual bool OnNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  virtual void OnScroll(int /*code*/) {}
  // Owner-drawn items (list boxes whose long items wrap).
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT& /*item*/) { return false; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual HBRUSH OnCtlColor(HDC dc);
  // Draws the control onto dc with its top-left corner at origin; for the kinds
  // a see-through label can stand in front of (labels, frames).
  virtual bool PaintTo(HDC /*dc*/, POINT /*origin*/) { return false; }
  // Shows what is behind it (transparent labels).
  virtual bool see_through() const { return false; }

  // Places the window where the model says, at the form's DPI.
  virtual void Layout();
  virtual void ApplyFont();
  void ApplyVisible();
  void ApplyEnabled();

  // Where the control is, in pixels of its host window.
  PixelRect HostRect() const;
  // Where its window goes: a combo box's window also holds its drop-down list.
  virtual PixelRect WindowRect() const { return HostRect(); }
  ContainerWindow* host() const;
  int dpi() const;
  // The colours it is drawn with: its own, or (for the kinds that show their
  // container) the container's.
  COLORREF back_color() const;
  COLORREF fore_color() const;
  HFONT font() const;
  // Shown and enabled as far as its host window knows: frames are not windows
  // that hold their controls, so their visibility and state are passed down here.
  bool visible_in_host() const;
  bool enabled_in_host() const;

  void Changed(Control& control, Property what, int first, int count) final;

 protected:
  // Applies a change of the model to the window (called under Syncing).
  virtual void Sync(Property what, int first, int count);
  // The window's messages; the default is the class's own procedure.
  virtual LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT msg, WPARAM wparam, LPARAM lparam);

  // Creates a window of a system class as a child of host, placed by the model.
  HWND CreateChild(HWND host, const wchar_t* window_class, DWORD style, DWORD ex_style,
                   const std::wstring& text, int id = 0);
  // Sends the window's messages to WindowProc from now on.
  void Adopt(HWND hwnd);

  // Runs a user's action on the model, then what it posted.
  template <typename Action>
  void UserAction(Action&& action) {
    if (detached_) return;
    RunUserAction(std::function<void()>(std::forward<Action>(action)));
  }
  // The same, then show() sets the window from what the model kept of it (the
  // model may refuse the action), unless the action closed the window.
  template <typename Action, typename Show>
  void UserAction(Action&& action, Show&& show) {
    UserAction(std::forward<Action>(action));
    if (!detached() && hwnd_) {
      Syncing syncing(*this);
      show();
    }
  }
  // For the kinds that draw themselves (labels, frames): drawn off screen, over
  // what stands behind when see-through, then PaintTo, in one copy to dc.
  void PaintSelf(HDC dc);
  // Their painting messages (WM_PAINT, WM_PRINTCLIENT, WM_ERASEBKGND); false for
  // any other message.
  bool HandleSelfPaint(UINT msg, WPARAM wparam, LRESULT& result);
  // Redraws it, and the see-through windows in front of it that show it.
  void InvalidateSelf();

  // Clicks and mouse-downs of labels, picture boxes and forms; a window-dragging
  // control moves its window instead of clicking.
  bool TrackMouse(UINT msg, WPARAM wparam, LPARAM lparam);

  class Syncing {
   public:
    explicit Syncing(ControlWindow& w) : w_(w) { ++w_.syncing_; }
    ~Syncing() { --w_.syncing_; }
    Syncing(const Syncing&) = delete;
    Syncing& operator=(const Syncing&) = delete;

   private:
    ControlWindow& w_;
  };
  bool syncing() const { return syncing_ > 0; }
  // The text of the window, as UTF-8.
  std::string WindowText() const;

  HWND hwnd_ = nullptr;
  PixelRect placed_;         // where Layout last put it
  bool windowless_ = false;  // a timer: follows its control without a window

 private:
  static LRESULT CALLBACK Route(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void RunUserAction(const std::function<void()>& action);
  friend class ContainerWindow;

  FormWindow& form_;
  Control* control_;
  WNDPROC original_ = nullptr;
  int syncing_ = 0;
  bool detached_ = false;
  bool pressed_ = false;
};

// A window over a list of entries (combo box, list box, tab strip): shows the
// model's entries and which are chosen, and after a user's choice shows what the
// model kept of it.
class ItemsWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

 protected:
  virtual void ShowItems() = 0;
  virtual void ShowSelection() = 0;
  void Sync(Property what, int first, int count) override;
  template <typename Action>
  void UserChoice(Action&& action) {
    UserAction(std::forward<Action>(action), [this] { ShowSelection(); });
  }
};

// A kind that draws itself (labels, frames): drawn again when its text, state or
// look changes.
class SelfPaintedWindow : public ControlWindow {
 public:
  using ControlWindow::ControlWindow;

 protected:
  void Sync(Property what, int first, int count) override;
};

// UTF-8 of the model with lone line feeds made CR LF, as edit controls need.
std::wstring WindowsText(const std::string& utf8);

}  // namespace korvanta::ui::win32
