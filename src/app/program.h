#pragma once
// The program: its machine, its windows and its one thread of actions. Windows
// are created on demand by name and shown modeless; whatever shows them (a
// renderer or korvanta-drive) is the Host.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/host.h"
#include "log/operation_log.h"
#include "store/clock.h"
#include "store/machine.h"
#include "ui/form.h"

namespace korvanta::app {

class Formmain;
class Program;

// Creates one kind of window; nullptr for a window that is not built yet.
using FormFactory = std::function<std::unique_ptr<ui::Form>(Program&)>;

class Program {
 public:
  Program(Machine& machine, Host& host, const Clock& clock);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Machine& machine() { return machine_; }
  Host& host() { return host_; }
  ui::Dialogs& dialogs() { return host_.dialogs(); }
  OperationLog& log() { return log_; }

  // Start-up: the splash, which after its wait loads the main window.
  void Start();
  // What the splash's timer does: unload the splash, load and show the main
  // window, then ask for the password when one is stored.
  void OpenMainWindow();

  // The loaded window of that name, or nullptr.
  ui::Form* Loaded(std::string_view name) const;
  // Loads the window when it is not loaded (running its Load); nullptr for a name
  // the program has no window for, or one not built yet.
  ui::Form* Load(std::string_view name);
  template <typename F>
  F& Load() {
    return static_cast<F&>(*Load(F::kName));
  }
  // Loads if needed, then shows the window (Load then Show, modeless).
  ui::Form* Show(std::string_view name);
  void Show(ui::Form& form);
  // Unloads the window: its Unload runs, it disappears and is destroyed after the
  // current action.
  void Unload(ui::Form& form);
  // Closes the window as its close label does (a message window answers); one
  // without a close label is unloaded.
  void Close(ui::Form& form);
  // The system asks a window to close (its taskbar menu, Alt+F4): the main
  // window takes the exit path, others close; the program ends when no window
  // is left.
  void CloseRequested(ui::Form& form);
  // Loaded windows, oldest first.
  std::vector<ui::Form*> loaded() const;
  // Whether the program knows a window of that name (built or not).
  static bool IsFormName(std::string_view name);

  Formmain* main() const;

  // Ends the program at once: every window goes.
  void End();
  bool ended() const { return ended_; }

  // Runs task after the current action, as the window's message loop would.
  void Post(std::function<void()> task);
  // Runs what was posted (and what that posts) until nothing is left, then tells
  // of a write the machine refused. Hosts call it after every user action.
  void RunPosted();

  // A shell launch of a file in the program folder ("\help.chm").
  void LaunchProgramFile(std::string_view verb, std::string_view name, const ui::Form* owner);
  void OpenHelp() { LaunchProgramFile("open", "help.chm", nullptr); }

 private:
  Machine& machine_;
  Host& host_;
  OperationLog log_;
  std::vector<std::unique_ptr<ui::Form>> forms_;  // loaded, oldest first
  std::vector<std::unique_ptr<ui::Form>> unloaded_;
  std::deque<std::function<void()>> posted_;
  bool ended_ = false;
};

}  // namespace korvanta::app
