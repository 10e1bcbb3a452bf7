#include "ui/qt/application.h"

#include <QFont>

namespace korvanta::qt {

void SetUpApplication(QApplication& app) {
  // The forms are laid out for a simplified-Chinese font of this size; Latin
  // text in it matches its Chinese in height.
  QFont font(QStringLiteral("Noto Sans CJK SC"), kBaseFontPoints);
  font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Sans Serif")});
  QApplication::setFont(font);
  // Windows go when their forms unload; the program's end is what ends the loop.
  app.setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("korvanta"));
  QGuiApplication::setDesktopFileName(QStringLiteral("korvanta"));
}

}  // namespace korvanta::qt
