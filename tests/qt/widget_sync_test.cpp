// Each control kind against its native widget: the model's changes reach the
// widget without raising events, the user's input reaches the model once and is
// followed by the program's posted work, and what the model refuses does not
// stick on the widget.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTimer>
#include <QtTest/QTest>

#include "qt/qt_test_support.h"
#include "ui/declare.h"
#include "ui/lists.h"
#include "ui/qt/container_views.h"
#include "ui/qt/list_views.h"
#include "ui/qt/renderer.h"
#include "ui/qt/units.h"

namespace korvanta::ui::qt {
namespace {

using ui::Place;

// A form with one of each kind, its events counted.
class WidgetSync : public ::testing::Test {
 protected:
  WidgetSync()
      : pictures_({test::PicturesFolder()}, nullptr), context_(pictures_), renderer_(context_) {
    context_.run_action = [this](const std::function<void()>& action) {
      action();
      ++actions_;
      for (auto& task : posted_) task();
      posted_.clear();
    };
    form_.set_rect({0, 0, 9000, 6000});
    form_.set_caption("测试窗口");
    title_.drags_window = true;
    title_.on_mouse_down = [this](int, int, int) { ++count_["title down"]; };
    title_.on_click = [this] { ++count_["title click"]; };
    label_.on_click = [this] { ++count_["label click"]; };
    label_.on_mouse_down = [this](int button, int, int) {
      count_["label down button " + std::to_string(button)]++;
    };
    ok_.on_click = [this] {
      ++count_["ok"];
      posted_.push_back([this] { ++count_["posted after ok"]; });
    };
    ok_.is_default = true;
    cancel_.is_cancel = true;
    cancel_.on_click = [this] { ++count_["cancel"]; };
    check_.on_click = [this] { ++count_["check"]; };
    text_.on_change = [this] { ++count_["text change"]; };
    locked_.locked = true;
    locked_.set_text("只读");
    combo_.editable = false;
    for (const char* item : {"一", "二", "三"}) combo_.AddItem(item);
    combo_.on_click = [this] { ++count_["combo"]; };
    for (const char* item : {"甲", "乙", "丙"}) list_.AddItem(item);
    multi_.multi_select = true;
    for (const char* item : {"子", "丑", "寅"}) multi_.AddItem(item);
    multi_.on_click = [this] { ++count_["multi"]; };
    edit_.on_change = [this] { ++count_["edit change"]; };
    edit_.AddItem("C:\\");
    list_.on_click = [this] { ++count_["list"]; };
    slider_.set_range(0, 10, 1, 5, 1);
    slider_.on_scroll = [this] { ++count_["scroll"]; };
    slider_.on_change = [this] { ++count_["slide"]; };
    for (const char* tab : {"第一", "第二", "第三"}) tabs_.AddTab(tab, std::string(tab) + "页");
    tabs_.on_click = [this] { ++count_["tab"]; };
    status_.AddPanel(1500);
    status_.AddPanel(0);
  }

  ~WidgetSync() override { renderer_.Destroy(form_); }

  FormWindow& Show() {
    form_.set_visible(true);
    FormWindow& window = renderer_.WindowFor(form_);
    window.move(100, 100);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The window's size reached the form (its Resize; a busy X server may send the
    // size twice): counting starts here.
    test::Settle(20);
    EXPECT_GE(actions_, 1);
    actions_ = 0;
    return window;
  }
  template <typename W>
  W* Widget(const ui::Control& control) {
    FormWindow* window = renderer_.Find(form_);
    return window ? window->findChild<W*>(QString::fromStdString(control.id())) : nullptr;
  }
  // A click where a check box or option button takes it: on its indicator.
  static void ClickIndicator(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, {8, w->height() / 2});
  }

