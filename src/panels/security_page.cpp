#include "panels/security_page.h"

#include <utility>

#include "services/theme.h"
#include "store/paths.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using services::CheckRow;
using services::HookRow;
using services::RegValue;
using services::RowAction;
using ui::CheckBox;
using ui::Place;

constexpr auto kHKCU = store::RegRoot::kCurrentUser;
constexpr auto kHKLM = store::RegRoot::kLocalMachine;

constexpr const char* kUserPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
constexpr const char* kMachinePolicies = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kDrivesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\policies\\Explorer";
constexpr const char* kNoScreenSaver = "请选择屏幕保护程序";

// The drive frame on the left, the policy frame beside it; the page's buttons
// stand below both.
constexpr int kFrameTop = 480, kFrameHeight = 5820;
constexpr int kDriveLeft = 120, kDriveWidth = 1800;
constexpr int kPolicyLeft = 2040, kPolicyWidth = 5910;
constexpr int kChecksTop = 780, kCheckPitch = 330;

ui::Rect CheckAt(int row) {
  return {180, kChecksTop + row * kCheckPitch, kPolicyWidth - 300, 285};
}

CheckRow UserFlag(services::Places at, std::string control, std::string key, std::string name) {
  return services::FlagRow(at, std::move(control),
                           {kHKCU, kUserPolicies + std::move(key), std::move(name)},
                           store::kRegDword, store::Variant(1));
}

// The drive letter of a listed root ("C:\"), as a bit of the hidden-drive mask.
std::uint32_t DriveBit(const std::string& root) {
  if (root.empty() || root[0] < 'A' || root[0] > 'Z') return 0;
  return std::uint32_t{1} << (root[0] - 'A');
}

}  // namespace

SecurityPage::SecurityPage(services::Program& program, ui::PictureBox& page)
    : Frame9(Place<ui::Frame>(page, "Frame9", {kDriveLeft, kFrameTop, kDriveWidth, kFrameHeight},
                              "隐藏磁盘驱动器")),
      Frame10(Place<ui::Frame>(page, "Frame10",
                               {kPolicyLeft, kFrameTop, kPolicyWidth, kFrameHeight},
                               "系统安全设置(请谨慎使用)")),
      Listdiv(Place<ui::ListBox>(Frame9, "Listdiv", {150, 300, kDriveWidth - 300, 4380})),
      Combo2(Place<ui::ComboBox>(Frame10, "Combo2", {180, 300, 3060, 330}, kNoScreenSaver)),
      Checkzdpb(Place<CheckBox>(Frame10, "Checkzdpb", CheckAt(0), "开机自动启动屏保")),
      Commandhfp(Place<ui::CommandButton>(Frame9, "Commandhfp", {150, 4800, kDriveWidth - 300, 375},
                                          "恢复全部", "恢复所有隐藏的驱动器")),
      Commandycp(Place<ui::CommandButton>(Frame9, "Commandycp", {150, 5280, kDriveWidth - 300, 375},
                                          "隐藏/恢复", "隐藏被选中的驱动器，恢复没被选中的驱动器")),
      Commandszpb(Place<ui::CommandButton>(Frame10, "Commandszpb", {3360, 285, 1140, 360},
                                           "属性设置", "设置被选屏保属性")),
      Commandyl(Place<ui::CommandButton>(Frame10, "Commandyl", {4620, 285, 1140, 360}, "预览",
                                         "预览被选屏保")),
      Commandszaq(Place<ui::CommandButton>(page, "Commandszaq", services::theme::PageButton(1),
                                           "设置", "设置被选项")),
      program_(program),
      table_(program.machine().reg(), *page.form(), Rows()) {
  Listdiv.multi_select = true;
  constexpr const char* kChecks[] = {"Checkautcd", "禁止光盘自动运行",
                                     "Checkesc",   "禁止匿名用户Esc键登陆",
                                     "Checkxfld",  "修复ADODB.Stream漏洞(推荐)",
                                     "Checkjzwc",  "禁止执行REG文件(危险)",
                                     "Checkieck",  "禁止用IE查看本地磁盘内容",
                                     "Checkjywjj", "禁用文件夹选项菜单",
                                     "Checkdos",   "禁止MS-DOS方式",
                                     "Checkqxqh",  "取消\"重启计算机并切换到MS-DOS\"功能",
                                     "Checkjzzcb", "禁止使用注册表编辑器(危险)",
                                     "Checkjycx",  "禁止使用任何程序(危险)",
                                     "Checktcbc",  "禁止Windows退出时自动保存信息",
                                     "Checkjyglq", "禁用文件管理器",
                                     "Checkjzgx",  "禁止文件共享",
                                     "Checkjzxs",  "禁止修改显示属性"};
  for (int i = 0; i < 14; ++i) {
    Place<CheckBox>(Frame10, kChecks[2 * i], CheckAt(i + 1), kChecks[2 * i + 1]);
  }
  Commandycp.on_click = [this] { HideDrives(); };
  Commandhfp.on_click = [this] { RestoreAllDrives(); };
  // A screen saver started without arguments shows its settings; opened by the
  // shell, it previews.
  Commandszpb.on_click = [this] { StartScreenSaver(true); };
  Commandyl.on_click = [this] { StartScreenSaver(false); };
  Commandszaq.on_click = [this] { Apply(); };
}

