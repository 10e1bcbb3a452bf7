// The main window's frame through korvanta-drive's host: exit and the restart
// prompt, the load order of page fills, the title bar, the cleaner's tabs.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/formmain.h"
#include "app/frame_forms.h"
#include "services/settings_table.h"
#include "support/driven_program.h"

namespace korvanta::app {
namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = test::OpenTestMachine(dir_);
    // The Windows build shares its machine with the other tests: no password left.
    machine_->reg().DeleteValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "password");
    driven_ = std::make_unique<test::DrivenProgram>(*machine_);
    program_ = &driven_->program();
  }
  std::string Drive(const std::string& scenario) { return driven_->Drive(scenario); }

  test::TempDir dir_;
  std::unique_ptr<store::Machine> machine_;
  test::FixedClock clock_;
  std::unique_ptr<test::DrivenProgram> driven_;
  services::Program* program_ = nullptr;
};

const std::string kRestartPrompt =
    "message 消息:      Korvanta已经对您的系统进行优化，重新启动计算机后优化设置即可生效，"
    "您确认启动计算机吗？按“确定”自动重启计算机，“取消”稍候手动启动计算机！";

TEST_F(FrameTest, ExitAfterAChangeAsksToRestart) {
  Drive("start\n");
  program_->RestartPending = 1;
  EXPECT_EQ(Drive("exit\n"), kRestartPrompt + " -> OK\nrestart\nended\n");
  EXPECT_TRUE(program_->ended());
  EXPECT_EQ(program_->Loaded("Formmain"), nullptr);
}

TEST_F(FrameTest, CancellingTheRestartPromptEndsWithoutRestart) {
  Drive("start\n");
  program_->RestartPending = 1;
  EXPECT_EQ(Drive("answer Cancel\nclick Labelend\n"), kRestartPrompt + " -> Cancel\nended\n");
}