  Pictures pictures_;
  RenderContext context_;
  ui::Form form_{"Formtest"};
  ui::Label& title_ = Place<ui::Label>(form_, "Labelbt", {0, 0, 9000, 375}, "标题");
  ui::Label& label_ = Place<ui::Label>(form_, "Label1", {150, 450, 2400, 300}, "标签");
  ui::CommandButton& ok_ =
      Place<ui::CommandButton>(form_, "Command1", {150, 5400, 1200, 375}, "确定(&Ok)");
  ui::CommandButton& cancel_ =
      Place<ui::CommandButton>(form_, "Command2", {1500, 5400, 1200, 375}, "取消");
  ui::CheckBox& check_ = Place<ui::CheckBox>(form_, "Check1", {150, 900, 2400, 300}, "选项");
  ui::TextBox& text_ = Place<ui::TextBox>(form_, "Text1", {150, 1350, 2400, 330});
  ui::TextBox& locked_ = Place<ui::TextBox>(form_, "Text2", {150, 1800, 2400, 330});
  ui::ComboBox& combo_ = Place<ui::ComboBox>(form_, "Combo1", {150, 2250, 2400, 330});
  ui::ListBox& list_ = Place<ui::ListBox>(form_, "List1", {150, 2700, 2400, 1200});
  ui::ListBox& multi_ = Place<ui::ListBox>(form_, "List2", {3000, 4050, 1500, 1200});
  ui::ComboBox& edit_ = Place<ui::ComboBox>(form_, "Combo2", {4650, 4050, 2400, 330});
  ui::Slider& slider_ = Place<ui::Slider>(form_, "Slider1", {150, 4050, 2400, 450});
  ui::TabStrip& tabs_ = Place<ui::TabStrip>(form_, "TabStrip1", {3000, 450, 5700, 2400});
  ui::StatusBar& status_ = Place<ui::StatusBar>(form_, "StatusBar1", {3000, 5400, 5700, 375});
  ui::PictureBox& picture_ = Place<ui::PictureBox>(form_, "Picture1", {3000, 3000, 900, 900});
  Renderer renderer_;
  int actions_ = 0;
  std::map<std::string, int> count_;
  std::vector<std::function<void()>> posted_;
};

TEST_F(WidgetSync, ModelChangesReachTheWidgetsAndRaiseNoEvents) {
  FormWindow& window = Show();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("测试窗口"));
  EXPECT_EQ(window.size(), QSize(600, 400));
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);

  label_.set_caption("新的标签");
  label_.set_tool_tip("提示");
  label_.set_rect({300, 600, 1500, 450});
  EXPECT_EQ(Widget<QLabel>(label_)->text(), QStringLiteral("新的标签"));
  EXPECT_EQ(Widget<QLabel>(label_)->toolTip(), QStringLiteral("提示"));
  EXPECT_EQ(Widget<QLabel>(label_)->geometry(), QRect(20, 40, 100, 30));

  // Too long for its one line: cut short, the whole text in its tip.
  std::string path = "计算机：/home/user/" + std::string(150, 'x') + "/machine";
  title_.set_caption(path);
  QString shown = Widget<QLabel>(title_)->text();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("计算机：")) && shown.contains(QChar(0x2026)))
      << shown.toStdString();
  EXPECT_LE(Widget<QLabel>(title_)->fontMetrics().horizontalAdvance(shown), 600);
  EXPECT_EQ(Widget<QLabel>(title_)->toolTip().toStdString(), path);
  title_.set_caption("短");
  EXPECT_EQ(Widget<QLabel>(title_)->toolTip(), QString());

  ok_.set_enabled(false);
  cancel_.set_visible(false);
  EXPECT_FALSE(Widget<QPushButton>(ok_)->isEnabled());
  EXPECT_TRUE(Widget<QPushButton>(cancel_)->isHidden());
  cancel_.set_visible(true);
  EXPECT_FALSE(Widget<QPushButton>(cancel_)->isHidden());

  check_.set_ticked(true);
  EXPECT_TRUE(Widget<QCheckBox>(check_)->isChecked());
  text_.set_text("文字");
  EXPECT_EQ(Widget<QLineEdit>(text_)->text(), QStringLiteral("文字"));
  combo_.set_list_index(2);
  EXPECT_EQ(Widget<QComboBox>(combo_)->currentText(), QStringLiteral("三"));
  combo_.AddItem("四");
  EXPECT_EQ(Widget<QComboBox>(combo_)->count(), 4);
  EXPECT_EQ(Widget<QComboBox>(combo_)->currentText(), QStringLiteral("三"));
  list_.set_selected(1, true);
  EXPECT_TRUE(Widget<QListWidget>(list_)->item(1)->isSelected());
  slider_.set_value(7);
  EXPECT_EQ(Widget<QSlider>(slider_)->value(), 7);
  tabs_.set_selected(3);
  auto* bar = Widget<QWidget>(tabs_)->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->currentIndex(), 2);
  EXPECT_EQ(bar->tabToolTip(0), QStringLiteral("第一页"));
  status_.set_panel_text(2, "就绪");
  auto* panels = Widget<StatusBarWidget>(status_);
  ASSERT_EQ(panels->panels().size(), 2u);
  EXPECT_EQ(panels->panels()[1].text, QStringLiteral("就绪"));
  EXPECT_EQ(panels->panels()[0].width, 100);
  picture_.set_picture({ui::Picture::Type::kResource, "icon-information", 0});
  EXPECT_FALSE(Widget<PictureWidget>(picture_)->picture().isNull());
  form_.set_caption("改过的标题");
  EXPECT_EQ(window.windowTitle(), QStringLiteral("改过的标题"));
  form_.set_rect({0, 0, 9600, 6300});
  EXPECT_EQ(window.size(), QSize(640, 420));

  test::Settle();
  EXPECT_EQ(actions_, 0) << "setting widgets from the model is no user's action";
  EXPECT_TRUE(count_.empty()) << count_.begin()->first;
}

