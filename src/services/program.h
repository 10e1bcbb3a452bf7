#pragma once
// The program: its machine, its windows and its one thread of actions. Windows
// are created on demand by name and shown modeless; whatever shows them (a
// renderer or korvanta-drive) is the Host.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/operation_log.h"
#include "services/host.h"
#include "store/clock.h"
#include "store/machine.h"
#include "ui/form.h"

namespace korvanta::services {

class Program;

// Creates one kind of window; nullptr for a window that is not built yet.
using FormFactory = std::function<std::unique_ptr<ui::Form>(Program&)>;
// Every window the program has, by name.
using FormCatalogue = std::map<std::string, FormFactory, std::less<>>;

class Program {
 public:
  // The main window's name: the window whose close from the system is the exit
  // path, and over which the others stand.
  static constexpr std::string_view kMainWindow = "Formmain";

  Program(store::Machine& machine, Host& host, const store::Clock& clock,
          const FormCatalogue& forms);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  store::Machine& machine() { return machine_; }
  Host& host() { return host_; }
  ui::Dialogs& dialogs() { return host_.dialogs(); }
  log::OperationLog& log() { return log_; }

  // Start-up: the splash, which after its wait loads the main window.
  void Start();

  // Set by the settings pages' applies (the main window's flag): leaving the
  // program then offers the restart prompt. Never reset once set.
  std::int16_t RestartPending = 0;

  // One user action (a click, a change, typed text, a slide, a row click, a
  // timer): runs it as one transaction of the machine, with what it posted, then
  // tells the user once what could not be written. Every host runs every user
  // action through here. An action that runs inside another one (a modal dialog
  // is open) runs its posted work at once, as the dialog's message loop would.
  void Act(const std::function<void()>& action);
  // Runs what was posted, as an action of its own.
  void RunPosted() { Act(nullptr); }
  // Something changed the machine under the windows (an undo): every loaded
  // window shows again what it holds now.
  void MachineChanged();

  // The loaded window of that name, or nullptr.
  ui::Form* Loaded(std::string_view name) const;
  // Loads the window when it is not loaded (running its Load); nullptr for a name
  // the program has no window for, one not built yet, or one whose Load unloaded it.
  ui::Form* Load(std::string_view name);
  template <typename F>
  F* Load() {
    return dynamic_cast<F*>(Load(F::kName));
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
  bool IsFormName(std::string_view name) const;
  // Every window the program has, by name.
  const FormCatalogue& forms() const { return forms_catalogue_; }

  // The main window, while it is loaded.
  ui::Form* main() const { return Loaded(kMainWindow); }

  // Ends the program at once: every window goes.
  void End();
  bool ended() const { return ended_; }

  // Runs task after the current action, as the window's message loop would.
  void Post(std::function<void()> task);

  // A shell launch of a file in the program folder ("\help.chm").
  void LaunchProgramFile(std::string_view verb, std::string_view name, const ui::Form* owner);
  void OpenHelp() { LaunchProgramFile("open", "help.chm", nullptr); }

 private:
  void RunPostedTasks();
  // Where the user is acting: the newest window open, or the main window's page.
  std::string Place() const;

  store::Machine& machine_;
  Host& host_;
  const store::Clock& clock_;
  const FormCatalogue& forms_catalogue_;
  log::OperationLog log_;
  std::vector<std::unique_ptr<ui::Form>> forms_;  // loaded, oldest first
  std::vector<std::unique_ptr<ui::Form>> unloaded_;
  std::deque<std::function<void()>> posted_;
  bool ended_ = false;
  int action_depth_ = 0;
};

}  // namespace korvanta::services