// Loaded and applied in the same order.
std::vector<services::SettingRow> SecurityPage::Rows() {
  return {
      UserFlag({.load = 1, .apply = 1}, "Checkjzgx", "Network", "NoFileSharingControl"),
      UserFlag({.load = 2, .apply = 2}, "Checkjyglq", "System", "DisableTaskMgr"),
      UserFlag({.load = 3, .apply = 3}, "Checkjzxs", "System", "NoDispCPL"),
      UserFlag({.load = 4, .apply = 4}, "Checkieck", "Explorer", "NoFileURL"),
      UserFlag({.load = 5, .apply = 5}, "Checktcbc", "Explorer", "NoSaveSettings"),
      services::FlagRow({.load = 6, .apply = 6}, "Checkqxqh",
                        {kHKLM, std::string(kMachinePolicies) + "WinOldApp", "NoRealMode"},
                        store::kRegDword, store::Variant(1)),
      UserFlag({.load = 7, .apply = 7}, "Checkdos", "WinOldApp", "Disabled"),
      UserFlag({.load = 8, .apply = 8}, "Checkjywjj", "Explorer", "NoFolderOptions"),
      services::FlagRow({.load = 9, .apply = 9}, "Checkjycx",
                        {kHKLM, std::string(kMachinePolicies) + "Explorer", "RestrictRun"},
                        store::kRegDword, store::Variant(1)),
      UserFlag({.load = 10, .apply = 10}, "Checkjzzcb", "System", "DisableRegistryTools"),
      services::FlagRow({.load = 11, .apply = 11}, "Checkxfld",
                        {kHKLM,
                         "SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX "
                         "Compatibility\\{00000566-0000-0010-8000-00AA006D2EA4}",
                         "Compatibility Flags"},
                        store::kRegDword, store::Variant(1024)),
      // Registry files open as text instead of being merged; unticking restores
      // the merge, so the value is written in both states.
      services::FlagRow({.load = 12, .apply = 12}, "Checkjzwc",
                        {kHKLM, "SOFTWARE\\CLASSES\\.reg", ""}, store::kRegSz,
                        store::Variant("txtfile"), RowAction::kWrite, store::Variant("regfile")),
      services::FlagRow({.load = 13, .apply = 13}, "Checkesc",
                        {kHKLM, "Network\\Logon", "MustBeValidated"}, store::kRegDword,
                        store::Variant(1)),
      // 181 turns autorun off for CD-ROM drives as well; 149 is the system's own
      // mask. Another mask a system of its own stored (XP's 145) is left as it is.
      CheckRow{.at = {.load = 14, .apply = 14},
               .control = "Checkautcd",
               .value = {kHKCU, std::string(kUserPolicies) + "Explorer", "NoDriveTypeAutoRun"},
               .type = store::kRegBinary,
               .ticked_data = store::Variant(181),
               .unticked = RowAction::kWrite,
               .unticked_data = store::Variant(149),
               .unticked_keeps_other = true,
               .match = store::Variant(181)},
      // The screen saver's box: the list fills first, so that the saved choice
      // can be shown in it.
      HookRow{.at = {.load = 15, .apply = 15},
              .name = Checkzdpb.id(),
              .load = [this] { LoadScreenSavers(); },
              .apply = [this] { ApplyAutoScreenSaver(); }},
  };
}

void SecurityPage::Reload() {
  table_.Load();
  LoadDrives();
}

void SecurityPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kSecurity) {
    table_.Load();
  } else if (step == services::LoadStep::kDriveList) {
    LoadDrives();
  }
}

void SecurityPage::Apply() {
  services::ApplySettingsPage(program_, "系统安全设置成功  ", table_);
}

std::string SecurityPage::SystemFolder() {
  std::string folder = program_.machine().paths().SysDir();
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

std::string SecurityPage::ChosenScreenSaver() {
  if (Combo2.text() == kNoScreenSaver) return {};
  return SystemFolder() + "\\" + Combo2.text();
}

void SecurityPage::LoadScreenSavers() {
  std::vector<store::FileEntry> entries;
  program_.machine().files().List(SystemFolder() + "\\*.scr", entries);
  for (const store::FileEntry& entry : entries) {
    if (!entry.is_directory()) Combo2.AddItem(entry.name);
  }
  LoadAutoScreenSaver();
}

void SecurityPage::LoadAutoScreenSaver() {
  Checkzdpb.set_ticked(false);
  store::Variant autopb;
  program_.machine().reg().QueryValue(kHKLM, kRunKey, "autopb", autopb);
  if (!(autopb == "")) {
    Checkzdpb.set_ticked(true);
    Combo2.set_text(store::GetName(autopb.ToText()));
  }
}

void SecurityPage::ApplyAutoScreenSaver() {
  std::string path = ChosenScreenSaver();
  store::Registry& reg = program_.machine().reg();
  if (Checkzdpb.ticked() && !path.empty()) {
    reg.SetValue(kHKLM, kRunKey, "autopb", store::kRegSz, store::Variant(path));
  } else {
    reg.DeleteValue(kHKLM, kRunKey, "autopb");
  }
}

void SecurityPage::StartScreenSaver(bool settings) {
  std::string path = ChosenScreenSaver();
  if (path.empty()) return;
  if (!program_.machine().shell().StartsPrograms()) {
    program_.dialogs().MessageBox(Combo2.form(), "Korvanta",
                                  "这台计算机上无法运行屏幕保护程序：" + path,
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
    return;
  }
  services::LaunchRequest request{"open", path, "", Combo2.form()};
  request.run_minimized = settings;
  program_.host().Launch(request);
}

void SecurityPage::LoadDrives() {
  Listdiv.Clear();
  store::Variant mask_read;
  program_.machine().reg().QueryValue(kHKCU, kDrivesKey, "Nodrives", mask_read);
  const auto mask = static_cast<std::uint32_t>(mask_read.ToInt32().value_or(0));
  for (int n = 0; n < 26; ++n) {
    std::string root = std::string(1, static_cast<char>('A' + n)) + ":\\";
    std::uint32_t type = program_.machine().files().DriveType(root);
    if (type != store::kDriveRemovable && type != store::kDriveFixed && type != store::kDriveCdrom)
      continue;
    Listdiv.AddItem(root);
    if (mask & (std::uint32_t{1} << n)) Listdiv.set_selected(Listdiv.count() - 1, true);
  }
}

void SecurityPage::HideDrives() {
  program_.RestartPending = 1;
  store::Registry& reg = program_.machine().reg();
  // Drives the list does not show (network drives, letters mapped later) keep
  // whatever the mask said of them: only the listed ones are the user's choice.
  store::Variant stored;
  reg.QueryValue(kHKCU, kDrivesKey, "Nodrives", stored);
  std::uint32_t mask = static_cast<std::uint32_t>(stored.ToInt32().value_or(0));
  for (int i = 0; i < Listdiv.count(); ++i) {
    std::uint32_t bit = DriveBit(Listdiv.items()[static_cast<std::size_t>(i)].text);
    mask = Listdiv.selected(i) ? (mask | bit) : (mask & ~bit);
  }
  reg.SetValue(kHKCU, kDrivesKey, "Nodrives", store::kRegDword,
               store::Variant(static_cast<std::int32_t>(mask)));
}

void SecurityPage::RestoreAllDrives() {
  program_.RestartPending = 1;
  program_.machine().reg().SetValue(kHKCU, kDrivesKey, "Nodrives", store::kRegDword,
                                    store::Variant(0));
  for (int i = 0; i < Listdiv.count(); ++i) Listdiv.set_selected(i, false);
}

}  // namespace korvanta::panels
