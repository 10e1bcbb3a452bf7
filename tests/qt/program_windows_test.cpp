// The program's own windows through the Qt host: start-up with the splash, where
// windows appear, the title bar and its drag, the side menu and the cleaner's
// tabs, closing and exiting.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QtTest/QTest>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/formmain.h"
#include "app/forms.h"
#include "qt/qt_test_support.h"
#include "ui/lists.h"
#include "ui/qt/container_views.h"
#include "ui/qt/units.h"

namespace korvanta::ui::qt {
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

// Texts that cannot fit without moving controls the design places.
const std::set<std::string> kMayClip = {
    "Formmain.Labeljsj",  // the machine's folder: as long as the user's path, shortened in the
                          // middle
};

// Each text a window shows, measured in its widget's font against the room the
// widget gives it; the clipped ones, as "Form.control: text". Counts the texts
// measured in measured.
std::vector<std::string> ClippedTexts(const QWidget& window, const ui::Form& form, int& measured) {
  std::vector<std::string> clipped;
  auto check = [&](const QWidget& w, const QString& text, bool fits) {
    ++measured;
    std::string where = form.name() + "." + w.objectName().toStdString();
    if (!fits && !kMayClip.contains(where)) clipped.push_back(where + ": " + text.toStdString());
  };
  const int big = 100000;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&window)) continue;
    const QFontMetrics metrics = w->fontMetrics();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      QString text = button->text().remove(QLatin1Char('&'));
      // Room for the frame (push button) or the box beside the text.
      const int beside = qobject_cast<QPushButton*>(button) ? 6 : 18;
      if (!text.isEmpty()) check(*w, text, metrics.horizontalAdvance(text) + beside <= w->width());
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      const ui::Control* c = form.FindById(label->objectName().toStdString());
      QString text = c ? QString::fromStdString(c->caption()) : label->text();
      if (text.isEmpty()) continue;
      int indent = label->indent() >= 0      ? label->indent()
                   : label->frameWidth() > 0 ? metrics.horizontalAdvance(QLatin1Char('x')) / 2
                                             : 0;
      QRect room = label->contentsRect().adjusted(indent, 0, -indent, 0);
      // A line fits a label one line high (its leading may stand out); a
      // paragraph's lines must all fit the label's height.
      int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
      QRect need = metrics.boundingRect(QRect(0, 0, room.width(), big), flags, text);
      int lines = need.height() / metrics.lineSpacing();
      check(*w, text,
            need.width() <= room.width() &&
                (lines <= 1 || lines * metrics.lineSpacing() <= room.height() + metrics.leading()));
    } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
      check(*w, frame->title(), metrics.horizontalAdvance(frame->title()) + 16 <= w->width());
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
      int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
      for (int i = 0; i < list->count(); ++i) {
        QRect item = list->visualItemRect(list->item(i)).adjusted(margin, 0, -margin, 0);
        QString text = list->item(i)->text();
        QRect need = metrics.boundingRect(QRect(0, 0, item.width(), big), Qt::TextWordWrap, text);
        check(*w, text,
              need.width() <= item.width() && need.height() <= item.height() &&
                  item.right() < list->viewport()->width());
      }
    } else if (auto* table = qobject_cast<QTableView*>(w)) {
      QHeaderView* header = table->horizontalHeader();
      if (header->isHidden()) continue;
      // Every column's caption shows whole, inside the list with its vertical
      // scroll bar shown.
      int room = table->width() - 2 * table->frameWidth() -
                 table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
      int margin = table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
      for (int i = 0; i < header->count(); ++i) {
        QString text = table->model()->headerData(i, Qt::Horizontal).toString();
        int need = metrics.horizontalAdvance(text) + 2 * margin;
        check(*w, text,
              need <= header->sectionSize(i) && header->sectionViewportPosition(i) + need <= room);
      }
    }
  }
  return clipped;
}

// Every window as it opens, and the main window with each of its pages (and the
// cleaner's panels and notes) in front: each text fits where it is shown, and
// no list has a row chosen (or current) before the user picks one.
TEST(ProgramWindows, EveryWindowOpensWithTextsThatFitAndNothingChosen) {
  QtProgram p;
  app::OpenMainWindow(p.program());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(p.WindowOf("Formmain")));
  app::Formmain& main = *app::MainWindow(p.program());
  int measured = 0;
  std::map<std::string, std::string> clipped;  // each clipped text, where it was seen first
  auto texts_fit = [&](const std::string& name, const std::string& view) {
    test::Settle();
    FormWindow* window = p.WindowOf(name);
    ASSERT_NE(window, nullptr) << name;
    for (const std::string& clip : ClippedTexts(*window, *p.program().Loaded(name), measured))
      clipped.emplace(clip, view);
    for (QTableView* table : window->findChildren<QTableView*>()) {
      EXPECT_FALSE(table->selectionModel()->hasSelection())
          << view << " " << table->objectName().toStdString();
      EXPECT_FALSE(table->currentIndex().isValid())
          << view << " " << table->objectName().toStdString();
    }
  };
  auto act = [&](ui::Control& c) { p.program().Act([&] { c.UserClick(); }); };
  for (int page = 0; page < app::kPageCount; ++page) {
    act(*main.Label3[static_cast<std::size_t>(page)]);
    texts_fit("Formmain", "page " + std::to_string(page));
  }
  cleaner::CleanerPage& cleaner = main.cleaner;
  for (int tab = 2; tab <= 4; ++tab) {
    p.program().Act([&] { cleaner.TabStrip1.UserSelectTab(tab); });
    texts_fit("Formmain", "cleaner tab " + std::to_string(tab));
  }
  p.program().Act([&] { cleaner.TabStrip1.UserSelectTab(2); });
  act(cleaner.Optionkssm);
  ASSERT_EQ(cleaner.Listdiv1.count(), 1);
  texts_fit("Formmain", "the quick scan's note");
  act(cleaner.Checkddsm);
  texts_fit("Formmain", "the custom folder's note");
  act(cleaner.Checkddsm);

  for (const auto& [name, factory] : app::FormFactories()) {
    if (name == "Formqd" || name == "Formmain") continue;
    ui::Form* form = p.program().Show(name);
    ASSERT_NE(form, nullptr) << name;
    texts_fit(name, name);
    if (p.program().Loaded(name) == form) p.program().Unload(*form);
    p.program().RunPosted();
    main.set_enabled(true);  // after Formpass
  }
  for (const auto& [clip, view] : clipped) ADD_FAILURE() << view << " clips " << clip;
  EXPECT_GE(measured, 400);
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
  store::FileSystem& files = p.machine().files();
  ASSERT_EQ(files.CreateDirectory("C:\\windows\\system32"), store::kSuccess);
  ASSERT_EQ(
      files.WriteFile("C:\\windows\\system32\\shell32.dll", korvanta::test::ReadBytes(shell32)),
      store::kSuccess);
  p.machine().reg().SetValue(store::RegRoot::kClassesRoot,
                             "CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}\\DefaultIcon", "",
                             store::kRegSz, store::Variant("shell32.dll,4"));
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
}  // namespace korvanta::ui::qt
