#pragma once
// The smoke tour's camera for Qt windows: lets the event loop settle, then saves
// what the form's window shows (QWidget::grab) as a PNG.

#include <QString>

#include "app/smoke_tour.h"
#include "ui/qt/renderer.h"

namespace korvanta::app::qt {

class QtSmokeCamera final : public app::SmokeCamera {
 public:
  QtSmokeCamera(ui::qt::Renderer& renderer, QString folder)
      : renderer_(renderer), folder_(std::move(folder)) {}
  void Settle() override;
  bool Shoot(ui::Form& form, const std::string& name) override;

 private:
  ui::qt::Renderer& renderer_;
  QString folder_;
};

// Runs the event loop for about ms milliseconds, so that posted work, layouts
// and paints are done.
void SettleEvents(int ms);

}  // namespace korvanta::app::qt
