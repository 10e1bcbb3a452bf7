#pragma once
// What the program needs from whatever shows it: a renderer (Win32, Qt) or
// korvanta-drive, which shows nothing and answers from its scenario.

#include <string>

#include "ui/dialogs.h"
#include "ui/form.h"

namespace korvanta::services {

// A program, document or page the program asks the shell to open.
struct LaunchRequest {
  std::string verb;        // "open", "Open"
  std::string file;        // Windows path, or an address
  std::string parameters;  // "" for none
  const ui::Form* owner = nullptr;
  // Start the program file itself, with no verb and no arguments, in a
  // minimised window that has the focus (a screen saver so shows its settings).
  bool run_minimized = false;
};

class Host {
 public:
  virtual ~Host() = default;

  virtual ui::Dialogs& dialogs() = 0;

  // A form was loaded and is to be shown (again); its window appears.
  virtual void Show(ui::Form& form) = 0;
  // A form is unloaded; its window goes.
  virtual void Unloaded(ui::Form& form) = 0;
  // SetWindowPos(HWND_TOPMOST) on the form's window.
  virtual void MakeTopmost(ui::Form& form) = 0;
  // The system's beep.
  virtual void Beep() = 0;

  // ShellExecute of a file, program or address.
  virtual void Launch(const LaunchRequest& request) = 0;
  // Asks the machine to restart so that the settings take effect.
  virtual void Restart() = 0;
  // The program has ended: nothing runs after this.
  virtual void Ended() = 0;
};

}  // namespace korvanta::services
