// The machine chooser as korvanta shows it before the main window: several
// prefixes in a home folder, the last choice first and selected, the demo
// machine last, a prefix Wine runs on marked; the row picked is opened,
// remembered, and named in the main window's title bar.

#include "app/qt/machine_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <functional>

#include "app/qt/machine_start.h"
#include "qt/qt_test_support.h"
#include "store/wineserver_start.h"

namespace korvanta::ui::qt {
namespace {
namespace fs = std::filesystem;

// Runs answer on the chooser once it is up.
void WhenChooser(std::function<void(app::qt::MachineChooser&)> answer) {
  QTimer::singleShot(0, [answer] {
    if (auto* chooser = dynamic_cast<app::qt::MachineChooser*>(QApplication::activeModalWidget())) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(chooser));
      answer(*chooser);
    } else {
      WhenChooser(answer);
    }
  });
}

QStringList Column(QTreeWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

class MachineChooserTest : public ::testing::Test {
 protected:
  MachineChooserTest() : home_(dir_.path() / "home") {
    env_.home = home_.string();
    for (const fs::path& p : {home_ / ".wine", bottle_, pfx_}) {
      std::string error;
      EXPECT_TRUE(store::CreateDemoMachine(fs::path(KORVANTA_DATA_DIR) / "machine", p, error))
          << error;
    }
    korvanta::test::WriteBytes(bottle_ / "bottle.yml", "Name: 办公\n");
    korvanta::test::WriteBytes(steam_ / "steamapps/appmanifest_220.acf",
                               "\"AppState\" { \"name\" \"Half-Life 2\" }");
  }
  app::qt::StartMachine Start() {
    return app::qt::ChooseStartMachine(std::nullopt, env_,
                                       {fs::path(KORVANTA_DATA_DIR) / "machine"}, true);
  }

  korvanta::test::TempDir dir_;
  fs::path home_;
  fs::path bottle_ = home_ / ".local/share/bottles/bottles/office";
  fs::path steam_ = home_ / ".local/share/Steam";
  fs::path pfx_ = steam_ / "steamapps/compatdata/220/pfx";
  store::MachineEnvironment env_;
};

TEST_F(MachineChooserTest, PickedMachineIsOpenedRememberedAndNamed) {
  QStringList names, origins, windows, headers;
  QString title;
  int selected = -1;
  WhenChooser([&](app::qt::MachineChooser& chooser) {
    QTreeWidget* list = chooser.list();
    names = Column(list, 1);
    origins = Column(list, 0);
    windows = Column(list, 4);
    for (int c = 0; c < list->columnCount(); ++c) headers << list->headerItem()->text(c);
    selected = list->indexOfTopLevelItem(list->currentItem());
    title = chooser.windowTitle();
    QRect row = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseClick(chooser.findChild<QPushButton*>("OpenButton"), Qt::LeftButton);
  });
  app::qt::StartMachine start = Start();
  EXPECT_EQ(title, "选择计算机");
  EXPECT_EQ(headers, QStringList({"来源", "名称", "路径", "架构", "Windows 版本"}));
  EXPECT_EQ(origins, QStringList({"Wine", "Bottles", "Steam", "Korvanta"}));
  EXPECT_EQ(names, QStringList({".wine", "办公", "Half-Life 2", "演示计算机"}));
  EXPECT_EQ(windows.front(), "Windows XP Service Pack 2");
  EXPECT_EQ(windows.back(), "Windows XP Service Pack 2") << "the demo's from its template";
  EXPECT_EQ(selected, 0);
  ASSERT_TRUE(start.chosen.choice) << start.chosen.error;
  EXPECT_EQ(start.chosen.choice->folder, pfx_);
  EXPECT_EQ(start.title, "Steam：Half-Life 2");
  EXPECT_EQ(store::RememberedMachine(env_), pfx_);

  store::MachineFolderOptions options;
  options.title = start.title;
  test::QtProgram program(start.chosen.choice->folder, options);
  app::OpenMainWindow(program.program());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(program.WindowOf("Formmain")));
  auto* label = program.Widget<QLabel>("Formmain", "Labeljsj");
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->text().startsWith("计算机：/"));
  // A long path loses its middle, never the machine's name.
  EXPECT_TRUE(label->text().endsWith("（Steam：Half-Life 2）")) << label->text().toStdString();
  QString whole = "计算机：" + QString::fromStdString(pfx_.string()) + "（Steam：Half-Life 2）";
  EXPECT_TRUE(label->text() == whole || label->toolTip() == whole)
      << label->toolTip().toStdString();
  EXPECT_TRUE(label->isVisible());
}

