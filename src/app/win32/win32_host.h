#pragma once
// The Windows program's host: the program's windows are Win32 windows, its
// dialogs the system's, its launches and restart the live machine's shell.

#include "services/host.h"
#include "services/program.h"
#include "store/machine.h"
#include "ui/win32/renderer.h"
#include "ui/win32/win32_dialogs.h"

namespace korvanta::app::win32 {

class Win32Host final : public services::Host {
 public:
  Win32Host(store::Machine& machine, ui::win32::Renderer& renderer);
  // The program it shows; every user action ends with the program's posted work.
  void set_program(services::Program* program);

  ui::Dialogs& dialogs() override { return dialogs_; }
  // The main window appears in the middle of the screen, the others over it.
  void Show(ui::Form& form) override;
  void Unloaded(ui::Form& form) override;
  void MakeTopmost(ui::Form& form) override;
  void Beep() override;
  void Launch(const services::LaunchRequest& request) override;
  void Restart() override;
  void Ended() override;

 private:
  // Alt+F4 or the taskbar's Close: the window's own way out.
  void CloseRequested(ui::Form& form);

  store::Machine& machine_;
  ui::win32::Renderer& renderer_;
  ui::win32::Win32Dialogs dialogs_;
  services::Program* program_ = nullptr;
};

}  // namespace korvanta::app::win32