TEST_F(WidgetSync, UserInputReachesTheModelOnceThenThePostedWorkRuns) {
  Show();
  // Actions that reached the program since the last look.
  int seen = 0;
  auto step = [&] {
    int n = actions_ - seen;
    seen = actions_;
    return n;
  };
  ClickIndicator(Widget<QCheckBox>(check_));
  EXPECT_TRUE(check_.ticked());
  EXPECT_EQ(count_["check"], 1);
  EXPECT_EQ(step(), 1);

  QTest::mouseClick(Widget<QPushButton>(ok_), Qt::LeftButton);
  EXPECT_EQ(count_["ok"], 1);
  EXPECT_EQ(count_["posted after ok"], 1);
  EXPECT_EQ(step(), 1);

  QTest::keyClicks(Widget<QLineEdit>(text_), "ab");
  EXPECT_EQ(text_.text(), "ab");
  EXPECT_EQ(count_["text change"], 2);
  EXPECT_EQ(Widget<QLineEdit>(text_)->cursorPosition(), 2) << "the model's echo moved the cursor";
  EXPECT_EQ(step(), 2);
  QTest::keyClicks(Widget<QLineEdit>(locked_), "x");
  EXPECT_EQ(locked_.text(), "只读");
  EXPECT_EQ(step(), 0);

  QTest::keyClick(Widget<QComboBox>(combo_), Qt::Key_Down);
  EXPECT_EQ(combo_.list_index(), 0);
  EXPECT_EQ(combo_.text(), "一");
  EXPECT_EQ(count_["combo"], 1);
  EXPECT_EQ(step(), 1);

  auto* list = Widget<QListWidget>(list_);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(2)).center());
  EXPECT_TRUE(list_.selected(2));
  EXPECT_EQ(list_.list_index(), 2);
  EXPECT_EQ(count_["list"], 1);
  EXPECT_EQ(step(), 1);

  QTest::keyClick(Widget<QSlider>(slider_), Qt::Key_Right);
  EXPECT_EQ(slider_.value(), 1);
  EXPECT_EQ(count_["scroll"], 1);
  EXPECT_EQ(count_["slide"], 1);
  EXPECT_EQ(step(), 1);

  auto* bar = Widget<QWidget>(tabs_)->findChild<QTabBar*>();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  EXPECT_EQ(tabs_.selected(), 2) << "tabs are numbered from 1";
  EXPECT_EQ(count_["tab"], 1);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  EXPECT_EQ(count_["tab"], 2) << "a click on the chosen tab is a click too";
  EXPECT_EQ(step(), 2);

  QTest::mouseClick(Widget<QLabel>(label_), Qt::RightButton);
  EXPECT_EQ(count_["label down button 2"], 1);
  EXPECT_EQ(count_["label click"], 1);
  EXPECT_EQ(step(), 2) << "MouseDown, then Click";
}