TEST_F(MachineChooserTest, LastChoiceFirstDemoLastInUseMarkedCancelOpensNothing) {
  ASSERT_TRUE(store::RememberMachine(env_, bottle_));
  std::optional<korvanta::test::StartedWineserver> server = korvanta::test::StartWineserver(pfx_);
  ASSERT_TRUE(server) << "no wineserver started";
  QStringList names;
  int selected = -1;
  WhenChooser([&](app::qt::MachineChooser& chooser) {
    names = Column(chooser.list(), 1);
    selected = chooser.list()->indexOfTopLevelItem(chooser.list()->currentItem());
    QTest::mouseClick(chooser.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
  });
  app::qt::StartMachine start = Start();
  korvanta::test::StopWineserver(pfx_);
  EXPECT_EQ(names, QStringList({"办公", ".wine", "Half-Life 2（Wine 正在使用）", "演示计算机"}));
  EXPECT_EQ(selected, 0);
  EXPECT_TRUE(start.cancelled);
  EXPECT_FALSE(start.chosen.choice);
}

TEST_F(MachineChooserTest, OnePrefixOpensWithoutAsking) {
  fs::remove_all(bottle_);
  fs::remove_all(steam_);
  app::qt::StartMachine start = Start();  // a chooser now would wait for ever
  ASSERT_TRUE(start.chosen.choice) << start.chosen.error;
  EXPECT_EQ(start.chosen.choice->folder, home_ / ".wine");
  EXPECT_EQ(start.title, "Wine：.wine");
}

TEST_F(MachineChooserTest, MachineNamedOnTheCommandLine) {
  struct Case {
    std::string named;
    fs::path folder;  // empty: refused
    std::string title_or_error;
  };
  fs::create_directories(home_ / "Games");
  fs::create_directory_symlink(bottle_, home_ / "Games/office");  // found once, as Bottles'
  std::string error;
  ASSERT_TRUE(store::CreateDemoMachine(fs::path(KORVANTA_DATA_DIR) / "machine",
                                       home_ / ".cxoffice/Half-Life 2", error));
  const Case cases[] = {
      {"办公", bottle_, "Bottles：办公"},
      {"Steam/Half-Life 2", pfx_, "Steam：Half-Life 2"},
      {"演示计算机", home_ / ".local/share/korvanta/machine", "Korvanta：演示计算机"},
      {bottle_.string(), bottle_, ""},
      {"Half-Life 2", {}, "names several Wine prefixes"},
      {"office", {}, "nor a Wine prefix of that name"},
  };
  for (const Case& c : cases) {
    app::qt::StartMachine start =
        app::qt::ChooseStartMachine(c.named, env_, {fs::path(KORVANTA_DATA_DIR) / "machine"}, true);
    if (c.folder.empty()) {
      EXPECT_FALSE(start.chosen.choice) << c.named;
      EXPECT_NE(start.chosen.error.find(c.title_or_error), std::string::npos) << start.chosen.error;
    } else {
      ASSERT_TRUE(start.chosen.choice) << c.named << ": " << start.chosen.error;
      EXPECT_EQ(start.chosen.choice->folder, c.folder) << c.named;
      EXPECT_EQ(start.title, c.title_or_error) << c.named;
    }
  }
}

}  // namespace
}  // namespace korvanta::ui::qt
