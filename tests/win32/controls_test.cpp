// Model and window kept in step both ways: what code sets shows in the windows
// and raises no event; what the user does reaches the model as its User...
// operation, once.

#include "ui/controls.h"

#include <gtest/gtest.h>

#include "app/win32/window_camera.h"
#include "gui_test.h"
#include "store/win32/win32_text.h"
#include "support/test_support.h"
#include "ui/declare.h"
#include "ui/lists.h"

namespace korvanta::ui::win32::test {
namespace {

// A window with one of every simple kind, counting the events each raises.
struct KitchenSink {
  KitchenSink() {
    form.set_rect({0, 0, 7200, 5400});
    form.set_caption("控件");
    label.on_click = [this] {
      ++events;
      ++label_clicks;
    };
    label.on_mouse_down = [this](int which, int x, int y) {
      ++events;
      mouse_downs.push_back({which, x, y});
    };
    check.on_click = [this] { ++events; };
    text.on_change = [this] { ++events; };
    text.on_click = [this] {
      ++events;
      ++text_clicks;
    };
    combo.on_click = [this] { ++events; };
    combo.on_change = [this] { ++events; };
    drop_list.on_click = [this] { ++events; };
    list.on_click = [this] { ++events; };
    multi.on_click = [this] { ++events; };
    slider.on_change = [this] { ++events; };
    slider.on_scroll = [this] { ++events; };
    tabs.on_click = [this] { ++events; };
    button.on_click = [this] {
      ++events;
      ++button_clicks;
    };
    for (const char* item : {"甲", "乙", "丙"}) {
      combo.AddItem(item);
      drop_list.AddItem(item);
      list.AddItem(item);
      multi.AddItem(item);
    }
    multi.multi_select = true;
    drop_list.editable = false;
    slider.set_range(0, 10, 1, 5, 1);
    tabs.AddTab("第一页", "一");
    tabs.AddTab("第二页", "二");
    status.AddPanel(1500);
    status.AddPanel(0);
  }

