#include "panels/desktop_menu_page.h"

#include <string>
#include <string_view>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using app::CheckRow;
using app::RowAction;
using app::SliderRow;
using ui::CheckBox;
using ui::Label;
using ui::Place;
using ui::Rect;

constexpr auto kHKCU = RegRoot::kCurrentUser;
constexpr auto kHKLM = RegRoot::kLocalMachine;

constexpr const char* kDesktop = "Control Panel\\desktop";
constexpr const char* kPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kReadout = "当前选定值： ";

// The sliders first, then the check boxes with the documents count before the
// clearing on exit, and the menu items with the favourites before the control panel.
constexpr std::string_view kOrder[] = {
    "Slider1",   "Slider2",     "Slider3",   "Checkjztdks", "Checkjzrw", "Checkpbdh",
    "Checkqdwz", "Checkkswdsl", "Checktcqk", "Checkjzlsjl", "Checkgj",   "Checkzx",
    "Checkyx",   "Checkss",     "Checkkswd", "Checkscj",    "Checkkz"};

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
CheckRow Policy(std::string control, std::string name, std::uint32_t type = kRegDword) {
  return app::FlagRow(std::move(control), {kHKCU, kPolicies, std::move(name)}, type, Variant(1));
}

}  // namespace

DesktopMenuPage::DesktopMenuPage(app::Program& program, ui::PictureBox& page)
    : Frame3(Place<ui::Frame>(page, "Frame3", SliderFrame(0), "开始菜单速度设置")),
      Frame4(Place<ui::Frame>(page, "Frame4", SliderFrame(1), "桌面图标大小")),
      Frame5(Place<ui::Frame>(page, "Frame5", SliderFrame(2), "桌面图标缓冲区大小")),
      Frame6(Place<ui::Frame>(page, "Frame6",
                              {kMargin, kItemsTop, page.rect().width - 2 * kMargin, kItemsHeight},
                              "隐藏开始菜单中的项目")),
      Slider1(Place<ui::Slider>(Frame3, "Slider1", {kMargin, 330, kInner, 540})),
      Slider2(Place<ui::Slider>(Frame4, "Slider2", {kMargin, 330, kInner, 540})),
      Slider3(Place<ui::Slider>(Frame5, "Slider3", {kMargin, 330, kInner, 540})),
      Commandszzm(Place<ui::CommandButton>(page, "Commandszzm", app::theme::PageButton(1), "设置",
                                           "设置被选项")),
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

  for (const app::SettingRow& row : table_.rows()) {
    if (const auto* slider = std::get_if<SliderRow>(&row)) {
      app::BindSliderReadout(*page.form(), *slider);
    }
  }
  Commandszzm.on_click = [this] { Apply(); };
}

std::vector<app::SettingRow> DesktopMenuPage::Rows() {
  std::vector<app::SettingRow> rows;
  rows.push_back(SliderRow{
      "Slider1", "Labeldqxd1", kReadout, "", {kHKCU, kDesktop, "MenuShowDelay"}, 0, std::nullopt});
  // An absent icon size is the standard one.
  rows.push_back(SliderRow{"Slider2",
                           "Labeldqxd2",
                           kReadout,
                           "",
                           {kHKCU, "Control Panel\\desktop\\WindowMetrics", "Shell Icon Size"},
                           32,
                           std::nullopt});
  rows.push_back(SliderRow{
      "Slider3",
      "Labeldqxd3",
      kReadout,
      " KB",
      {kHKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer", "Max Cached Icons"},
      0,
      std::nullopt});

  rows.push_back(Policy("Checkjztdks", "NoChangeStartMenu"));
  rows.push_back(Policy("Checkjzrw", "NoSetTaskbar"));
  CheckRow animation;
  animation.control = "Checkpbdh";
  animation.value = {kHKCU, kDesktop, "Minanimate"};
  animation.type = kRegSz;
  animation.ticked_data = Variant("0");
  animation.unticked = RowAction::kDeleteValue;
  animation.match = Variant("0");
  rows.push_back(animation);
  rows.push_back(Policy("Checkqdwz", "NoStartBanner", kRegBinary));

  // The count is written as typed: a text that is no number writes nothing.
  CheckRow count;
  count.control = "Checkkswdsl";
  count.text_box = "Textsl";
  count.value = {kHKCU, kPolicies, "MaxRecentDocs"};
  count.type = kRegDword;
  count.unticked = RowAction::kDeleteValue;
  count.match = Variant("");
  count.match_when_equal = false;
  count.fill_text = CheckRow::Text::kOnMatch;
  rows.push_back(count);

  rows.push_back(Policy("Checktcqk", "ClearRecentDocsonExit", kRegBinary));
  rows.push_back(Policy("Checkjzlsjl", "NoRecentDocsHistory", kRegBinary));
  rows.push_back(Policy("Checkgj", "NoClose"));
  rows.push_back(Policy("Checkzx", "NoLogoff"));
  rows.push_back(Policy("Checkyx", "NoRun"));
  rows.push_back(Policy("Checkss", "NoFind"));
  rows.push_back(Policy("Checkkswd", "NoRecentDocsMenu"));
  rows.push_back(Policy("Checkscj", "NoFavoritesMenu"));
  rows.push_back(Policy("Checkkz", "NoSetFolders"));
  return rows;
}

void DesktopMenuPage::Reload() {
  table_.Load(kOrder);
}

void DesktopMenuPage::Fill(app::LoadStep step) {
  if (step == app::LoadStep::kDesktopAndMenu) table_.Load(kOrder);
}

void DesktopMenuPage::Apply() {
  app::ApplySettingsPage(program_, "桌面与菜单设置成功  ", table_, kOrder);
}

}  // namespace korvanta::panels
