// The program's own windows through the Qt host: start-up with the splash, where
// windows appear, the title bar and its drag, the side menu and the cleaner's
// tabs, closing and exiting.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QtTest/QTest>

#include "app/formmain.h"
#include "app/forms.h"
#include "qt/qt_test_support.h"
#include "ui/lists.h"
#include "ui/qt/container_views.h"
#include "ui/qt/units.h"

namespace korvanta::qt {
namespace {

using test::QtProgram;

QRect Screen() {
  return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST(ProgramWindows, SplashOpensTheMainWindowAfterThreeSeconds) {
  QtProgram p;
  p.program().Start();
  FormWindow* splash = p.WindowOf("Formqd");
  ASSERT_NE(splash, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
  EXPECT_EQ(splash->size(), QSize(369, 220));
  EXPECT_EQ(splash->frameGeometry().center(), Screen().center());
  auto* image = p.Widget<PictureWidget>("Formqd", "Image1");
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(image->picture().isNull()) << "the splash picture was not found";

  test::Settle(2500);
  EXPECT_EQ(p.program().main(), nullptr) << "too early";
  EXPECT_TRUE(QTest::qWaitFor([&] { return p.program().main() != nullptr; }, 2000));
  EXPECT_EQ(p.program().Loaded("Formqd"), nullptr);
  FormWindow* main = p.WindowOf("Formmain");
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Korvanta V3.5"));
  // As the window system shows it: the caption alone, no application name added.
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(main->winId()),
                                        QStringLiteral("_NET_WM_NAME")});
  ASSERT_TRUE(xprop.waitForFinished(5000));
  EXPECT_EQ(QString::fromUtf8(xprop.readAllStandardOutput()).trimmed(),
            QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"Korvanta V3.5\""));
  EXPECT_EQ(main->size(), QSize(700, 500));
  EXPECT_EQ(main->frameGeometry().center(), Screen().center());
  EXPECT_FALSE(main->windowIcon().isNull());
}

TEST(ProgramWindows, TitleBarFollowsTheWindowAndDragsIt) {
  QtProgram p;
  app::OpenMainWindow(p.program());
  FormWindow* main = p.WindowOf("Formmain");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
  app::Formmain& m = *app::MainWindow(p.program());
  // The window's size reached the model: its title bar was laid out on it.
  main->resize(800, 520);
  test::Settle();
  EXPECT_EQ(m.rect().width, 12000);
  auto* close = p.Widget<QLabel>("Formmain", "Labelend");
  EXPECT_EQ(close->geometry().right() + 1, 800 - ToPixels(100));
  EXPECT_EQ(p.Widget<QLabel>("Formmain", "Labelbt")->width(), 800);

  QPoint before = main->pos();
  auto* title = p.Widget<QLabel>("Formmain", "Labelbt");
  QTest::mousePress(title, Qt::LeftButton, {}, {200, 10});
  QTest::mouseMove(title, {230, 25});
  QTest::mouseRelease(title, Qt::LeftButton, {}, {230, 25});
  EXPECT_EQ(main->pos(), before + QPoint(30, 15));
}

TEST(ProgramWindows, SideMenuAndCleanerTabsSwitchWhatIsShown) {
  QtProgram p;
  app::OpenMainWindow(p.program());
  FormWindow* main = p.WindowOf("Formmain");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
  auto page_in_front = [&] {
    auto* heading = main->childAt(ToPixels(2310 + 300), ToPixels(465 + 150));
    return heading ? heading->objectName() : QString();
  };
  EXPECT_EQ(page_in_front(), QStringLiteral("Label4(0)"));
  QTest::mouseClick(p.Widget<QLabel>("Formmain", "Label3(8)"), Qt::LeftButton);
  EXPECT_EQ(app::MainWindow(p.program())->current_page(), 8);
  EXPECT_EQ(page_in_front(), QStringLiteral("Label4(8)"));
  EXPECT_TRUE(p.Widget<QWidget>("Formmain", "Label1(8)")->isHidden());
  EXPECT_EQ(p.Widget<QLabel>("Formmain", "Label2")->y(),
            p.Widget<QWidget>("Formmain", "Label1(8)")->y() - 2);

  auto* tabs = main->findChild<QTabBar*>(QStringLiteral("TabStrip1-tabs"));
  ASSERT_NE(tabs, nullptr);
  auto* results = p.Widget<QTableView>("Formmain", "ListView2");
  auto* options = p.Widget<QWidget>("Formmain", "Picture2");
  EXPECT_TRUE(results->isVisible());
  EXPECT_FALSE(options->isVisible());
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_FALSE(results->isVisible());
  EXPECT_TRUE(options->isVisible());
  QWidget* add = p.Widget<QPushButton>("Formmain", "Commandzj");
  EXPECT_TRUE(add->isVisible()) << "the panel's own controls come with it";
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
  EXPECT_TRUE(results->isVisible());
  EXPECT_FALSE(options->isVisible());
}

TEST(ProgramWindows, SmallWindowsOpenOverTheMainWindowAndClose) {
  QtProgram p;
  app::OpenMainWindow(p.program());
  FormWindow* main = p.WindowOf("Formmain");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
  main->move(main->pos() + QPoint(-120, -80));
  test::Settle();
  QTest::mouseClick(p.Widget<QPushButton>("Formmain", "Commandpass"), Qt::LeftButton);
  FormWindow* dialog = p.WindowOf("Formpasssz");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_EQ(dialog->frameGeometry().center(), main->frameGeometry().center());
  EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint) << "it made itself topmost";
  EXPECT_EQ(p.Widget<QLineEdit>("Formpasssz", "TxtNewPass")->echoMode(), QLineEdit::Password);

