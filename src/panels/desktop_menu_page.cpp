#include "panels/desktop_menu_page.h"

#include <string>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using services::CheckRow;
using services::RowAction;
using services::SliderRow;
using ui::CheckBox;
using ui::Label;
using ui::Place;
using ui::Rect;

constexpr auto kHKCU = store::RegRoot::kCurrentUser;
constexpr auto kHKLM = store::RegRoot::kLocalMachine;

constexpr const char* kDesktop = "Control Panel\\desktop";
constexpr const char* kPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kReadout = "当前选定值： ";

// Three slider frames side by side under the heading.
constexpr int kMargin = 120, kGap = 90;
constexpr int kSliderFrameTop = 540, kSliderFrameHeight = 1680;
constexpr int kSliderFrameWidth = 2550;
constexpr int kInner = kSliderFrameWidth - 2 * kMargin;

Rect SliderFrame(int i) {
  return {kMargin + i * (kSliderFrameWidth + kGap), kSliderFrameTop, kSliderFrameWidth,
          kSliderFrameHeight};
}

// Two columns of check boxes across the page, and the frame of start-menu items.
constexpr int kColumn = 3840, kBoxHeight = 300, kBoxPitch = 360;
constexpr int kUpperBoxes = 2400;
constexpr int kItemsTop = 3180, kItemsHeight = 1260;
constexpr int kLowerBoxes = 4620;

Rect UpperBox(int i) {
  return {kMargin + 120 + (i % 2) * kColumn, kUpperBoxes + (i / 2) * kBoxPitch, kColumn - 240,
          kBoxHeight};
}
Rect ItemBox(int i) {
  constexpr int kItemWidth = 1920;
  return {kMargin + (i % 4) * kItemWidth, 360 + (i / 4) * 420, kItemWidth - 240, kBoxHeight};
}
Rect LowerBox(int row, int width) {
  return {kMargin + 120, kLowerBoxes + row * kBoxPitch, width, kBoxHeight};
}

// A flag of the explorer policies: 1 when ticked, gone when unticked, ticked
// when it reads 1 (a 4-byte REG_BINARY reads as the number it holds).
CheckRow Policy(services::Places at, std::string control, std::string name,
                std::uint32_t type = store::kRegDword) {
  return services::FlagRow(at, std::move(control), {kHKCU, kPolicies, std::move(name)}, type,
                           store::Variant(1));
}

}  // namespace

DesktopMenuPage::DesktopMenuPage(services::Program& program, ui::PictureBox& page)
    : Frame3(Place<ui::Frame>(page, "Frame3", SliderFrame(0), "开始菜单速度设置")),
      Frame4(Place<ui::Frame>(page, "Frame4", SliderFrame(1), "桌面图标大小")),
      Frame5(Place<ui::Frame>(page, "Frame5", SliderFrame(2), "桌面图标缓冲区大小")),
      Frame6(Place<ui::Frame>(page, "Frame6",
                              {kMargin, kItemsTop, page.rect().width - 2 * kMargin, kItemsHeight},
                              "隐藏开始菜单中的项目")),
      Slider1(Place<ui::Slider>(Frame3, "Slider1", {kMargin, 330, kInner, 540})),
      Slider2(Place<ui::Slider>(Frame4, "Slider2", {kMargin, 330, kInner, 540})),
      Slider3(Place<ui::Slider>(Frame5, "Slider3", {kMargin, 330, kInner, 540})),
      Commandszzm(Place<ui::CommandButton>(page, "Commandszzm", services::theme::PageButton(1),
                                           "设置", "设置被选项")),
      program_(program),
      table_(program.machine().reg(), *page.form(), Rows()) {
  Slider1.set_range(0, 600, 1, 10, 60);
  Slider2.set_range(0, 100, 1, 10, 10);
  Slider3.set_range(0, 80000, 1, 100, 8000);

  // Each slider frame: the end labels under the slider, the read-out below them.
  struct Ends {
    ui::Frame& frame;
    const char* left_name;
    const char* left;
    const char* right_name;
    const char* right;
    const char* readout;
  };
  const Ends kEnds[] = {{Frame3, "Labelk", "快", "Labelm", "慢", "Labeldqxd1"},
                        {Frame4, "Labelx2", "小", "Labeld2", "大", "Labeldqxd2"},
                        {Frame5, "Labelx3", "小", "Labeld3", "大", "Labeldqxd3"}};
  constexpr int kEndWidth = 600;
  for (const Ends& e : kEnds) {
    Place<Label>(e.frame, e.left_name, {kMargin, 900, kEndWidth, 270}, e.left);
    Label& right = Place<Label>(e.frame, e.right_name,
                                {kMargin + kInner - kEndWidth, 900, kEndWidth, 270}, e.right);
    ui::Appearance look = right.appearance();
    look.align = ui::Align::kRight;
    right.set_appearance(look);
    Place<Label>(e.frame, e.readout, {kMargin, 1260, kInner, 270}, kReadout);
  }

  constexpr const char* kUpper[] = {
      "Checkjztdks", "禁止拖动\"开始\"菜单中的项目", "Checkjzrw", "禁止更改任务栏和开始菜单设置",
      "Checkpbdh",   "屏蔽窗口变化的动画效果",       "Checkqdwz", "去掉\"开始\"菜单的文字提示"};
  for (int i = 0; i < 4; ++i) {
    Place<CheckBox>(page, kUpper[2 * i], UpperBox(i), kUpper[2 * i + 1]);
  }
  constexpr const char* kItems[] = {"Checkgj", "关机",     "Checkzx",  "注销",      "Checkyx",
                                    "运行",    "Checkss",  "搜索",     "Checkkswd", "文档",
                                    "Checkkz", "控制面板", "Checkscj", "收藏夹"};
  for (int i = 0; i < 7; ++i) {
    Place<CheckBox>(Frame6, kItems[2 * i], ItemBox(i), kItems[2 * i + 1]);
  }
  Place<CheckBox>(page, "Checktcqk", LowerBox(0, 5400), "退出时自动清除\"文档\"内容");
  Place<CheckBox>(page, "Checkjzlsjl", LowerBox(1, 5400),
                  "禁止在\"开始\"菜单\"文档\"中保留历史记录");
  constexpr int kCountWidth = 3720;
  Place<CheckBox>(page, "Checkkswdsl", LowerBox(2, kCountWidth),
                  "更改\"开始\"菜单中\"文档\"项中文档显示数量");
  const int text_left = kMargin + 120 + kCountWidth + 60;
  const int count_top = kLowerBoxes + 2 * kBoxPitch;
  Place<ui::TextBox>(page, "Textsl", {text_left, count_top - 15, 900, 330});
  Place<Label>(page, "Labelge", {text_left + 960, count_top + 30, 600, 270}, "(个)");

  for (const services::SettingRow& row : table_.rows()) {
    if (const auto* slider = std::get_if<SliderRow>(&row)) {
      services::BindSliderReadout(*page.form(), *slider);
    }
  }
  Commandszzm.on_click = [this] { Apply(); };
}

