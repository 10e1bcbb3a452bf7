// The program through the Win32 host: where its windows appear, which stand over
// which, and the frame's own behaviour (pages, minimise, close, exit, the
// password prompt), all through real windows and real input.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/formmain.h"
#include "app/forms.h"
#include "app/win32/win32_host.h"
#include "gui_test.h"
#include "services/program.h"
#include "store/clock.h"
#include "store/machine.h"
#include "store/win32/machine_win32.h"
#include "store/win32/win32_text.h"
#include "support/test_support.h"
#include "ui/win32/label_window.h"

namespace korvanta::ui::win32::test {
namespace {

// Texts that cannot fit without moving controls the design places.
const std::set<std::string> kMayClip = {
    "Formmain.Labeljsj",  // the machine's folder: as long as the user's path, shortened in the
                          // middle
};

std::wstring ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

// The size text takes drawn in the window's own font, wrapped at width when
// flags say DT_WORDBREAK.
SIZE Measure(HWND w, const std::wstring& text, int width, UINT flags) {
  HDC dc = GetDC(w);
  auto font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  return {r.right, r.bottom};
}

bool Fits(SIZE need, int width, int height) {
  return need.cx <= width && need.cy <= height;
}

// What one window shows: each text measured against the room its window gives
// it, and whether a list came with a row chosen or focused.
struct WindowCheck {
  std::string form;
  std::vector<std::string> faults;
  int measured = 0;

