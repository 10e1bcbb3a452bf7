#pragma once
// The Win32 renderer: makes the windows of the forms the program shows, keeps
// them in step with the model, and runs the message loop. Windows of unloaded
// forms are destroyed only once the message that unloaded them has been
// handled: their objects may still be on the stack.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "ui/form.h"
#include "ui/win32/form_window.h"
#include "ui/win32/gdi_cache.h"

namespace korvanta::ui::win32 {

class Renderer {
 public:
  static constexpr const wchar_t* kFormClass = L"KorvantaForm";
  static constexpr const wchar_t* kPictureClass = L"KorvantaPicture";

  explicit Renderer(HINSTANCE instance);
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  HINSTANCE instance() const { return instance_; }
  GdiCache& gdi() { return gdi_; }

  // Runs one user action (the program makes it one transaction and runs what
  // it posted); unset, the action simply runs.
  std::function<void(const std::function<void()>&)> run_user_action;
  // The user or the system asks a form's window to close (Alt+F4, the taskbar).
  std::function<void(Form&)> on_close_request;
  // The main window: it gets a taskbar menu, and the other windows stand over it.
  std::function<bool(const Form&)> is_main_window;

  // Makes the form's windows (hidden) when they do not exist yet.
  FormWindow& Realize(Form& form);
  FormWindow* Find(const Form& form) const;
  // Shows the form: the first time centred over over's window, or on the screen.
  void Show(Form& form, const Form* over);
  // The form is unloaded: its windows let go of it, hide, and go later.
  void Unload(Form& form);
  void MakeTopmost(Form& form);
  HWND WindowOf(const Control& control) const;
  std::vector<FormWindow*> windows() const;

  // Keyboard navigation of a form, as the dialog manager does it; true when the
  // message was used.
  bool PreTranslate(MSG& msg);
  // Until WM_QUIT; returns its exit code.
  int RunMessageLoop();
  // Handles what is queued now, without waiting.
  void PumpPending();
  void CollectGarbage();
  // One message: keyboard navigation first, else translated and dispatched.
  void Dispatch(MSG& msg);

  // A user's action on the model, through run_user_action.
  void UserAction(const std::function<void()>& action);
  void RequestClose(Form& form);

 private:
  FormWindow* MainWindow() const;

  HINSTANCE instance_;
  GdiCache gdi_;
  std::map<const Form*, std::unique_ptr<FormWindow>> forms_;
  std::vector<std::unique_ptr<FormWindow>> graveyard_;
  int action_depth_ = 0;
};

}  // namespace korvanta::ui::win32
