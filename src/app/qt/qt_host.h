#pragma once
// The Qt build's host: it shows the program's forms as Qt windows, places them
// (the main window in the middle of the screen, the others over it), and sends
// launches and the restart to the machine's shell.

#include "services/host.h"
#include "services/program.h"
#include "store/machine.h"
#include "store/machine_files.h"
#include "ui/qt/machine_dialogs.h"
#include "ui/qt/pictures.h"
#include "ui/qt/render_context.h"
#include "ui/qt/renderer.h"

namespace korvanta::app::qt {

class QtHost final : public services::Host {
 public:
  QtHost(store::Machine& machine, const store::MachineFiles& files, ui::qt::Pictures& pictures);
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  void set_program(services::Program* program) { program_ = program; }
  ui::qt::Renderer& renderer() { return renderer_; }
  bool ended() const { return ended_; }

  ui::Dialogs& dialogs() override { return dialogs_; }
  void Show(ui::Form& form) override;
  void Unloaded(ui::Form& form) override;
  void MakeTopmost(ui::Form& form) override;
  void Beep() override;
  void Launch(const services::LaunchRequest& request) override;
  void Restart() override;
  void Ended() override;

 private:
  void Place(ui::Form& form, QWidget& window);
  void CloseRequested(ui::Form& form);

  store::Machine& machine_;
  ui::qt::RenderContext context_;
  ui::qt::Renderer renderer_;
  ui::qt::MachineDialogs dialogs_;
  services::Program* program_ = nullptr;
  bool ended_ = false;
};

}  // namespace korvanta::app::qt
