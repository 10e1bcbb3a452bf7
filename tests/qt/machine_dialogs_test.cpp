// The dialogs over the machine's drives: they start in drive C, list the
// machine's drives, answer with the machine's Windows paths, refuse places
// outside the machine, and match file patterns regardless of case.

#include "ui/qt/machine_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "qt/qt_test_support.h"
#include "store/portable/icon_reader.h"
#include "ui/qt/pictures.h"

namespace korvanta::qt {
namespace {
namespace fs = std::filesystem;

class MachineDialogsTest : public ::testing::Test {
 protected:
  MachineDialogsTest()
      : root_(test::CopyDemoMachine(dir_.path())),
        folder_(root_),
        dialogs_(folder_, [](const ui::Form*) -> QWidget* { return nullptr; }) {}

  // Runs answer on the next modal dialog once it is up.
  static void WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        answer(modal);
      } else {
        WhenModal(answer);
      }
    });
  }
  fs::path DriveC() { return *folder_.HostPath("C:\\"); }

  korvanta::test::TempDir dir_;
  fs::path root_;
  MachineFolder folder_;
  MachineDialogs dialogs_;
};

TEST_F(MachineDialogsTest, OpenFileAnswersWithTheMachinesPath) {
  fs::path file = DriveC() / "Program Files" / "Logo.BMP";
  korvanta::test::WriteBytes(file, "BM");
  QStringList sidebar;
  QString start;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    for (const QUrl& url : dialog->sidebarUrls()) sidebar << url.toLocalFile();
    start = dialog->directory().absolutePath();
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  std::optional<std::string> chosen = dialogs_.OpenFile(nullptr, "打开", "bmp文件|*.bmp");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\Program Files\\Logo.BMP");
  ASSERT_FALSE(sidebar.isEmpty());
  EXPECT_EQ(fs::path(sidebar.front().toStdString()), *folder_.DriveFolder('C'));
  EXPECT_EQ(sidebar.size(), static_cast<qsizetype>(dialogs_.Drives().size()));
  EXPECT_EQ(fs::weakly_canonical(start.toStdString()), fs::weakly_canonical(DriveC()));
}

TEST_F(MachineDialogsTest, BrowseForFolderRefusesPlacesOutsideTheMachine) {
  fs::path folder = *folder_.HostPath("C:\\windows");
  bool warned = false;
  int opened = 0;
  WhenModal([&](QWidget* w) {
    ++opened;
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    // Somewhere no drive of the machine holds: refused, and the dialog stays.
    dialog->setDirectory(QString::fromStdString(dir_.path().string()));
    dialog->selectFile(QString::fromStdString(dir_.path().string()));
    WhenModal([&](QWidget* warning) {
      warned = qobject_cast<QMessageBox*>(warning) != nullptr;
      static_cast<QDialog*>(warning)->accept();
      WhenModal([&](QWidget* again) {
        ++opened;
        auto* d = qobject_cast<QFileDialog*>(again);
        ASSERT_NE(d, nullptr);
        d->setDirectory(QString::fromStdString(folder.string()));
        d->selectFile(QString::fromStdString(folder.string()));
        static_cast<QDialog*>(d)->accept();
      });
    });
    static_cast<QDialog*>(dialog)->accept();
  });
  std::optional<std::string> chosen = dialogs_.BrowseForFolder(nullptr, "选择文件夹");
  EXPECT_TRUE(warned);
  EXPECT_EQ(opened, 2);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(chosen->rfind("C:\\", 0) == 0 &&
              QString::fromStdString(*chosen).compare(QStringLiteral("C:\\windows"),
                                                      Qt::CaseInsensitive) == 0)
      << *chosen;
}

TEST_F(MachineDialogsTest, CancelAnswersNothing) {
  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(dialogs_.OpenFile(nullptr, "", "").has_value());
}

TEST(QtNameFilters, MatchAsWindowsFiltersDo) {
  QStringList filters = QtNameFilters("bmp文件|*.bmp|所有文件|*.*");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], QStringLiteral("bmp文件 (*.[bB][mM][pP])"));
  EXPECT_EQ(filters[1], QStringLiteral("所有文件 (*)"));
  QRegularExpression bmp(QRegularExpression::wildcardToRegularExpression(
      QStringLiteral("*.[bB][mM][pP]"), QRegularExpression::UnanchoredWildcardConversion));
  EXPECT_TRUE(bmp.match(QStringLiteral("OEMLOGO.BMP")).hasMatch());
  EXPECT_TRUE(bmp.match(QStringLiteral("logo.bmp")).hasMatch());
  EXPECT_FALSE(bmp.match(QStringLiteral("logo.png")).hasMatch());
  EXPECT_EQ(QtNameFilters("图标|*.ico;*.exe")[0],
            QStringLiteral("图标 (*.[iI][cC][oO] *.[eE][xX][eE])"));
}

