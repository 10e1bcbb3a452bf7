#pragma once
// Shared by the Qt GUI tests: they run under Xvfb in one QApplication (made by
// qt_test_main.cpp), on a fresh demo machine in a temporary folder.

#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "app/forms.h"
#include "app/qt/qt_host.h"
#include "app/qt/smoke_camera.h"
#include "services/program.h"
#include "store/clock.h"
#include "store/machine.h"
#include "store/portable/machine_files_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/machine_portable.h"
#include "support/test_support.h"
#include "ui/qt/pictures.h"

namespace korvanta::ui::qt::test {

// A copy of the shipped demo machine at dir/machine.
std::filesystem::path CopyDemoMachine(const std::filesystem::path& dir);
// The program's pictures folder in the source tree.
std::filesystem::path PicturesFolder();

// The Linux program as korvanta runs it, minus main: a fresh machine, the Qt
// host, the program. Nothing is shown until a test starts something.
class QtProgram {
 public:
  QtProgram();
  // On a machine folder of the test's own, opened as korvanta opens it.
  QtProgram(const std::filesystem::path& root, const store::MachineFolderOptions& options);
  ~QtProgram();

  store::Machine& machine() { return *machine_; }
  app::qt::QtHost& host() { return *host_; }
  services::Program& program() { return *program_; }
  // The window of a loaded form, or null.
  FormWindow* WindowOf(const std::string& form_name);
  // The native widget of a control of a loaded form, or null.
  template <typename W>
  W* Widget(const std::string& form_name, const std::string& id) {
    FormWindow* window = WindowOf(form_name);
    return window ? window->findChild<W*>(QString::fromStdString(id)) : nullptr;
  }

 private:
  void Open(const std::filesystem::path& root, const store::MachineFolderOptions& options);

  korvanta::test::TempDir dir_;
  std::unique_ptr<store::Machine> machine_;
  std::unique_ptr<store::MachineFolder> folder_;
  std::unique_ptr<store::PortableMachineFiles> files_;
  std::unique_ptr<ui::qt::Pictures> pictures_;
  store::SystemClock clock_;
  std::unique_ptr<app::qt::QtHost> host_;
  std::unique_ptr<services::Program> program_;
};

// Lets Qt process what is pending.
inline void Settle(int ms = 50) {
  app::qt::SettleEvents(ms);
}

}  // namespace korvanta::ui::qt::test
