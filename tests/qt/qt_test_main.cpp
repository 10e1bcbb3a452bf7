// The Qt GUI tests' main: one QApplication for all of them, set up as the
// program sets up its own.

#include <gtest/gtest.h>

#include <QApplication>

#include "ui/qt/application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  korvanta::ui::qt::SetUpApplication(app);
  return RUN_ALL_TESTS();
}