// The sliders first, then the check boxes with the documents count before the
// clearing on exit, and the menu items with the favourites before the control
// panel; loaded and applied in the same order.
std::vector<services::SettingRow> DesktopMenuPage::Rows() {
  return {
      SliderRow{.at = {.load = 1, .apply = 1},
                .control = "Slider1",
                .readout = "Labeldqxd1",
                .prefix = kReadout,
                .value = {kHKCU, kDesktop, "MenuShowDelay"}},
      // An absent icon size is the standard one.
      SliderRow{.at = {.load = 2, .apply = 2},
                .control = "Slider2",
                .readout = "Labeldqxd2",
                .prefix = kReadout,
                .value = {kHKCU, "Control Panel\\desktop\\WindowMetrics", "Shell Icon Size"},
                .absent_position = 32},
      SliderRow{.at = {.load = 3, .apply = 3},
                .control = "Slider3",
                .readout = "Labeldqxd3",
                .prefix = kReadout,
                .suffix = " KB",
                .value = {kHKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer",
                          "Max Cached Icons"}},

      Policy({.load = 4, .apply = 4}, "Checkjztdks", "NoChangeStartMenu"),
      Policy({.load = 5, .apply = 5}, "Checkjzrw", "NoSetTaskbar"),
      CheckRow{.at = {.load = 6, .apply = 6},
               .control = "Checkpbdh",
               .value = {kHKCU, kDesktop, "Minanimate"},
               .type = store::kRegSz,
               .ticked_data = store::Variant("0"),
               .unticked = RowAction::kDeleteValue,
               .match = store::Variant("0")},
      Policy({.load = 7, .apply = 7}, "Checkqdwz", "NoStartBanner", store::kRegBinary),
      // The count is written as typed: a text that is no number writes nothing.
      CheckRow{.at = {.load = 8, .apply = 8},
               .control = "Checkkswdsl",
               .text_box = "Textsl",
               .value = {kHKCU, kPolicies, "MaxRecentDocs"},
               .type = store::kRegDword,
               .unticked = RowAction::kDeleteValue,
               .match = store::Variant(""),
               .match_when_equal = false,
               .fill_text = CheckRow::Text::kOnMatch},
      Policy({.load = 9, .apply = 9}, "Checktcqk", "ClearRecentDocsonExit", store::kRegBinary),
      Policy({.load = 10, .apply = 10}, "Checkjzlsjl", "NoRecentDocsHistory", store::kRegBinary),
      Policy({.load = 11, .apply = 11}, "Checkgj", "NoClose"),
      Policy({.load = 12, .apply = 12}, "Checkzx", "NoLogoff"),
      Policy({.load = 13, .apply = 13}, "Checkyx", "NoRun"),
      Policy({.load = 14, .apply = 14}, "Checkss", "NoFind"),
      Policy({.load = 15, .apply = 15}, "Checkkswd", "NoRecentDocsMenu"),
      Policy({.load = 16, .apply = 16}, "Checkscj", "NoFavoritesMenu"),
      Policy({.load = 17, .apply = 17}, "Checkkz", "NoSetFolders"),
  };
}

void DesktopMenuPage::Reload() {
  table_.Load();
}

void DesktopMenuPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kDesktopAndMenu) table_.Load();
}

void DesktopMenuPage::Apply() {
  services::ApplySettingsPage(program_, "桌面与菜单设置成功  ", table_);
}

}  // namespace korvanta::panels
