// The dialogs over the machine's drives: they start in drive C, show and answer
// with the machine's Windows paths, refuse places outside the machine, and match
// file patterns regardless of case.

#include "ui/qt/machine_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>
#include <functional>

#include "qt/qt_test_support.h"
#include "store/icon_reader.h"
#include "store/portable/machine_files_portable.h"
#include "ui/qt/machine_places.h"
#include "ui/qt/pictures.h"

namespace korvanta::ui::qt {
namespace {
namespace fs = std::filesystem;

class MachineDialogsTest : public ::testing::Test {
 protected:
  MachineDialogsTest()
      : root_(test::CopyDemoMachine(dir_.path())),
        folder_(root_),
        files_(folder_),
        dialogs_(files_, [](const ui::Form*) -> QWidget* { return nullptr; }) {}

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
  store::MachineFolder folder_;
  store::PortableMachineFiles files_;
  MachineDialogs dialogs_;
};

// Every text a dialog shows, so that no host folder shows through.
QStringList TextsOf(QWidget* dialog) {
  QStringList texts;
  for (auto* label : dialog->findChildren<QLabel*>()) texts << label->text();
  for (auto* edit : dialog->findChildren<QLineEdit*>()) texts << edit->text();
  for (auto* combo : dialog->findChildren<QComboBox*>()) {
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  }
  for (auto* tree : dialog->findChildren<QTreeWidget*>()) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      for (int c = 0; c < tree->columnCount(); ++c) texts << (*it)->text(c);
    }
  }
  return texts;
}

// Opens a file as the machine's programs do: a name, a folder or a path typed in
// any case, answered as the machine spells it; only the files of the chosen type
// and nothing that leads out of the machine are listed.
TEST_F(MachineDialogsTest, OpenFileShowsAndAnswersTheMachinesPaths) {
  const fs::path folder = DriveC() / "Program Files";
  korvanta::test::WriteBytes(folder / "Logo.BMP", "BM");
  korvanta::test::WriteBytes(folder / "notes.txt", "x");
  fs::create_directory_symlink(dir_.path(), folder / "outside");
  QString caption;
  QStringList look_in, listed, texts;
  bool refused = false;
  WhenModal([&](QWidget* w) {
    caption = w->windowTitle();
    auto* name = w->findChild<QLineEdit*>(QStringLiteral("fileName"));
    auto* open = w->findChild<QPushButton*>(QStringLiteral("open"));
    ASSERT_TRUE(name && open);
    name->setText(QStringLiteral("PROGRAM files"));
    open->click();
    auto* combo = w->findChild<QComboBox*>(QStringLiteral("lookIn"));
    for (int i = 0; i < combo->count(); ++i) look_in << combo->itemText(i);
    auto* files = w->findChild<QTreeWidget*>(QStringLiteral("files"));
    for (int i = 0; i < files->topLevelItemCount(); ++i) listed << files->topLevelItem(i)->text(0);
    texts = TextsOf(w);
    // A name that is not there is refused and the dialog stays.
    WhenModal([&](QWidget* warning) {
      refused = qobject_cast<QMessageBox*>(warning) != nullptr;
      static_cast<QDialog*>(warning)->accept();
    });
    name->setText(QStringLiteral("missing.bmp"));
    open->click();
    name->setText(QStringLiteral("..\\program files\\LOGO.bmp"));
    open->click();
  });
  std::optional<std::string> chosen = dialogs_.OpenFile(nullptr, "", "bmp文件|*.bmp");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\Program Files\\Logo.BMP");
  EXPECT_EQ(caption, QStringLiteral("打开"));
  EXPECT_TRUE(refused);
  ASSERT_GE(look_in.size(), 2);
  EXPECT_EQ(look_in[0], QStringLiteral("C:\\"));
  EXPECT_EQ(look_in[1], QStringLiteral("C:\\Program Files"));
  EXPECT_TRUE(listed.contains(QStringLiteral("Logo.BMP"))) << listed.join(' ').toStdString();
  EXPECT_FALSE(listed.contains(QStringLiteral("notes.txt")));
  EXPECT_FALSE(listed.contains(QStringLiteral("outside")));
  const QString host = QString::fromStdString(root_.string());
  for (const QString& text : texts) EXPECT_FALSE(text.contains(host)) << text.toStdString();
}

