#include "ui/qt/application.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace korvanta::ui::qt {

void SetUpApplication(QApplication& app) {
  // The forms are laid out for a simplified-Chinese font of this size; Latin
  // text in it matches its Chinese in height.
  QFont font(QStringLiteral("Noto Sans CJK SC"), kBaseFontPoints);
  font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Sans Serif")});
  QApplication::setFont(font);
  // Qt's own words (a dialog's standard buttons, a text box's menu) in Chinese
  // too, whatever the desktop's language.
  auto* words = new QTranslator(&app);
  if (words->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                  QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(words);
  }
  // Windows go when their forms unload; the program's end is what ends the loop.
  app.setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("korvanta"));
  // Lets the desktop match the windows to the installed desktop file and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.korvanta"));
}

}  // namespace korvanta::ui::qt
