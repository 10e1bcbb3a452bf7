#include "app/qt/smoke_camera.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

namespace korvanta::app::qt {

void SettleEvents(int ms) {
  QElapsedTimer clock;
  clock.start();
  do {
    QCoreApplication::sendPostedEvents();
    // Windows of unloaded forms go now, as they would in the running loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  } while (clock.elapsed() < ms);
}

void QtSmokeCamera::Settle() {
  SettleEvents(200);
}

bool QtSmokeCamera::Shoot(ui::Form& form, const std::string& name) {
  ui::qt::FormWindow* window = renderer_.Find(form);
  if (!window || !window->isVisible()) return false;
  QPixmap picture = window->grab();
  if (picture.isNull()) return false;
  QDir().mkpath(folder_);
  return picture.save(folder_ + QLatin1Char('/') + QString::fromStdString(name) +
                      QStringLiteral(".png"));
}

}  // namespace korvanta::app::qt