TEST_F(WidgetSync, MultiSelectListsToggleAndEditableCombosType) {
  Show();
  auto* list = Widget<QListWidget>(multi_);
  auto click = [&](int i) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(i)).center());
  };
  click(0);
  click(2);
  EXPECT_TRUE(multi_.selected(0) && !multi_.selected(1) && multi_.selected(2));
  click(0);
  EXPECT_FALSE(multi_.selected(0)) << "a second click deselects";
  EXPECT_TRUE(multi_.selected(2));
  EXPECT_EQ(count_["multi"], 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->item(i)->isSelected(), multi_.selected(i)) << i;

  auto* combo = Widget<QComboBox>(edit_);
  ASSERT_TRUE(combo->isEditable());
  QTest::keyClicks(combo->lineEdit(), "D:");
  EXPECT_EQ(edit_.text(), "D:");
  EXPECT_EQ(edit_.list_index(), -1);
  EXPECT_EQ(count_["edit change"], 2);
  EXPECT_EQ(combo->count(), 1) << "typing adds no entry";
  edit_.set_text("E:\\TEMP");
  EXPECT_EQ(combo->currentText(), QStringLiteral("E:\\TEMP"));
  EXPECT_EQ(count_["edit change"], 2);
}

TEST_F(WidgetSync, WhatTheModelRefusesDoesNotStickOnTheWidget) {
  // Shown on screen but hidden in the model: the model ignores users' input.
  FormWindow& window = renderer_.WindowFor(form_);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ClickIndicator(Widget<QCheckBox>(check_));
  EXPECT_FALSE(check_.ticked());
  EXPECT_FALSE(Widget<QCheckBox>(check_)->isChecked());
  QTest::keyClicks(Widget<QLineEdit>(text_), "z");
  EXPECT_EQ(text_.text(), "");
  EXPECT_EQ(Widget<QLineEdit>(text_)->text(), QString());
  EXPECT_TRUE(count_.empty());
}

TEST_F(WidgetSync, EnterAndEscPressTheDefaultAndCancelButtons) {
  Show();
  Widget<QLineEdit>(text_)->setFocus();
  QTest::keyClick(Widget<QLineEdit>(text_), Qt::Key_Return);
  EXPECT_EQ(count_["ok"], 1);
  QTest::keyClick(Widget<QLineEdit>(text_), Qt::Key_Escape);
  EXPECT_EQ(count_["cancel"], 1);
  ok_.set_enabled(false);
  QTest::keyClick(Widget<QLineEdit>(text_), Qt::Key_Return);
  EXPECT_EQ(count_["ok"], 1) << "a disabled default button is not pressed";
}

TEST_F(WidgetSync, DraggingATitleLabelMovesItsWindow) {
  FormWindow& window = Show();
  QPoint before = window.pos();
  auto* title = Widget<QLabel>(title_);
  QTest::mousePress(title, Qt::LeftButton, {}, {20, 10});
  QTest::mouseMove(title, {70, 40});
  QTest::mouseRelease(title, Qt::LeftButton, {}, {70, 40});
  test::Settle();
  EXPECT_EQ(window.pos(), before + QPoint(50, 30));
  EXPECT_EQ(count_["title down"], 1);
  EXPECT_EQ(count_["title click"], 0) << "a drag is no click";
}

TEST_F(WidgetSync, FrontMostChildIsOnTop) {
  ui::Label& back = Place<ui::Label>(form_, "Label8", {6000, 4200, 1500, 600}, "后");
  ui::Label& front = Place<ui::Label>(form_, "Label9", {6000, 4200, 1500, 600}, "前");
  FormWindow& window = Show();
  QPoint inside = ToPixels(front.rect()).center();
  EXPECT_EQ(window.childAt(inside), Widget<QLabel>(front)) << "declared last, in front";
  back.BringToFront();
  EXPECT_EQ(window.childAt(inside), Widget<QLabel>(back));
}