// The folder browser shows the page's prompt and the machine's drives, and
// refuses a folder that leads out of the machine or is not there.
TEST_F(MachineDialogsTest, BrowseForFolderShowsThePromptAndRefusesPlacesOutside) {
  fs::create_directory_symlink(dir_.path(), DriveC() / "outside");
  QString caption, prompt, start;
  QStringList drives, folders;
  int refused = 0;
  WhenModal([&](QWidget* w) {
    caption = w->windowTitle();
    prompt = w->findChild<QLabel*>(QStringLiteral("prompt"))->text();
    auto* tree = w->findChild<QTreeWidget*>(QStringLiteral("folders"));
    for (int i = 0; i < tree->topLevelItemCount(); ++i) drives << tree->topLevelItem(i)->text(0);
    QTreeWidgetItem* c = tree->topLevelItem(0);
    for (int i = 0; c && i < c->childCount(); ++i) folders << c->child(i)->text(0);
    auto* path = w->findChild<QLineEdit*>(QStringLiteral("folder"));
    start = path->text();
    auto* ok = w->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    for (const char* outside : {"C:\\outside", "C:\\nowhere", "Q:\\"}) {
      WhenModal([&](QWidget* warning) {
        refused += qobject_cast<QMessageBox*>(warning) != nullptr;
        static_cast<QDialog*>(warning)->accept();
      });
      path->setText(QString::fromUtf8(outside));
      ok->click();
    }
    path->setText(QStringLiteral("c:\\WINDOWS\\system32\\.."));
    ok->click();
  });
  std::optional<std::string> chosen = dialogs_.BrowseForFolder(nullptr, "请选择扫描路径：");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, "C:\\WINDOWS");  // as the machine spells it
  EXPECT_EQ(caption, QStringLiteral("浏览文件夹"));
  EXPECT_EQ(prompt, QStringLiteral("请选择扫描路径："));
  EXPECT_EQ(start, QStringLiteral("C:\\"));
  ASSERT_FALSE(drives.isEmpty());
  EXPECT_EQ(drives[0], QStringLiteral("本地磁盘 (C:)"));
  EXPECT_TRUE(folders.contains(QStringLiteral("WINDOWS"))) << folders.join(' ').toStdString();
  EXPECT_FALSE(folders.contains(QStringLiteral("outside")));
  EXPECT_EQ(refused, 3);
}

TEST_F(MachineDialogsTest, CancelAnswersNothing) {
  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(dialogs_.OpenFile(nullptr, "", "").has_value());
}

TEST(FileFilters, MatchAsWindowsFiltersDo) {
  std::vector<FileFilter> filters = FileFilters("bmp文件|*.bmp|所有文件|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].caption, QStringLiteral("bmp文件"));
  EXPECT_TRUE(filters[0].Matches(QStringLiteral("OEMLOGO.BMP")));
  EXPECT_TRUE(filters[0].Matches(QStringLiteral("logo.bmp")));
  EXPECT_FALSE(filters[0].Matches(QStringLiteral("logo.png")));
  EXPECT_FALSE(filters[0].Matches(QStringLiteral("logo.bmp.txt")));
  EXPECT_TRUE(filters[1].Matches(QStringLiteral("README")));  // *.* takes names without a dot
  const FileFilter icons = FileFilters("图标|*.ico;*.exe")[0];
  EXPECT_TRUE(icons.Matches(QStringLiteral("A.EXE")) && icons.Matches(QStringLiteral("b.ico")));
}

// Qt's own words are Chinese like the program's.
TEST(QtTranslations, StandardButtonsAreChinese) {
  QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Close);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
  EXPECT_EQ(box.button(QDialogButtonBox::Close)->text(), QStringLiteral("关闭"));
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
  const int count = store::CountIcons(bytes);
  ASSERT_GT(count, 4);
  const int number = store::IconNumbers(bytes)[2];
  int selected = -1;
  bool drawn = false;
  WhenModal([&](QWidget* w) {
    auto* icons = w->findChild<QListWidget*>(QStringLiteral("icons"));
    shown = icons->count();
    selected = icons->currentRow();
    // The icons are drawn while the picker is up.
    drawn = QTest::qWaitFor([&] { return !icons->item(icons->count() - 1)->icon().isNull(); });
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
  Pictures pictures({test::PicturesFolder()}, &files_);

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
}  // namespace korvanta::ui::qt
