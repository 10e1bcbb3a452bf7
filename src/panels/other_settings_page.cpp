#include "panels/other_settings_page.h"

#include <string>
#include <utility>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using services::CheckRow;
using services::RegValue;
using services::RowAction;
using ui::CheckBox;
using ui::Place;

constexpr auto kHKCU = store::RegRoot::kCurrentUser;
constexpr auto kHKLM = store::RegRoot::kLocalMachine;

constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";

// The system-file frame takes the top of the page; the check boxes stand below.
constexpr int kChecksTop = 3420, kCheckPitch = 420;

ui::Rect CheckAt(int row, int width = 7560) {
  return {240, kChecksTop + row * kCheckPitch, width, 300};
}

}  // namespace

OtherSettingsPage::OtherSettingsPage(services::Program& program, ui::PictureBox& page)
    : Textyp(
          Place<ui::TextBox>(page, "Textyp", {3180, kChecksTop + 3 * kCheckPitch - 15, 900, 330})),
      Commandszqt(Place<ui::CommandButton>(page, "Commandszqt", services::theme::PageButton(1),
                                           "设置", "设置被选项")),
      program_(program),
      table_(program.machine().reg(), *page.form(), Rows()) {
  Place<CheckBox>(page, "Checkpbrj", CheckAt(0), "屏蔽所有系统热键");
  Place<CheckBox>(page, "Checkgbpb", CheckAt(1), "在磁盘碎片整理前自动关闭屏保程序");
  Place<CheckBox>(page, "Checkjkgj", CheckAt(2), "加快关机速度");
  Place<CheckBox>(page, "Checkypjb", CheckAt(3, 2880), "硬盘省于空间不足时警报");
  Place<ui::Label>(page, "Labelbfh", {4140, kChecksTop + 3 * kCheckPitch + 30, 300, 270}, "%");
  Place<CheckBox>(page, "Checkjyhdzm", CheckAt(4), "禁止将\"Web\"内容添加到\"活动桌面\"");
  Place<CheckBox>(page, "Checkxsdl", CheckAt(5), "不显示上次登录的用户名");
  Commandszqt.on_click = [this] { Apply(); };
}

// Loaded and applied in the same order.
std::vector<services::SettingRow> OtherSettingsPage::Rows() {
  return {
      // Fast shutdown is a text flag that unticking sets to "0" rather than deletes.
      services::FlagRow({.load = 1, .apply = 1}, "Checkjkgj",
                        {kHKLM, "System\\CurrentControlSet\\Control\\Shutdown", "FastReboot"},
                        store::kRegSz, store::Variant("1"), RowAction::kWrite, store::Variant("0")),
      services::FlagRow({.load = 2, .apply = 2}, "Checkpbrj",
                        {kHKCU, std::string(kPolicies) + "Explorer", "NoWinKeys"}, store::kRegDword,
                        store::Variant(1), RowAction::kDeleteValue),
      services::FlagRow({.load = 3, .apply = 3}, "Checkxsdl",
                        {kHKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\WinLogon",
                         "DontDisplayLastUserName"},
                        store::kRegSz, store::Variant("1"), RowAction::kDeleteValue),
      // The alert threshold: ticked when it is other than the system's 1024; the
      // box is not filled, so an apply without a number typed leaves it alone.
      CheckRow{.at = {.load = 4, .apply = 4},
               .control = "Checkypjb",
               .text_box = "Textyp",
               .value = {kHKLM, "System\\CurrentControlSet\\Services\\LanmanServer\\Parameters",
                         "DiskSpaceThreshold"},
               .type = store::kRegDword,
               .unticked = RowAction::kDeleteValue,
               .start = store::Variant(1024),
               .match = store::Variant(1024),
               .match_when_equal = false},
      services::FlagRow({.load = 5, .apply = 5}, "Checkjyhdzm",
                        {kHKCU, std::string(kPolicies) + "ActiveDesktop", "NoAddingComponents"},
                        store::kRegDword, store::Variant(1), RowAction::kDeleteValue),
      services::FlagRow(
          {.load = 6, .apply = 6}, "Checkgbpb",
          {kHKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Defrag\\Settings",
           "DisableScreenSaver"},
          store::kRegSz, store::Variant("yes"), RowAction::kDeleteValue),
  };
}

void OtherSettingsPage::Reload() {
  table_.Load();
}

void OtherSettingsPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kOtherSettings) table_.Load();
}

void OtherSettingsPage::Apply() {
  services::ApplySettingsPage(program_, "其它设置与优化成功  ", table_);
}

}  // namespace korvanta::panels
