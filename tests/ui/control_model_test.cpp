// The control model: what user actions do, what code changes do not do, and
// what renderers are told.

#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/declare.h"
#include "ui/form.h"
#include "ui/list_view.h"
#include "ui/lists.h"

namespace korvanta::ui {
namespace {

class Recorder final : public ControlObserver {
 public:
  void Changed(Control& c, Property what, int first, int count) override {
    events.push_back(c.id() + ":" + std::to_string(static_cast<int>(what)) + ":" +
                     std::to_string(first) + "+" + std::to_string(count));
  }
  std::vector<std::string> events;
};

TEST(ControlModel, OptionButtonsExcludeEachOtherWithinTheirGroup) {
  Form form("F");
  Frame& a = Place<Frame>(form, "FrameA", {});
  Frame& b = Place<Frame>(form, "FrameB", {});
  auto& a1 = Place<OptionButton>(a, "Option1", {});
  auto& a2 = Place<OptionButton>(a, "Option2", {});
  auto& b1 = Place<OptionButton>(b, "Option3", {});
  auto& g1 = Place<OptionButton>(a, "Option4", {});
  auto& g2 = Place<OptionButton>(b, "Option5", {});
  g1.group = g2.group = "mode";
  form.set_visible(true);

  int clicks = 0;
  a2.on_click = [&] { ++clicks; };
  a1.set_selected(true);
  b1.set_selected(true);
  a2.set_selected(true);
  EXPECT_FALSE(a1.selected()) << "same container";
  EXPECT_TRUE(b1.selected()) << "another container is another group";
  EXPECT_EQ(clicks, 0) << "code never raises events";

  a2.UserClick();
  EXPECT_EQ(clicks, 1) << "a click on the selected one still raises Click";
  g1.set_selected(true);
  g2.UserClick();
  EXPECT_FALSE(g1.selected()) << "a group name ties buttons across containers";
  EXPECT_TRUE(a2.selected()) << "grouped buttons leave the container's others alone";
}

TEST(ControlModel, UserActionsNeedAnEnabledShownControl) {
  Form form("F");
  Frame& frame = Place<Frame>(form, "Frame1", {});
  auto& check = Place<CheckBox>(frame, "Check1", {});
  int clicks = 0;
  check.on_click = [&] { ++clicks; };
  check.UserClick();
  EXPECT_EQ(clicks, 0) << "the form is not shown yet";
  form.set_visible(true);
  check.UserClick();
  EXPECT_TRUE(check.ticked());
  EXPECT_EQ(clicks, 1);
  frame.set_enabled(false);
  check.UserClick();
  EXPECT_TRUE(check.ticked()) << "a disabled container blocks its controls";
  frame.set_enabled(true);
  frame.set_visible(false);
  check.UserClick();
  EXPECT_EQ(clicks, 1);
  frame.set_visible(true);
  check.set_ticked(false);
  EXPECT_EQ(clicks, 1);

  auto& text = Place<TextBox>(form, "Text1", {});
  int changes = 0;
  text.on_change = [&] { ++changes; };
  text.set_text("code");
  text.UserType("typed");
  EXPECT_EQ(text.text(), "typed");
  EXPECT_EQ(changes, 1);
  text.locked = true;
  text.UserType("again");
  EXPECT_EQ(text.text(), "typed") << "a locked box takes no typing";
}

TEST(ControlModel, LookupByNameIndexAndCaption) {
  Form form("F");
  PictureBox& back = PlaceAt<PictureBox>(form, "Picture1", 0, {});
  PictureBox& front = PlaceAt<PictureBox>(form, "Picture1", 1, {});
  Place<CommandButton>(back, "Command1", {}, "设置");
  Place<CommandButton>(front, "Command2", {}, "设置");
  Place<TextBox>(form, "Text1", {}, "设置");
  for (int i = 2; i >= 0; --i) PlaceAt<Label>(form, "Label3", i, {}, "item " + std::to_string(i));

  EXPECT_EQ(form.FindById("Label3(1)")->caption(), "item 1");
  EXPECT_EQ(form.FindById("Label3"), nullptr) << "an array member needs its index";
  EXPECT_EQ(form.FindById("Label3(x)"), nullptr);
  EXPECT_EQ(form.FindById("Command2")->parent(), &front);
  auto array = form.Array("Label3");
  ASSERT_EQ(array.size(), 3u);
  EXPECT_EQ(array[0]->index(), 0);
  EXPECT_EQ(array[2]->index(), 2);

  EXPECT_EQ(form.FindByCaption("设置")->name(), "Command2")
      << "front-most first, text boxes skipped";
  back.BringToFront();
  EXPECT_EQ(back.z_order(), 0);
  EXPECT_GT(front.z_order(), back.z_order());
  EXPECT_EQ(form.FindByCaption("设置")->name(), "Command1");
  EXPECT_EQ(form.FindByCaption("设置", &front)->name(), "Command2");
  EXPECT_EQ(form.FindByCaption("nothing"), nullptr);
}

TEST(ControlModel, ListViewRowsSelectionAndNotifications) {
  Form form("F");
  form.set_visible(true);
  auto& list = Place<ListView>(form, "ListView1", {});
  Recorder rec;
  list.set_observer(&rec);
  for (int i = 0; i < 5; ++i) list.AddRow({"name" + std::to_string(i), "C:\\"}, i % 2 == 0);
  EXPECT_EQ(rec.events.size(), 5u);
  EXPECT_EQ(rec.events.back(),
            "ListView1:" + std::to_string(int(Property::kRowsInserted)) + ":4+1");

  std::vector<int> checks;
  list.on_item_check = [&](int r) { checks.push_back(r); };
  list.UserCheckRow(0, true);  // already ticked: nothing
  list.UserCheckRow(1, true);
  EXPECT_EQ(checks, std::vector<int>{1});

  list.UserClickRow(3);
  EXPECT_EQ(list.selected_row(), 3);
  list.RemoveRow(1);
  EXPECT_EQ(list.selected_row(), 2) << "the selection follows its row";
  list.RemoveRowsIf([](const ListView::Row& r) { return r.checked; });
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list.cell(0, 0), "name3");
  EXPECT_EQ(list.selected_row(), 0);
  EXPECT_EQ(list.cell(0, 7), "") << "cells past the last are empty";
  rec.events.clear();
  list.set_checked(0, true);
  list.set_checked(0, true);
  EXPECT_EQ(rec.events.size(), 1u) << "only changes are told";
}

TEST(ControlModel, ListsCombosSlidersAndTabs) {
  Form form("F");
  form.set_visible(true);
  auto& drives = Place<ListBox>(form, "Listdiv", {});
  drives.multi_select = true;
  for (const char* d : {"A:\\", "C:\\", "D:\\"}) drives.AddItem(d);
  int clicks = 0;
  drives.on_click = [&] { ++clicks; };
  drives.UserSetItem(1, true);
  drives.UserSetItem(2, true);
  drives.UserSetItem(2, true);
  EXPECT_TRUE(drives.selected(1) && drives.selected(2));
  EXPECT_EQ(clicks, 2);
  drives.multi_select = false;
  drives.set_selected(0, true);
  EXPECT_FALSE(drives.selected(1)) << "a single-select list keeps one selected item";

  auto& combo = Place<ComboBox>(form, "Combo1", {});
  combo.AddItem("REG --> Run");
  combo.AddItem("开始菜单启动项");
  EXPECT_FALSE(combo.UserPick("absent"));
  EXPECT_TRUE(combo.UserPick("开始菜单启动项"));
  EXPECT_EQ(combo.text(), "开始菜单启动项");
  EXPECT_EQ(combo.list_index(), 1);
  combo.UserType("free text");
  EXPECT_EQ(combo.list_index(), -1);

  auto& slider = Place<Slider>(form, "Slider1", {});
  slider.set_range(0, 600, 1, 10, 60);
  int moves = 0;
  slider.on_change = [&] { ++moves; };
  slider.UserSlide(900);
  EXPECT_EQ(slider.value(), 600) << "kept within the range";
  EXPECT_EQ(moves, 1);

  auto& tabs = Place<TabStrip>(form, "TabStrip1", {});
  tabs.AddTab("扫描结果", "");
  tabs.AddTab("扫描选项", "");
  EXPECT_EQ(tabs.selected(), 1) << "tabs count from 1";
  tabs.UserSelectTab(3);
  EXPECT_EQ(tabs.selected(), 1) << "no third tab";
  tabs.UserSelectTab(2);
  EXPECT_EQ(tabs.selected(), 2);
}

}  // namespace
}  // namespace korvanta::ui