// The picker numbers icons as the shell does: an .ico file is one icon, a program
// or library has one per icon resource, and a start on a resource number (a
// negative index) selects that icon.
TEST_F(MachineDialogsTest, PickIconShowsTheIconsAsTheShellNumbersThem) {
  fs::path ico = test::PicturesFolder() / "korvanta.ico";
  ASSERT_TRUE(fs::exists(ico));
  fs::copy_file(ico, DriveC() / "app.ico");
  int shown = -1;
  WhenModal([&](QWidget* w) {
    auto* icons = w->findChild<QListWidget*>(QStringLiteral("icons"));
    ASSERT_NE(icons, nullptr);
    shown = icons->count();
    w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  std::optional<ui::IconChoice> choice = dialogs_.PickIcon(nullptr, {"C:\\app.ico", 0}).choice;
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(choice->file, "C:\\app.ico");
  EXPECT_EQ(choice->index, 0);

  fs::path shell32 = korvanta::test::PrefixTemplate() / "drive_c/windows/system32/shell32.dll";
  ASSERT_TRUE(fs::exists(shell32));
  fs::copy_file(shell32, DriveC() / "lib.dll");
  const std::string bytes = korvanta::test::ReadBytes(shell32);
  const int count = CountIcons(bytes);
  ASSERT_GT(count, 4);
  const int number = IconNumbers(bytes)[2];
  int selected = -1;
  bool drawn = false;
  WhenModal([&](QWidget* w) {
    auto* icons = w->findChild<QListWidget*>(QStringLiteral("icons"));
    shown = icons->count();
    selected = icons->currentRow();
    drawn = !icons->item(3)->icon().isNull();
    icons->setCurrentRow(3);
    w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  choice = dialogs_.PickIcon(nullptr, {"C:\\LIB.DLL", -number}).choice;
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(shown, count);
  EXPECT_EQ(selected, 2) << "the icon of resource number " << number;
  EXPECT_TRUE(drawn);
  EXPECT_EQ(choice->index, 3);
}

// Pictures a control shows from the machine, found as Wine finds files: through
// the drive's folder, regardless of case.
TEST_F(MachineDialogsTest, PicturesComeFromTheMachinesFiles) {
  QImage logo(48, 32, QImage::Format_RGB32);
  logo.fill(Qt::red);
  ASSERT_TRUE(logo.save(QString::fromStdString((DriveC() / "OEMLOGO.BMP").string()), "BMP"));
  fs::copy_file(test::PicturesFolder() / "korvanta.ico", DriveC() / "app.ico");
  Pictures pictures({test::PicturesFolder()}, &folder_);

  QPixmap file = pictures.Load({ui::Picture::Type::kFile, "c:\\oemlogo.bmp", 0});
  EXPECT_EQ(file.size(), QSize(48, 32));
  // An .ico file is one icon, shown in its size nearest to 32 pixels.
  QPixmap icon = pictures.Load({ui::Picture::Type::kIcon, "C:\\APP.ICO", 0});
  EXPECT_EQ(icon.size(), QSize(32, 32));
  EXPECT_TRUE(pictures.Load({ui::Picture::Type::kIcon, "C:\\app.ico", 1}).isNull());
  EXPECT_TRUE(pictures.Load({ui::Picture::Type::kFile, "C:\\missing.bmp", 0}).isNull());
  EXPECT_TRUE(pictures.Load({ui::Picture::Type::kFile, "Q:\\logo.bmp", 0}).isNull());
  EXPECT_EQ(pictures.Load({ui::Picture::Type::kResource, "splash", 0}).size(), QSize(369, 220));
  EXPECT_FALSE(pictures.Load({ui::Picture::Type::kResource, "icon-critical", 0}).isNull());
  EXPECT_FALSE(pictures.WindowIcon("korvanta").availableSizes().isEmpty());
}

}  // namespace
}  // namespace korvanta::qt
