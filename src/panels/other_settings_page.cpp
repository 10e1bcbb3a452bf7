#include "panels/other_settings_page.h"

#include <string>
#include <utility>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using app::CheckRow;
using app::RegValue;
using app::RowAction;
using ui::CheckBox;
using ui::Place;

constexpr auto kHKCU = RegRoot::kCurrentUser;
constexpr auto kHKLM = RegRoot::kLocalMachine;

constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";

// The system-file frame takes the top of the page; the check boxes stand below.
constexpr int kChecksTop = 3420, kCheckPitch = 420;

ui::Rect CheckAt(int row, int width = 7560) {
  return {240, kChecksTop + row * kCheckPitch, width, 300};
}

// A check box whose value holds data when ticked, and is ticked when it reads
// (loosely) 1 or that data.
CheckRow Flag(std::string control, RegValue value, std::uint32_t type, Variant data,
              RowAction unticked, Variant unticked_data = {}) {
  CheckRow row;
  row.control = std::move(control);
  row.value = std::move(value);
  row.type = type;
  row.ticked_data = data;
  row.unticked = unticked;
  row.unticked_data = std::move(unticked_data);
  row.match = std::move(data);
  return row;
}

}  // namespace

OtherSettingsPage::OtherSettingsPage(app::Program& program, ui::PictureBox& page)
    : Textyp(
          Place<ui::TextBox>(page, "Textyp", {3180, kChecksTop + 3 * kCheckPitch - 15, 900, 330})),
      Commandszqt(Place<ui::CommandButton>(page, "Commandszqt", app::theme::PageButton(1), "设置",
                                           "设置被选项")),
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

std::vector<app::SettingRow> OtherSettingsPage::Rows() {
  std::vector<app::SettingRow> rows;
  // Fast shutdown is a text flag that unticking sets to "0" rather than deletes.
  rows.push_back(Flag("Checkjkgj",
                      {kHKLM, "System\\CurrentControlSet\\Control\\Shutdown", "FastReboot"}, kRegSz,
                      Variant("1"), RowAction::kWrite, Variant("0")));
  rows.push_back(Flag("Checkpbrj", {kHKCU, std::string(kPolicies) + "Explorer", "NoWinKeys"},
                      kRegDword, Variant(1), RowAction::kDeleteValue));
  rows.push_back(Flag("Checkxsdl",
                      {kHKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\WinLogon",
                       "DontDisplayLastUserName"},
                      kRegSz, Variant("1"), RowAction::kDeleteValue));
  // The alert threshold: ticked when it is other than the system's 1024; the
  // box is not filled, so an apply without a number typed leaves it alone.
  CheckRow threshold;
  threshold.control = "Checkypjb";
  threshold.text_box = "Textyp";
  threshold.value = {kHKLM, "System\\CurrentControlSet\\Services\\LanmanServer\\Parameters",
                     "DiskSpaceThreshold"};
  threshold.type = kRegDword;
  threshold.unticked = RowAction::kDeleteValue;
  threshold.start = 1024;
  threshold.match = Variant(1024);
  threshold.match_when_equal = false;
  rows.push_back(threshold);
  rows.push_back(Flag("Checkjyhdzm",
                      {kHKCU, std::string(kPolicies) + "ActiveDesktop", "NoAddingComponents"},
                      kRegDword, Variant(1), RowAction::kDeleteValue));
  rows.push_back(
      Flag("Checkgbpb",
           {kHKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Defrag\\Settings",
            "DisableScreenSaver"},
           kRegSz, Variant("yes"), RowAction::kDeleteValue));
  return rows;
}

void OtherSettingsPage::Fill(app::LoadStep step) {
  if (step == app::LoadStep::kOtherSettings) table_.Load();
}

void OtherSettingsPage::Apply() {
  program_.RestartPending = 1;
  // The entry comes first and stands whatever the writes do.
  program_.log().AppendLogEntry("其它设置与优化成功  ");
  table_.Apply();
}

}  // namespace korvanta::panels
