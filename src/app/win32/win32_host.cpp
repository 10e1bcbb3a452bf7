#include "app/win32/win32_host.h"

namespace korvanta::app::win32 {

Win32Host::Win32Host(store::Machine& machine, ui::win32::Renderer& renderer)
    : machine_(machine), renderer_(renderer), dialogs_(renderer) {}

void Win32Host::set_program(services::Program* program) {
  program_ = program;
  renderer_.run_user_action = [this](const std::function<void()>& action) {
    if (program_) {
      program_->Act(action);
    } else {
      action();
    }
  };
  renderer_.is_main_window = [this](const ui::Form& form) {
    return program_ && &form == program_->main();
  };
  renderer_.on_close_request = [this](ui::Form& form) { CloseRequested(form); };
}

void Win32Host::CloseRequested(ui::Form& form) {
  if (program_) program_->CloseRequested(form);
}

void Win32Host::Show(ui::Form& form) {
  const ui::Form* main = program_ ? program_->main() : nullptr;
  renderer_.Show(form, main == &form ? nullptr : main);
}

void Win32Host::Unloaded(ui::Form& form) {
  renderer_.Unload(form);
}

void Win32Host::MakeTopmost(ui::Form& form) {
  renderer_.MakeTopmost(form);
}

void Win32Host::Beep() {
  MessageBeep(MB_OK);
}

void Win32Host::Launch(const services::LaunchRequest& request) {
  if (request.run_minimized) {
    machine_.shell().RunMinimized(request.file);
    return;
  }
  HWND owner = request.owner ? renderer_.WindowOf(*request.owner) : nullptr;
  machine_.shell().Execute(request.verb, request.file, request.parameters,
                           reinterpret_cast<std::uintptr_t>(owner));
}

void Win32Host::Restart() {
  machine_.shell().RequestRestart();
}

void Win32Host::Ended() {
  PostQuitMessage(0);
}

}  // namespace korvanta::app::win32
