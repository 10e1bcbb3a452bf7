#include "app/qt/qt_host.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace korvanta::app::qt {

QtHost::QtHost(store::Machine& machine, const store::MachineFiles& files,
               ui::qt::Pictures& pictures)
    : machine_(machine),
      context_(pictures),
      renderer_(context_),
      dialogs_(files, [this](const ui::Form* form) -> QWidget* {
        return form ? renderer_.Find(*form) : nullptr;
      }) {
  context_.run_action = [this](const std::function<void()>& action) {
    if (program_) {
      program_->Act(action);
    } else {
      action();
    }
  };
  context_.close_requested = [this](ui::Form& form) { CloseRequested(form); };
}

QtHost::~QtHost() = default;

void QtHost::Show(ui::Form& form) {
  const ui::qt::FormWindow* existing = renderer_.Find(form);
  bool first = !existing || !existing->property("placed").toBool();
  ui::qt::FormWindow& window = renderer_.WindowFor(form);
  if (first) {
    if (!form.icon.empty()) window.setWindowIcon(context_.pictures().WindowIcon(form.icon));
    Place(form, window);
    window.setProperty("placed", true);
  }
  if (window.isMinimized()) window.showNormal();
  window.show();
  window.raise();
  window.activateWindow();
}

void QtHost::Place(ui::Form& form, QWidget& window) {
  QWidget* over = nullptr;
  if (program_) {
    ui::Form* main = program_->main();
    if (main && main != &form) {
      ui::qt::FormWindow* main_window = renderer_.Find(*main);
      if (main_window && main_window->isVisible()) over = main_window;
    }
  }
  QRect area = over              ? over->frameGeometry()
               : window.screen() ? window.screen()->availableGeometry()
                                 : QGuiApplication::primaryScreen()->availableGeometry();
  QRect r = window.frameGeometry();
  r.moveCenter(area.center());
  window.move(r.topLeft());
}

void QtHost::Unloaded(ui::Form& form) {
  renderer_.Destroy(form);
}

void QtHost::MakeTopmost(ui::Form& form) {
  ui::qt::FormWindow& window = renderer_.WindowFor(form);
  bool visible = window.isVisible();
  window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (visible) window.show();  // changing the flags hides a window
}

void QtHost::Beep() {
  QApplication::beep();
}

void QtHost::Launch(const services::LaunchRequest& request) {
  if (request.run_minimized) {
    machine_.shell().RunMinimized(request.file);
    return;
  }
  machine_.shell().Execute(request.verb, request.file, request.parameters, 0);
}

void QtHost::Restart() {
  machine_.shell().RequestRestart();
}

void QtHost::Ended() {
  ended_ = true;
  // Queued: the loop may not be running yet, or the action that ended the
  // program may still be on the stack.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void QtHost::CloseRequested(ui::Form& form) {
  if (program_) program_->CloseRequested(form);
}

}  // namespace korvanta::app::qt