// A host that shows and answers nothing, so a test can click message windows itself.
class QuietHost final : public services::Host, public ui::Dialogs {
 public:
  ui::Dialogs& dialogs() override { return *this; }
  void Show(ui::Form&) override {}
  void Unloaded(ui::Form&) override {}
  void MakeTopmost(ui::Form&) override {}
  void Beep() override { ++beeps; }
  void Launch(const services::LaunchRequest&) override {}
  void Restart() override { ++restarts; }
  void Ended() override { ++ends; }
  ui::MessageAnswer MessageBox(const ui::Form*, std::string_view, std::string_view, ui::MessageIcon,
                               ui::MessageButtons) override {
    if (while_box_open) while_box_open();
    return ui::MessageAnswer::kOk;
  }
  // What happens while a message box is open (a real one keeps the loop going).
  std::function<void()> while_box_open;
  std::optional<std::string> BrowseForFolder(const ui::Form*, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const ui::Form*, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  ui::IconPick PickIcon(const ui::Form*, const ui::IconChoice&) override { return {}; }
  int beeps = 0, restarts = 0, ends = 0;
};

TEST_F(FrameTest, WorkPostedWhileAModalBoxIsOpenRunsThen) {
  QuietHost quiet;
  services::Program program(*machine_, quiet, clock_, FormFactories());
  bool ran_while_open = false, ran = false;
  quiet.while_box_open = [&] {
    // A timer or a click the box's own message loop delivers.
    program.Act([&] { program.Post([&] { ran = true; }); });
    ran_while_open = ran;
  };
  program.Act([&] {
    program.dialogs().MessageBox(nullptr, "消息", "文本", ui::MessageIcon::kInformation,
                                 ui::MessageButtons::kOk);
  });
  EXPECT_TRUE(ran_while_open) << "it waited for the next user action";

  // A window that cannot be loaded gives no window, not a crash.
  program.End();
  EXPECT_EQ(program.Load<Formgy>(), nullptr);
}

// The log viewer, the password windows and the message windows stay above the
// main window; the tool windows and the about box do not.
TEST_F(FrameTest, OnlyTheViewerPasswordAndMessageWindowsAreTopmost) {
  QuietHost quiet;
  services::Program program(*machine_, quiet, clock_, FormFactories());
  app::OpenMainWindow(program);
  const std::pair<const char*, bool> kForms[] = {
      {"Formlog", true},   {"Formpasssz", true}, {"Formpasscw", true},
      {"Formkzmb", false}, {"Formggtb", false},  {"Formoem", false},
      {"Formyjgn", false}, {"Formwjlx", false},  {"Formgy", false}};
  for (const auto& [name, topmost] : kForms) {
    ui::Form* form = program.Show(name);
    ASSERT_NE(form, nullptr) << name;
    EXPECT_EQ(form->topmost, topmost) << name;
  }
}

TEST_F(FrameTest, CloseLabelsOfMessageWindows) {
  QuietHost quiet;
  services::Program program(*machine_, quiet, clock_, FormFactories());
  app::OpenMainWindow(program);
  program.RestartPending = 1;
  MainWindow(program)->Labelend.UserClick();
  ASSERT_EQ(program.main(), nullptr) << "the main window goes before the prompt shows";
  ui::Form* prompt = program.Loaded("Formmsg");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(quiet.beeps, 1);
  EXPECT_TRUE(prompt->topmost);
  prompt->Find("Labelend")->UserClick();
  program.RunPosted();
  EXPECT_EQ(quiet.restarts, 0) << "closing the prompt is its Cancel";
  EXPECT_EQ(quiet.ends, 1);

  // A window with one button: closing it is its OK.
  services::Program again(*machine_, quiet, clock_, FormFactories());
  ui::Form* wrong = again.Show("Formpasscw");
  ASSERT_NE(wrong, nullptr);
  wrong->Find("Labelend")->UserClick();
  again.RunPosted();
  EXPECT_EQ(again.Loaded("Formpasscw"), nullptr);
  EXPECT_NE(again.Loaded("Formpass"), nullptr) << "a fresh prompt follows";
}

TEST_F(FrameTest, EveryControlOfTheMainWindowHasItsOwnName) {
  // Pages declare their controls on one form: a name used twice would make
  // lookups by name (korvanta-drive, the renderers' object names) ambiguous.
  Drive("start\n");
  std::set<std::string> ids;
  for (const ui::Control* c : MainWindow(*program_)->all()) {
    EXPECT_TRUE(ids.insert(c->id()).second) << c->id() << " twice";
  }
}

// A row whose control is misspelt or missing from an order would be skipped
// without a word: every settings page's rows bind controls of their kinds and
// each has its own place in both orders.
TEST_F(FrameTest, EverySettingsRowIsBoundAndPlaced) {
  Drive("start\n");
  Formmain& m = *MainWindow(*program_);
  int tables = 0;
  for (const services::Page* page : m.pages()) {
    const services::SettingsTable* table = page->settings();
    if (!table) continue;
    SCOPED_TRACE("settings table " + std::to_string(tables));
    ++tables;
    EXPECT_FALSE(table->rows().empty());
    EXPECT_EQ(table->Unbound(), std::vector<std::string>{});
    EXPECT_EQ(table->Misplaced(), std::vector<std::string>{});
  }
  EXPECT_EQ(tables, 6);
}

TEST_F(FrameTest, SwitchingPagesMovesTheBarAndBringsThePageToTheFront) {
  Drive("start\n");
  Formmain& m = *MainWindow(*program_);
  EXPECT_EQ(m.current_page(), 0);
  EXPECT_FALSE(m.Label1[0]->visible());
  Drive("click Label3(5)\n");
  EXPECT_EQ(m.current_page(), 5);
  EXPECT_EQ(m.Label2.rect().top, m.Label1[5]->rect().top - 30);
  EXPECT_FALSE(m.Label1[5]->visible());
  EXPECT_TRUE(m.Label1[3]->visible());
  Drive("click Label3(5)\n");
  EXPECT_EQ(m.current_page(), 5) << "the selected item again keeps its page";
}

TEST(SideBarTest, ItemsShareTheRoomAboveTheButtons) {
  constexpr SideBarLayout nine = LayOutSideBar(9);
  EXPECT_EQ(nine.top, 720);
  EXPECT_EQ(nine.pitch, 540) << "nine pages keep the window's own pitch";
  EXPECT_EQ(nine.height, 420);
  for (int pages = 9; pages <= 12; ++pages) {
    const SideBarLayout side = LayOutSideBar(pages);
    // The log's item, after the pages' items, ends above Commandpass.
    EXPECT_LE(side.ItemTop(pages) + side.height, kSideButtonsTop) << pages << " pages";
    // The selection bar reaches 30 past an item: it stops short of the next one.
    EXPECT_LE(side.height + 30, side.pitch - 30) << pages << " pages";
  }
}

TEST_F(FrameTest, TitleBarLabelsFollowTheWindowsWidth) {
  Drive("start\n");
  Formmain& m = *MainWindow(*program_);
  m.Resize(12000, 8000);
  EXPECT_EQ(m.Labelbt.rect().width, 12000);
  EXPECT_EQ(m.Labelend.rect().left, 12000 - m.Labelend.rect().width - 100);
  EXPECT_EQ(m.Labelmin.rect().left,
            12000 - m.Labelend.rect().width - m.Labelmin.rect().width - 150);
}

TEST_F(FrameTest, CleanerTabsShowOnePanelAndHelpLeavesThemAlone) {
  std::string out = Drive(
      "start\nclick Label3(8)\nclick TabStrip1(3)\nprint ListView2\nprint Picture3\n"
      "click TabStrip1(5)\nprint Picture3\nprint TabStrip1\n");
  std::string help = "launch " + machine_->paths().ProgramFolder() + "\\help.chm\n";
  EXPECT_EQ(out,
            "ListView2 = 0 (hidden)\nPicture3 = «»\n" + help + "Picture3 = «»\nTabStrip1 = 5\n");
}

TEST_F(FrameTest, LaunchersOpenTheirWindowsAndFiles) {
  std::string folder = machine_->paths().ProgramFolder();
  std::string out = Drive(
      "start\nclick Commandzxbz\nclick Label3(3)\nclick Commandie\n"
      "click «帮助»\nclick Commandgy\nclick Image1\nclick Commandkzmb\n");
  EXPECT_EQ(out, "launch " + folder + "\\update.exe\nlaunch " + folder + "\\zdqp.exe\nlaunch " +
                     folder + "\\help.chm\n");
  EXPECT_EQ(program_->Loaded("Formgy"), nullptr) << "a click closes the about box";
}

TEST_F(FrameTest, TypedTextIsTheRestOfTheLineBlanksIncluded) {
  EXPECT_EQ(
      Drive("start\nclick Label3(1)\nclick Textjg\nprint Textjg\ntype Textjg  two  words  \r\n"
            "print Textjg\ntype Textjg\nprint Textjg\n"),
      "Textjg = «»\nTextjg = « two  words  »\nTextjg = «»\n")
      << "one blank separates the name from the text, the rest is typed";
}

}  // namespace
}  // namespace korvanta::app