TEST_F(WidgetSync, AppearanceSetsPaletteAndFont) {
  ui::Appearance a = text_.appearance();
  a.back = ui::Color::System(4);
  text_.set_appearance(a);
  ui::Appearance bold;
  bold.fore = ui::Color::Rgb(0x1f4e8c);
  bold.back = ui::Color::Rgb(0xffe0e0);
  bold.bold = true;
  bold.font_size = 12;
  label_.set_appearance(bold);
  ui::Appearance see_through = bold;
  see_through.transparent = true;
  title_.set_appearance(see_through);
  Show();

  EXPECT_EQ(Widget<QLineEdit>(text_)->palette().color(QPalette::Base),
            QApplication::palette().color(QPalette::Window))
      << "system colour 4 (menu) is the dialog grey";
  a.back = ui::Color::System(5);
  text_.set_appearance(a);
  EXPECT_EQ(Widget<QLineEdit>(text_)->palette().color(QPalette::Base),
            QApplication::palette().color(QPalette::Base));

  auto* label = Widget<QLabel>(label_);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0x1f, 0x4e, 0x8c));
  EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0xff, 0xe0, 0xe0));
  EXPECT_TRUE(label->autoFillBackground());
  EXPECT_TRUE(label->font().bold());
  EXPECT_EQ(label->font().pointSize(), 12);
  EXPECT_FALSE(Widget<QLabel>(title_)->autoFillBackground()) << "a transparent label";
  EXPECT_EQ(Widget<QLineEdit>(text_)->font().pointSize(), 9) << "the base font";
  EXPECT_TRUE(Widget<QLineEdit>(text_)->font().family().contains(QStringLiteral("CJK")))
      << Widget<QLineEdit>(text_)->font().family().toStdString();
}

TEST_F(WidgetSync, TimerRaisesTimerWhileItRuns) {
  ui::Timer& timer = Place<ui::Timer>(form_, "Timer1", {});
  int fired = 0;
  timer.on_timer = [&] {
    ++fired;
    timer.set_running(false);
  };
  timer.set_interval(30);
  // Started once the window is up, so that it cannot fire before counting starts.
  Show();
  auto* qtimer = renderer_.Find(form_)->findChild<QTimer*>(QStringLiteral("Timer1"));
  ASSERT_NE(qtimer, nullptr);
  EXPECT_EQ(qtimer->interval(), 30);
  EXPECT_FALSE(qtimer->isActive());
  timer.set_running(true);
  EXPECT_TRUE(qtimer->isActive());
  test::Settle(250);
  EXPECT_EQ(fired, 1) << "it stopped itself";
  EXPECT_FALSE(qtimer->isActive());
  EXPECT_EQ(actions_, 1) << "its Timer is followed by the posted work";
}

// Option buttons exclude each other by their container, or across containers by
// a group name, whatever Qt would group by parent widget.
TEST_F(WidgetSync, OptionButtonsFollowTheModelsGroups) {
  ui::Frame& a = Place<ui::Frame>(form_, "Frame1", {0, 0, 3000, 3000}, "甲");
  ui::Frame& b = Place<ui::Frame>(form_, "Frame2", {3000, 0, 3000, 3000}, "乙");
  auto& a1 = Place<ui::OptionButton>(a, "Option1", {150, 300, 2400, 300}, "甲一");
  auto& a2 = Place<ui::OptionButton>(a, "Option2", {150, 750, 2400, 300}, "甲二");
  auto& g1 = Place<ui::OptionButton>(a, "Option3", {150, 1200, 2400, 300}, "组一");
  auto& b1 = Place<ui::OptionButton>(b, "Option4", {150, 300, 2400, 300}, "乙一");
  auto& g2 = Place<ui::OptionButton>(b, "Option5", {150, 1200, 2400, 300}, "组二");
  g1.group = g2.group = "mode";
  Show();
  auto click = [&](const ui::Control& c) { ClickIndicator(Widget<QRadioButton>(c)); };
  auto states = [&] {
    std::string s;
    for (auto* c : {&a1, &a2, &g1, &b1, &g2}) {
      EXPECT_EQ(Widget<QRadioButton>(*c)->isChecked(), c->selected()) << c->id();
      s += c->selected() ? '1' : '0';
    }
    return s;
  };
  click(a1);
  click(b1);
  EXPECT_EQ(states(), "10010");
  click(a2);
  EXPECT_EQ(states(), "01010") << "the frame is the group";
  click(g1);
  EXPECT_EQ(states(), "01110") << "a named group is apart from its frame's";
  click(g2);
  EXPECT_EQ(states(), "01011") << "the named group spans frames";
  click(g2);
  EXPECT_EQ(states(), "01011") << "clicking the selected one keeps it selected";
}

}  // namespace
}  // namespace korvanta::ui::qt