  Form form{"Formtest"};
  Label& label = Place<Label>(form, "Label1", {120, 120, 1800, 300}, "标签");
  CheckBox& check = Place<CheckBox>(form, "Check1", {120, 480, 2400, 300}, "选项");
  TextBox& text = Place<TextBox>(form, "Text1", {120, 840, 2400, 330});
  ComboBox& combo = Place<ComboBox>(form, "Combo1", {120, 1260, 2400, 330});
  ComboBox& drop_list = Place<ComboBox>(form, "Combo2", {120, 1680, 2400, 330});
  ListBox& list = Place<ListBox>(form, "List1", {120, 2100, 2400, 900});
  ListBox& multi = Place<ListBox>(form, "List2", {2700, 2100, 2400, 900});
  Slider& slider = Place<Slider>(form, "Slider1", {2700, 120, 3000, 450});
  TabStrip& tabs = Place<TabStrip>(form, "TabStrip1", {2700, 720, 3000, 900});
  StatusBar& status = Place<StatusBar>(form, "StatusBar1", {0, 4800, 7200, 360});
  CommandButton& button = Place<CommandButton>(form, "Command1", {120, 3300, 1200, 375}, "确定");
  int events = 0, label_clicks = 0, text_clicks = 0, button_clicks = 0;
  struct MouseDown {
    int button, x, y;
  };
  std::vector<MouseDown> mouse_downs;
};

class ControlsTest : public GuiTest {
 protected:
  int Checked(const Control& c) {
    return static_cast<int>(SendMessageW(Window(c), BM_GETCHECK, 0, 0));
  }
};

TEST_F(ControlsTest, WhatCodeSetsShowsWithoutRaisingEvents) {
  KitchenSink s;
  ShowForm(s.form);
  ASSERT_NE(Window(s.form), nullptr);

  s.label.set_caption("新标签");
  s.check.set_ticked(true);
  s.text.set_text("第一行\n第二行");
  s.combo.set_list_index(2);
  s.drop_list.set_list_index(1);
  s.list.set_list_index(1);
  s.multi.set_selected(0, true);
  s.multi.set_selected(2, true);
  s.slider.set_value(7);
  s.tabs.set_selected(2);
  s.status.set_panel_text(1, "就绪");
  s.status.set_panel_text(2, "共 3 项");
  s.form.set_caption("新标题");
  Pump();

  EXPECT_EQ(TextOf(Window(s.label)), "新标签");
  EXPECT_EQ(Checked(s.check), BST_CHECKED);
  EXPECT_EQ(TextOf(Window(s.text)), "第一行\r\n第二行") << "single-line edits keep CR LF";
  EXPECT_EQ(SendMessageW(Window(s.combo), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(TextOf(Window(s.combo)), "丙");
  EXPECT_EQ(SendMessageW(Window(s.drop_list), CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(Window(s.list), LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(Window(s.multi), LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_GT(SendMessageW(Window(s.multi), LB_GETSEL, 2, 0), 0);
  EXPECT_EQ(SendMessageW(Window(s.slider), TBM_GETPOS, 0, 0), 7);
  EXPECT_EQ(SendMessageW(Window(s.tabs), TCM_GETCURSEL, 0, 0), 1) << "tab 2 of the model";
  wchar_t panel[64] = {};
  SendMessageW(Window(s.status), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(panel));
  EXPECT_EQ(store::Narrow(panel), "共 3 项");
  EXPECT_EQ(TextOf(Window(s.form)), "新标题");

  // Lists refilled, ranges changed, controls hidden and disabled.
  s.combo.Clear();
  s.combo.AddItem("唯一");
  s.slider.set_range(0, 4, 1, 2, 1);
  s.check.set_visible(false);
  s.text.set_enabled(false);
  s.button.set_caption("取消(&C)");
  Pump();
  EXPECT_EQ(SendMessageW(Window(s.combo), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(Window(s.slider), TBM_GETRANGEMAX, 0, 0), 4);
  EXPECT_EQ(SendMessageW(Window(s.slider), TBM_GETPOS, 0, 0), 4) << "the value was clamped";
  EXPECT_FALSE(IsWindowVisible(Window(s.check)));
  EXPECT_FALSE(IsWindowEnabled(Window(s.text)));
  EXPECT_EQ(TextOf(Window(s.button)), "取消(&C)");

  EXPECT_EQ(s.events, 0) << "a change from code came back as a user's action";
  EXPECT_EQ(actions_done, 0);
}

TEST_F(ControlsTest, WhatTheUserDoesReachesTheModelOnce) {
  KitchenSink s;
  ShowForm(s.form);

  Click(s.check);
  EXPECT_TRUE(s.check.ticked());
  EXPECT_EQ(Checked(s.check), BST_CHECKED);
  EXPECT_EQ(s.events, 1);
  Click(s.check);
  EXPECT_FALSE(s.check.ticked());
  EXPECT_EQ(Checked(s.check), BST_UNCHECKED);

  s.events = 0;
  Focus(s.text);
  Type(L"你好");
  EXPECT_EQ(s.text.text(), "你好");
  EXPECT_EQ(s.events, 2) << "one Change per character";

  s.events = 0;
  Click(s.text);
  EXPECT_EQ(s.text_clicks, 1);

  s.events = 0;
  Focus(s.drop_list);
  Press(VK_DOWN);
  EXPECT_EQ(s.drop_list.list_index(), 0);
  EXPECT_EQ(s.drop_list.text(), "甲");
  Press(VK_DOWN);
  EXPECT_EQ(s.drop_list.list_index(), 1);
  EXPECT_EQ(s.events, 2);

  s.events = 0;
  Focus(s.combo);
  Type(L"丁");
  EXPECT_EQ(s.combo.text(), "丁");
  EXPECT_EQ(s.combo.list_index(), -1);
  EXPECT_EQ(s.events, 1);

  s.events = 0;
  RECT item{};
  SendMessageW(Window(s.list), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  Click(Window(s.list), {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  EXPECT_EQ(s.list.list_index(), 2);
  EXPECT_TRUE(s.list.selected(2));
  EXPECT_EQ(s.events, 1);

  s.events = 0;
  SendMessageW(Window(s.multi), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  POINT second{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  Click(Window(s.multi), second);
  SendMessageW(Window(s.multi), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  Click(Window(s.multi), {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  EXPECT_TRUE(s.multi.selected(0));
  EXPECT_TRUE(s.multi.selected(1)) << "a multi-select list keeps the first item";
  Click(Window(s.multi), second);
  EXPECT_FALSE(s.multi.selected(1)) << "a second click deselects";
  EXPECT_EQ(s.events, 3);

  s.events = 0;
  Focus(s.slider);
  Press(VK_RIGHT);
  EXPECT_EQ(s.slider.value(), 1);
  Press(VK_NEXT);
  EXPECT_EQ(s.slider.value(), 6) << "a page is the large change";
  EXPECT_EQ(s.events, 4) << "Scroll and Change per step";

  s.events = 0;
  RECT tab{};
  SendMessageW(Window(s.tabs), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  Click(Window(s.tabs), {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
  EXPECT_EQ(s.tabs.selected(), 2);
  EXPECT_EQ(s.events, 1);

  s.events = 0;
  Click(s.button);
  EXPECT_EQ(s.button_clicks, 1);
  EXPECT_GT(actions_done, 0) << "every action ends with the program's posted work";
}

TEST_F(ControlsTest, LabelsClickAndReportWhereTheMouseWent) {
  KitchenSink s;
  ShowForm(s.form);
  Click(Window(s.label), {30, 10});
  EXPECT_EQ(s.label_clicks, 1);
  ASSERT_EQ(s.mouse_downs.size(), 1u);
  EXPECT_EQ(s.mouse_downs[0].button, 1);
  EXPECT_EQ(s.mouse_downs[0].x, 30 * 1440 / WindowDpi(Window(s.form)));
  EXPECT_EQ(s.mouse_downs[0].y, 10 * 1440 / WindowDpi(Window(s.form)));
  RightClick(s.label);
  ASSERT_EQ(s.mouse_downs.size(), 2u);
  EXPECT_EQ(s.mouse_downs[1].button, 2);
  EXPECT_EQ(s.label_clicks, 1) << "the right button does not click";

  // Disabled: the model ignores it, and so does the window.
  s.label.set_enabled(false);
  Click(s.label);
  EXPECT_EQ(s.label_clicks, 1);
}

TEST_F(ControlsTest, ATitleLabelDragsItsWindow) {
  Form form("Formdrag");
  form.set_rect({0, 0, 4800, 3000});
  Label& title = Place<Label>(form, "Labelbt", {0, 0, 4800, 360}, "标题");
  title.drags_window = true;
  int clicks = 0;
  title.on_click = [&] { ++clicks; };
  ShowForm(form);
  RECT before{};
  GetWindowRect(Window(form), &before);
  RECT bar = ScreenRect(title);
  POINT from{bar.left + 40, bar.top + 10};
  Drag(from, {from.x + 90, from.y + 60});
  RECT after{};
  GetWindowRect(Window(form), &after);
  EXPECT_EQ(after.left - before.left, 90);
  EXPECT_EQ(after.top - before.top, 60);
  EXPECT_EQ(clicks, 0) << "dragging is not clicking";
}

TEST_F(ControlsTest, OptionButtonsShowTheirGroupsAsTheModelDecides) {
  Form form("Formoption");
  form.set_rect({0, 0, 6000, 3600});
  Frame& a = Place<Frame>(form, "Frame1", {120, 120, 2700, 2000}, "甲组");
  Frame& b = Place<Frame>(form, "Frame2", {3000, 120, 2700, 2000}, "乙组");
  auto& a1 = Place<OptionButton>(a, "Option1", {120, 300, 2400, 300}, "一");
  auto& a2 = Place<OptionButton>(a, "Option2", {120, 700, 2400, 300}, "二");
  auto& b1 = Place<OptionButton>(b, "Option3", {120, 300, 2400, 300}, "三");
  auto& g1 = Place<OptionButton>(a, "Option4", {120, 1100, 2400, 300}, "四");
  auto& g2 = Place<OptionButton>(b, "Option5", {120, 1100, 2400, 300}, "五");
  g1.group = g2.group = "mode";
  a1.set_selected(true);
  b1.set_selected(true);
  g1.set_selected(true);
  int clicks = 0;
  for (OptionButton* o : {&a1, &a2, &b1, &g1, &g2}) o->on_click = [&] { ++clicks; };
  ShowForm(form);
  auto shown = [&](const OptionButton& o) {
    return SendMessageW(Window(o), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  EXPECT_TRUE(shown(a1));
  EXPECT_TRUE(shown(b1));

  Click(a2);
  EXPECT_TRUE(a2.selected());
  EXPECT_FALSE(a1.selected());
  EXPECT_TRUE(shown(a2));
  EXPECT_FALSE(shown(a1)) << "the window shows what the model cleared";
  EXPECT_TRUE(shown(b1)) << "another frame is another group";
  EXPECT_TRUE(shown(g1)) << "a named group is not the frame's";

  Click(g2);
  EXPECT_FALSE(shown(g1));
  EXPECT_TRUE(shown(g2));
  EXPECT_TRUE(shown(a2));
  Click(g2);
  EXPECT_TRUE(shown(g2)) << "a selected option stays selected";
  EXPECT_EQ(clicks, 3);
}

TEST_F(ControlsTest, FramesPlaceShowAndOrderTheirControls) {
  Form form("Formframe");
  form.set_rect({0, 0, 6000, 4500});
  Frame& frame = Place<Frame>(form, "Frame1", {600, 900, 3000, 2400}, "框架");
  CheckBox& inside = Place<CheckBox>(frame, "Check1", {150, 450, 2400, 300}, "框内");
  Frame& nested = Place<Frame>(frame, "Frame2", {150, 900, 2700, 1200}, "内框");
  Label& deep = Place<Label>(nested, "Label1", {150, 300, 1500, 300}, "最里");
  ShowForm(form);
  int dpi = WindowDpi(Window(form));
  auto origin = [&](const Control& c) {
    RECT r{};
    GetWindowRect(Window(c), &r);
    POINT p{r.left, r.top};
    ScreenToClient(Window(form), &p);
    return p;
  };
  EXPECT_EQ(GetParent(Window(inside)), Window(form)) << "a group box holds no windows";
  EXPECT_EQ(origin(inside).x, TwipsToPixels(600 + 150, dpi));
  EXPECT_EQ(origin(inside).y, TwipsToPixels(900 + 450, dpi));
  EXPECT_EQ(origin(deep).x, TwipsToPixels(600 + 150 + 150, dpi));
  EXPECT_EQ(origin(deep).y, TwipsToPixels(900 + 900 + 300, dpi));

  // In front of their frames, which would otherwise hide them.
  auto in_front_of = [](HWND front, HWND back) {
    for (HWND h = GetWindow(front, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT)) {
      if (h == back) return true;
    }
    return false;
  };
  EXPECT_TRUE(in_front_of(Window(inside), Window(frame)));
  EXPECT_TRUE(in_front_of(Window(deep), Window(nested)));
  EXPECT_TRUE(in_front_of(Window(nested), Window(frame)));
  frame.BringToFront();
  Pump();
  EXPECT_TRUE(in_front_of(Window(inside), Window(frame))) << "still after the frame moved up";

  frame.Move(1200, 600);
  Pump();
  EXPECT_EQ(origin(deep).x, TwipsToPixels(1200 + 150 + 150, dpi));
  frame.set_visible(false);
  Pump();
  EXPECT_FALSE(IsWindowVisible(Window(inside)));
  EXPECT_FALSE(IsWindowVisible(Window(deep)));
  frame.set_visible(true);
  nested.set_enabled(false);
  Pump();
  EXPECT_TRUE(IsWindowVisible(Window(deep)));
  EXPECT_FALSE(IsWindowEnabled(Window(deep)));
  EXPECT_TRUE(IsWindowEnabled(Window(inside)));
}

TEST_F(ControlsTest, WindowsStackAsTheModelOrdersThem) {
  Form form("Formpages");
  form.set_rect({0, 0, 6000, 4500});
  std::vector<PictureBox*> pages;
  for (int i = 0; i < 3; ++i) {
    pages.push_back(&PlaceAt<PictureBox>(form, "Picture1", i, {300, 300, 4500, 3000}));
    Place<Label>(*pages.back(), "Label" + std::to_string(i), {120, 120, 2000, 300},
                 "第" + std::to_string(i) + "页");
  }
  ShowForm(form);
  auto top_page = [&] {
    RECT r = ScreenRect(*pages[0]);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(Window(form), &centre);
    return ChildWindowFromPointEx(Window(form), centre, CWP_SKIPINVISIBLE);
  };
  EXPECT_EQ(top_page(), Window(*pages[2])) << "the last declared is in front";
  pages[0]->BringToFront();
  Pump();
  EXPECT_EQ(top_page(), Window(*pages[0]));
  pages[1]->BringToFront();
  Pump();
  EXPECT_EQ(top_page(), Window(*pages[1]));
  EXPECT_EQ(GetWindow(Window(*pages[1]), GW_HWNDNEXT), Window(*pages[0]));
}

TEST_F(ControlsTest, DefaultAndCancelButtonsAnswerEnterAndEsc) {
  Form form("Formkeys");
  form.set_rect({0, 0, 4800, 2400});
  PictureBox& panel = Place<PictureBox>(form, "Picture1", {0, 0, 4800, 2400});
  TextBox& text = Place<TextBox>(panel, "Text1", {240, 240, 2400, 330});
  CommandButton& ok = Place<CommandButton>(panel, "Command1", {240, 1200, 1200, 375}, "确定");
  CommandButton& cancel = Place<CommandButton>(panel, "Command2", {1680, 1200, 1200, 375}, "取消");
  ok.is_default = true;
  cancel.is_cancel = true;
  int oks = 0, cancels = 0;
  ok.on_click = [&] { ++oks; };
  cancel.on_click = [&] { ++cancels; };
  ShowForm(form);
  Focus(text);
  // The message loop's keyboard handling, as the program runs it.
  Press(VK_RETURN);
  EXPECT_EQ(oks, 1);
  Press(VK_ESCAPE);
  EXPECT_EQ(cancels, 1);
  // Tab follows the order the form declares its controls in.
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Window(ok));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Window(cancel));
  Press(VK_RETURN);
  EXPECT_EQ(cancels, 2) << "Enter presses the button with the focus";
  EXPECT_EQ(oks, 1);
  // Alt and the underlined letter.
  ok.set_caption("确定(&O)");
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[3].ki.wVk = VK_MENU;
  in[1].ki.wVk = in[2].ki.wVk = 'O';
  in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, in, sizeof(INPUT));
  Pump();
  EXPECT_EQ(oks, 2);
}

TEST_F(ControlsTest, TimersRunWhileTheModelSaysSo) {
  Form form("Formtimer");
  form.set_rect({0, 0, 3000, 1500});
  Timer& timer = Place<Timer>(form, "Timer1", {});
  int fired = 0;
  timer.on_timer = [&] {
    if (++fired == 2) timer.set_running(false);
  };
  timer.set_interval(40);
  ShowForm(form);
  Pump(300);
  EXPECT_EQ(fired, 0) << "not running yet";
  timer.set_running(true);
  Pump(600);
  EXPECT_EQ(fired, 2) << "it stopped itself after the second time";
}

// A 24-bit bitmap file of one colour.
std::string SolidBitmap(int size, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  auto put = [](std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
  };
  int row = (size * 3 + 3) / 4 * 4;
  std::string bmp = "BM";
  put(bmp, static_cast<std::uint32_t>(54 + row * size), 4);
  put(bmp, 0, 4);
  put(bmp, 54, 4);
  put(bmp, 40, 4);
  put(bmp, static_cast<std::uint32_t>(size), 4);
  put(bmp, static_cast<std::uint32_t>(size), 4);
  put(bmp, 1, 2);
  put(bmp, 24, 2);
  put(bmp, 0, 4);
  put(bmp, static_cast<std::uint32_t>(row * size), 4);
  put(bmp, 2835, 4);
  put(bmp, 2835, 4);
  put(bmp, 0, 8);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x)
      bmp += {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    bmp.append(static_cast<std::size_t>(row - size * 3), '\0');
  }
  return bmp;
}

// A control's window as it is on the screen, read a pixel at a time.
struct Shot {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;

  bool Take(HWND window) { return app::win32::CaptureWindow(window, width, height, rgb); }
  // The pixel at x, y as 0xRRGGBB.
  std::uint32_t Pixel(int x, int y) const {
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                     3;
    return std::uint32_t{rgb[at]} << 16 | std::uint32_t{rgb[at + 1]} << 8 | rgb[at + 2];
  }
};

TEST_F(ControlsTest, PictureBoxesShowTheirPictures) {
  korvanta::test::TempDir dir;
  std::filesystem::path file = dir.path() / "红色.bmp";
  korvanta::test::WriteBytes(file, SolidBitmap(8, 255, 0, 0));
  Form form("Formpicture");
  form.set_rect({0, 0, 3000, 1500});
  PictureBox& box = Place<PictureBox>(form, "Picture1", {0, 0, 1200, 1200});
  box.set_back_color(Color::Rgb(0xffffff));
  PictureBox& icon = Place<PictureBox>(form, "Image1", {1500, 0, 480, 480});
  ShowForm(form);
  Shot shot;
  ASSERT_TRUE(shot.Take(Window(box)));
  EXPECT_EQ(shot.Pixel(3, 3), 0xffffffu) << "nothing yet";
  box.set_picture({Picture::Type::kFile, store::Narrow(file.wstring()), 0});
  Pump();
  int scale = WindowDpi(Window(form)) / 96;
  ASSERT_TRUE(shot.Take(Window(box)));
  EXPECT_EQ(shot.Pixel(3 * scale, 3 * scale), 0xff0000u) << "the picture, top left";
  EXPECT_EQ(shot.Pixel(40, 40), 0xffffffu) << "the box's colour beyond it";

  // How many of 36 points of the icon box differ from its empty background once
  // the picture is set.
  ASSERT_TRUE(shot.Take(Window(icon)));
  const std::uint32_t background = shot.Pixel(16, 16);
  auto differing_after = [&](const Picture& picture) {
    icon.set_picture(picture);
    Pump();
    if (!shot.Take(Window(icon))) return -1;
    int differing = 0;
    for (int y = 4; y < 28; y += 4) {
      for (int x = 4; x < 28; x += 4) differing += shot.Pixel(x, y) != background;
    }
    return differing;
  };
  // One of the system's message icons draws something over the background.
  EXPECT_GT(differing_after({Picture::Type::kResource, "icon-critical", 0}), 10);

  // An icon of a library named without its folder, found as the shell finds it;
  // a file without that icon leaves the box empty again.
  EXPECT_GT(differing_after({Picture::Type::kIcon, "shell32.dll", 4}), 10);
  EXPECT_EQ(differing_after({Picture::Type::kIcon, "x.dll", 4}), 0);
}

}  // namespace
}  // namespace korvanta::ui::win32::test