  void Text(HWND w, const std::wstring& text, bool fits) {
    ++measured;
    ControlWindow* control = ControlWindow::FromHwnd(w);
    std::string where =
        form + "." + (control ? control->control().id() : store::Narrow(ClassOf(w)));
    if (!fits && !kMayClip.contains(where))
      faults.push_back(where + " clips " + store::Narrow(text));
  }
  void Chosen(HWND w, bool chosen) {
    ControlWindow* control = ControlWindow::FromHwnd(w);
    if (chosen)
      faults.push_back(form + "." + (control ? control->control().id() : "?") +
                       " opens with a row chosen");
  }
  void Check(HWND w) {
    std::wstring kind = ClassOf(w);
    auto style = static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE));
    RECT client{};
    GetClientRect(w, &client);
    int dpi = WindowDpi(w), width = client.right, height = client.bottom;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    if (kind == L"Button" && !text.empty()) {
      DWORD type = style & BS_TYPEMASK;
      if (type == BS_GROUPBOX) {
        Text(w, text, Measure(w, text, 0, DT_SINGLELINE).cx + MulDiv(20, dpi, 96) <= width);
      } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        Text(w, text, Fits(Measure(w, text, 0, DT_SINGLELINE), width - MulDiv(6, dpi, 96), height));
      } else {
        int box = MulDiv(13 + 4, dpi, 96);  // the box and the gap before the text
        UINT wrap = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        Text(w, text, Fits(Measure(w, text, width - box, wrap), width - box, height));
      }
    } else if (kind == L"Static") {
      auto* label = dynamic_cast<LabelWindow*>(ControlWindow::FromHwnd(w));
      if (!label || text.empty()) return;
      const Label& model = static_cast<const Label&>(label->control());
      const Appearance& a = model.appearance();
      int indent = (!label->see_through() || a.border) && a.align != Align::kCenter
                       ? MulDiv(4, dpi, 96) + (a.border ? 1 : 0)
                       : 0;
      int line = Measure(w, L"国", 0, DT_SINGLELINE).cy;
      // One line high: one line in the middle; taller: a paragraph.
      UINT flags = height < 2 * line ? DT_SINGLELINE : model.word_wrap ? DT_WORDBREAK : 0;
      Text(w, text, Fits(Measure(w, text, width - 2 * indent, flags), width - 2 * indent, height));
    } else if (kind == L"ListBox") {
      int count = static_cast<int>(SendMessageW(w, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(w, LB_GETTEXTLEN, i, 0)) + 1,
                          L'\0');
        item.resize(static_cast<std::size_t>(
            SendMessageW(w, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        RECT r{};
        SendMessageW(w, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        int room = std::min<int>(r.right, width) - r.left - MulDiv(4, dpi, 96);
        Text(w, item,
             Fits(Measure(w, item, room, DT_WORDBREAK | DT_NOPREFIX), room, r.bottom - r.top));
      }
      Chosen(w, (style & LBS_MULTIPLESEL) ? SendMessageW(w, LB_GETSELCOUNT, 0, 0) > 0
                                          : SendMessageW(w, LB_GETCURSEL, 0, 0) != LB_ERR);
    } else if (kind == WC_LISTVIEWW) {
      HWND header = reinterpret_cast<HWND>(SendMessageW(w, LVM_GETHEADER, 0, 0));
      // Every column's caption shows whole, inside the list with its vertical
      // scroll bar shown.
      int room = width - ((style & WS_VSCROLL) ? 0 : GetSystemMetrics(SM_CXVSCROLL));
      int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
      for (int i = 0; i < columns; ++i) {
        wchar_t caption[128] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = caption;
        item.cchTextMax = 128;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        RECT r{};
        SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        int need = Measure(header, caption, 0, DT_SINGLELINE).cx + MulDiv(12, dpi, 96);
        Text(w, caption, need <= r.right - r.left && r.left + need <= room);
      }
      Chosen(w, SendMessageW(w, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != -1 ||
                    SendMessageW(w, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) != -1);
    }
  }
};

class ProgramHostTest : public GuiTest {
 protected:
  ProgramHostTest()
      : machine_(store::OpenLiveMachine(dir_.path().string())),
        host_(machine_, renderer()),
        program_(machine_, host_, clock_, app::FormFactories()) {
    machine_.reg().DeleteValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "password");
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
  store::Machine machine_;
  store::SystemClock clock_;
  app::win32::Win32Host host_;
  services::Program program_;
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

// Every window as it opens, and the main window with each of its pages (and the
// cleaner's panels and notes) in front: each text fits where it is shown, and
// no list has a row chosen or focused before the user picks one.
// An enumeration callback: a lambda does not take the i686 calling convention.
BOOL CALLBACK CheckShownChild(HWND w, LPARAM check) {
  if (IsWindowVisible(w)) reinterpret_cast<WindowCheck*>(check)->Check(w);
  return TRUE;
}

TEST_F(ProgramHostTest, EveryWindowOpensWithTextsThatFitAndNothingChosen) {
  app::Formmain& main = OpenMain();
  int measured = 0;
  std::map<std::string, std::string> faults;  // each fault, where it was seen first
  auto look = [&](const std::string& name, const std::string& view) {
    program_.RunPosted();
    Pump(100);
    ui::Form* form = program_.Loaded(name);
    ASSERT_NE(form, nullptr) << view;
    WindowCheck seen;
    seen.form = name;
    EnumChildWindows(Window(*form), CheckShownChild, reinterpret_cast<LPARAM>(&seen));
    for (const std::string& fault : seen.faults) faults.emplace(fault, view);
    measured += seen.measured;
  };
  auto act = [&](ui::Control& c) { program_.Act([&] { c.UserClick(); }); };
  for (int page = 0; page < app::kPageCount; ++page) {
    act(*main.Label3[static_cast<std::size_t>(page)]);
    look("Formmain", "page " + std::to_string(page));
  }
  cleaner::CleanerPage& cleaner = main.cleaner;
  for (int tab = 2; tab <= 4; ++tab) {
    program_.Act([&] { cleaner.TabStrip1.UserSelectTab(tab); });
    look("Formmain", "cleaner tab " + std::to_string(tab));
  }
  program_.Act([&] { cleaner.TabStrip1.UserSelectTab(2); });
  act(cleaner.Optionkssm);
  ASSERT_EQ(cleaner.Listdiv1.count(), 1);
  look("Formmain", "the quick scan's note");
  act(cleaner.Checkddsm);
  look("Formmain", "the custom folder's note");
  act(cleaner.Checkddsm);

  // A context-menu entry, for the tool's list to have a first row to give away.
  const std::string verb = "SOFTWARE\\CLASSES\\Directory\\shell\\1";
  machine_.reg().SetValue(store::RegRoot::kLocalMachine, verb, "", store::kRegSz,
                          store::Variant("记事本"));
  machine_.reg().SetValue(store::RegRoot::kLocalMachine, verb + "\\command", "", store::kRegSz,
                          store::Variant("notepad.exe"));
  for (const auto& [name, factory] : app::FormFactories()) {
    if (name == "Formqd" || name == "Formmain") continue;
    ui::Form* form = program_.Show(name);
    ASSERT_NE(form, nullptr) << name;
    look(name, name);
    if (program_.Loaded(name) == form) program_.Unload(*form);
    program_.RunPosted();
    main.set_enabled(true);  // after Formpass
    Pump();
  }
  machine_.reg().DeleteKey(store::RegRoot::kLocalMachine, verb + "\\command");
  machine_.reg().DeleteKey(store::RegRoot::kLocalMachine, verb);
  for (const auto& [fault, view] : faults) ADD_FAILURE() << view << ": " << fault;
  EXPECT_GE(measured, 400);
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
