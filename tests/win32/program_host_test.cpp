// The program through the Win32 host: where its windows appear, which stand over
// which, and the frame's own behaviour (pages, minimise, close, exit, the
// password prompt), all through real windows and real input.

#include <gtest/gtest.h>

#include "app/formmain.h"
#include "app/forms.h"
#include "app/win32/win32_host.h"
#include "gui_test.h"
#include "services/program.h"
#include "store/clock.h"
#include "store/machine.h"
#include "store/win32/machine_win32.h"
#include "support/test_support.h"

namespace korvanta::ui::win32::test {
namespace {

class ProgramHostTest : public GuiTest {
 protected:
  ProgramHostTest()
      : machine_(OpenLiveMachine(dir_.path().string())),
        host_(machine_, renderer()),
        program_(machine_, host_, clock_, app::FormFactories()) {
    machine_.reg().DeleteValue(RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "password");
    host_.set_program(&program_);
    // Counted too: the host replaced the fixture's hook with the program's.
    renderer().run_user_action = [this](const std::function<void()>& action) {
      ++actions_done;
      program_.Act(action);
    };
  }
  ~ProgramHostTest() override {
    if (!program_.ended()) program_.End();
    Pump(0);
  }
  app::Formmain& OpenMain() {
    app::OpenMainWindow(program_);
    program_.RunPosted();
    app::Formmain* main = app::MainWindow(program_);
    EXPECT_NE(main, nullptr);
    SetForegroundWindow(Window(*main));
    Pump(150);
    return *main;
  }
  static POINT Centre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  korvanta::test::TempDir dir_;
  Machine machine_;
  SystemClock clock_;
  Win32Host host_;
  app::Program program_;
};

TEST_F(ProgramHostTest, TheMainWindowOpensCentredAndSwitchesPages) {
  app::Formmain& main = OpenMain();
  HWND window = Window(main);
  ASSERT_TRUE(IsWindowVisible(window));
  auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_SYSMENU) << "the taskbar's menu";
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_EQ(TextOf(window), "Korvanta V3.5");

  int dpi = WindowDpi(window);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, TwipsToPixels(10500, dpi));
  EXPECT_EQ(r.bottom - r.top, TwipsToPixels(7500, dpi));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);

  // The close label sits where the frame's resize put it: 100 twips from the edge.
  RECT close = ScreenRect(main.Labelend);
  EXPECT_EQ(close.right - r.left, TwipsToPixels(10500 - 100, dpi));

  for (int page : {3, 8, 0}) {
    Click(*main.Label3[static_cast<std::size_t>(page)]);
    EXPECT_EQ(main.current_page(), page);
    RECT area = ScreenRect(*main.Picture1[0]);
    POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ScreenToClient(window, &centre);
    EXPECT_EQ(ChildWindowFromPointEx(window, centre, CWP_SKIPINVISIBLE),
              Window(*main.Picture1[static_cast<std::size_t>(page)]))
        << "page " << page << " is not the one in front";
  }
}

TEST_F(ProgramHostTest, SmallWindowsStandOverTheMainWindowAndClose) {
  app::Formmain& main = OpenMain();
  Click(main.Labe3);
  ui::Form* log = program_.Loaded("Formlog");
  ASSERT_NE(log, nullptr);
  HWND window = Window(*log);
  ASSERT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), Window(main)) << "no taskbar button of its own";
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER) << "its one-pixel outline";
  POINT mine = Centre(window), over = Centre(Window(main));
  EXPECT_NEAR(mine.x, over.x, 1);
  EXPECT_NEAR(mine.y, over.y, 1);

  // Alt+F4 and the like close it the way its close label does.
  SendMessageW(window, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(program_.Loaded("Formlog"), nullptr);
  EXPECT_FALSE(IsWindow(window)) << "the window went once the message was handled";
  EXPECT_TRUE(IsWindowVisible(Window(main)));
}

TEST_F(ProgramHostTest, ThePasswordPromptHoldsTheMainWindow) {
  app::Formmain& main = OpenMain();
  program_.Show("Formpass");
  program_.RunPosted();
  Pump(150);
  EXPECT_FALSE(IsWindowEnabled(Window(main)));
  ui::Form* prompt = program_.Loaded("Formpass");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(GetFocus(), Window(*prompt->Find("Textpass"))) << "ready for typing";
  // No password is stored: Enter with nothing typed lets the user in.
  Press(VK_RETURN);
  EXPECT_EQ(program_.Loaded("Formpass"), nullptr);
  EXPECT_TRUE(IsWindowEnabled(Window(main)));
}

TEST_F(ProgramHostTest, TheMinimiseLabelMinimisesAndTheTaskbarRestores) {
  app::Formmain& main = OpenMain();
  Click(main.Labelmin);
  EXPECT_TRUE(IsIconic(Window(main)));
  EXPECT_TRUE(main.minimized());
  ShowWindow(Window(main), SW_RESTORE);
  Pump();
  EXPECT_FALSE(IsIconic(Window(main)));
  EXPECT_FALSE(main.minimized());
}

TEST_F(ProgramHostTest, ExitEndsTheMessageLoop) {
  app::Formmain& main = OpenMain();
  HWND window = Window(main);
  // Nothing was changed: the close label ends the program, and the host ends the
  // message loop.
  Click(main.Labelend);
  EXPECT_TRUE(program_.ended());
  MSG msg{};
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  Pump(0);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace korvanta::ui::win32::test