  QTest::mouseClick(p.Widget<QLabel>("Formpasssz", "Labelend"), Qt::LeftButton);
  EXPECT_EQ(p.program().Loaded("Formpasssz"), nullptr);
  EXPECT_EQ(p.WindowOf("Formpasssz"), nullptr);
  test::Settle();
  EXPECT_EQ(QApplication::topLevelWidgets().count(dialog), 0) << "its window is gone";

  // The about box: a click on its picture closes it.
  QTest::mouseClick(p.Widget<QPushButton>("Formmain", "Commandgy"), Qt::LeftButton);
  FormWindow* about = p.WindowOf("Formgy");
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
  EXPECT_EQ(about->frameGeometry().center(), main->frameGeometry().center());
  QTest::mouseClick(p.Widget<PictureWidget>("Formgy", "Image1"), Qt::LeftButton);
  EXPECT_EQ(p.program().Loaded("Formgy"), nullptr);
}

// Every small window as it opens: each button's caption fits inside it, and no
// list has a row chosen (or current) before the user picks one.
TEST(ProgramWindows, EveryWindowOpensWithCaptionsThatFitAndNothingChosen) {
  QtProgram p;
  app::OpenMainWindow(p.program());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(p.WindowOf("Formmain")));
  int checked = 0;
  for (const auto& [name, factory] : app::FormFactories()) {
    if (name == "Formqd" || name == "Formmain") continue;
    ui::Form* form = p.program().Show(name);
    ASSERT_NE(form, nullptr) << name;
    test::Settle();
    FormWindow* window = p.WindowOf(name);
    ASSERT_NE(window, nullptr) << name;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
      if (!button->isVisibleTo(window) || button->text().isEmpty()) continue;
      QString text = button->text();
      text.remove(QLatin1Char('&'));
      // Room for the frame (push button) or the box beside the text.
      const int beside = qobject_cast<QPushButton*>(button) ? 6 : 18;
      EXPECT_LE(button->fontMetrics().horizontalAdvance(text) + beside, button->width())
          << name << "." << button->objectName().toStdString() << " clips \"" << text.toStdString()
          << '"';
      ++checked;
    }
    for (QTableView* table : window->findChildren<QTableView*>()) {
      EXPECT_FALSE(table->selectionModel()->hasSelection())
          << name << "." << table->objectName().toStdString();
      EXPECT_FALSE(table->currentIndex().isValid())
          << name << "." << table->objectName().toStdString();
    }
    if (p.program().Loaded(name) == form) p.program().Unload(*form);
    p.program().RunPosted();
    if (ui::Form* main = p.program().main()) main->set_enabled(true);  // after Formpass
  }
  EXPECT_GE(checked, 30);
}

TEST(ProgramWindows, ClosingTheMainWindowTakesTheExitPath) {
  QtProgram p;
  app::OpenMainWindow(p.program());
  FormWindow* main = p.WindowOf("Formmain");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
  p.program().RestartPending = 1;
  main->close();  // as the taskbar's menu would
  EXPECT_EQ(p.program().main(), nullptr);
  FormWindow* prompt = p.WindowOf("Formmsg");
  ASSERT_NE(prompt, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(prompt));
  EXPECT_TRUE(prompt->outlined());
  QTest::keyClick(prompt, Qt::Key_Escape);  // its cancel: end without restarting
  EXPECT_TRUE(p.program().ended());
  EXPECT_TRUE(p.host().ended());
  EXPECT_TRUE(p.program().loaded().empty());
}

// The desktop icon tool draws the chosen object's icon from the machine's
// shell32.dll, which the Qt build reads itself.
TEST(ProgramWindows, DesktopIconToolShowsTheChosenObjectsIcon) {
  QtProgram p;
  std::filesystem::path shell32 =
      korvanta::test::PrefixTemplate() / "drive_c/windows/system32/shell32.dll";
  ASSERT_TRUE(std::filesystem::exists(shell32));
  FileSystem& files = p.machine().files();
  ASSERT_EQ(files.CreateDirectory("C:\\windows\\system32"), kSuccess);
  ASSERT_EQ(
      files.WriteFile("C:\\windows\\system32\\shell32.dll", korvanta::test::ReadBytes(shell32)),
      kSuccess);
  p.machine().reg().SetValue(RegRoot::kClassesRoot,
                             "CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}\\DefaultIcon", "",
                             kRegSz, Variant("shell32.dll,4"));
  p.program().Act([&] { p.program().Show("Formggtb"); });
  FormWindow* window = p.WindowOf("Formggtb");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  auto* preview = p.Widget<PictureWidget>("Formggtb", "Picture2");
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->picture().isNull());
  auto& list = static_cast<ui::ListBox&>(*p.program().Loaded("Formggtb")->FindById("List3"));
  p.program().Act([&] { list.UserClickItem(7); });
  test::Settle();
  EXPECT_EQ(preview->picture().size(), QSize(32, 32));
}

}  // namespace
}  // namespace korvanta::qt
