#include "panels/personalisation_page.h"

#include <iterator>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using services::CheckRow;
using services::HookRow;
using services::RegValue;
using services::RowAction;
using ui::CheckBox;
using ui::Place;
using ui::TextBox;

constexpr auto kHKCR = store::RegRoot::kClassesRoot;
constexpr auto kHKCU = store::RegRoot::kCurrentUser;
constexpr auto kHKLM = store::RegRoot::kLocalMachine;

constexpr const char* kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kUserPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kNonEnum = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
constexpr const char* kNameSpace =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\";
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWindowsNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWarningText = "在此修改警告信息";

// The DirectX box loads first of all, with the inventory; the rest at the
// page's own step. The desktop frame loads in screen order and applies in its
// own order.
constexpr int kWithInventory = 0, kOwnStep = 1;

// The other frame's check boxes, their captions and their text boxes; the last
// two text boxes stand apart (a browse button, a wider box).
struct OtherRow {
  const char* check;
  const char* caption;
  const char* text;
};
constexpr OtherRow kOther[] = {
    {"Checkyhm", "更改用户名", "Textyhm"},
    {"Checkgsm", "更改公司名", "Textgsm"},
    {"Checkgzz", "更改工作组", "Textgzz"},
    {"Checktime", "个性化时间", "Texttime"},
    {"Checkxpbs", "更改芯片标识", "Textxpbs"},
    {"CheckDirectX", "更改DirectX版本号", "TextDirectX"},
    {"Checkaz", "更改Windows安装盘路径", "Textaz"},
    {"Checkkjjg", "开机显示警告信息", "Textjg"},
};
constexpr int kOwnTextBoxes = 6;

// Check boxes of the desktop frame, two columns.
constexpr int kFrame1Top = 480, kFrame1Height = 1800;
constexpr int kFrame2Top = 2340, kFrame2Height = 3960;
constexpr int kFrameWidth = 7830;

ui::Rect DesktopBox(int i) {
  int column = i % 2, row = i / 2;
  return {180 + column * 3840, 300 + row * 290, 3720, 270};
}

constexpr int kOtherPitch = 440;
ui::Rect OtherBox(int row) {
  return {180, 300 + row * kOtherPitch, 2640, 300};
}
ui::Rect OtherText(int row, int width = 4800) {
  return {2880, 285 + row * kOtherPitch, width, 330};
}

// A REG_DWORD flag: 1 when ticked, ticked when it reads 1.
CheckRow Flag(services::Places at, std::string control, RegValue value, RowAction unticked) {
  return services::FlagRow(at, std::move(control), std::move(value), store::kRegDword,
                           store::Variant(1), unticked);
}

// A desktop icon shown while its NameSpace key is there, whatever name the key
// holds (Wine's are English); unticking writes the name with the text's own
// byte count, as the system's shell did.
CheckRow NameSpaceIcon(services::Places at, std::string control, std::string clsid,
                       std::string name) {
  CheckRow row;
  row.at = at;
  row.control = std::move(control);
  row.value = {kHKLM, kNameSpace + std::move(clsid), ""};
  row.type = services::kRegCountedText;
  row.ticked = RowAction::kDeleteKey;
  row.unticked = RowAction::kWrite;
  row.unticked_data = store::Variant(name);
  row.starts_ticked = true;
  row.match_key_exists = true;
  return row;
}

// A check box with its text box, written from the box as typed.
CheckRow TextRow(services::Places at, std::string control, std::string text_box, RegValue value) {
  CheckRow row;
  row.at = at;
  row.control = std::move(control);
  row.text_box = std::move(text_box);
  row.value = std::move(value);
  row.type = store::kRegSz;
  row.ticked = RowAction::kWrite;
  row.unticked = RowAction::kNothing;
  row.starts_ticked = true;
  row.fill_text = CheckRow::Text::kAlways;
  return row;
}

}  // namespace

PersonalisationPage::PersonalisationPage(services::Program& program, ui::PictureBox& page)
    : Frame1(Place<ui::Frame>(page, "Frame1", {120, kFrame1Top, kFrameWidth, kFrame1Height},
                              "桌面个性化设置")),
      Frame2(Place<ui::Frame>(page, "Frame2", {120, kFrame2Top, kFrameWidth, kFrame2Height},
                              "其他个性化设置")),
      Textjg(Place<TextBox>(Frame2, "Textjg", OtherText(7))),
      Textaz(Place<TextBox>(Frame2, "Textaz", OtherText(6, 4320))),
      Commandszgxh(Place<ui::CommandButton>(page, "Commandszgxh", services::theme::PageButton(1),
                                            "设置", "设置被选项")),
      Commandllaz(Place<ui::CommandButton>(Frame2, "Commandllaz",
                                           {7260, 285 + 6 * kOtherPitch, 480, 330}, "…", "浏览")),
      program_(program),
      page_(page),
      table_(program.machine().reg(), *page.form(), Rows()) {
  constexpr const char* kDesktop[] = {"Checkcj",   "创建没有“快捷方式”字样的快捷键",
                                      "Checkjt",   "去除快捷方式图标中的小箭头",
                                      "Checkbb",   "在桌面显示Windows版本号",
                                      "Checkycie", "隐藏桌面上的IE图标",
                                      "Checkhsz",  "隐藏回收站图标",
                                      "Checkwd",   "隐藏我的文档图标",
                                      "Checkwslj", "隐藏网上邻居图标",
                                      "Checkyctb", "隐藏桌面所有图标",
                                      "Checkwddn", "隐藏我的电脑图标"};
  for (int i = 0; i < 9; ++i) {
    Place<CheckBox>(Frame1, kDesktop[2 * i], DesktopBox(i), kDesktop[2 * i + 1]);
  }
  for (int i = 0; i < kOwnTextBoxes; ++i) {
    Place<CheckBox>(Frame2, kOther[i].check, OtherBox(i), kOther[i].caption);
    Place<TextBox>(Frame2, kOther[i].text, OtherText(i, i == 3 ? 2040 : 4800));
  }
  Place<ui::Label>(Frame2, "Labelsj", {4980, 330 + 3 * kOtherPitch, 2700, 270},
                   "(类型如：hh点mm分)");
  for (int i = kOwnTextBoxes; i < static_cast<int>(std::size(kOther)); ++i) {
    Place<CheckBox>(Frame2, kOther[i].check, OtherBox(i), kOther[i].caption);
  }

  // The placeholder text goes at every click, so the user can type the warning.
  Textjg.on_click = [this] { Textjg.set_text(""); };
  Commandllaz.on_click = [this] {
    if (auto folder =
            program_.dialogs().BrowseForFolder(page_.form(), "请选择Windows安装盘路径： ")) {
      Textaz.set_text(*folder);
    }
  };
  Commandszgxh.on_click = [this] { Apply(); };
}

std::vector<services::SettingRow> PersonalisationPage::Rows() {
  return {
      CheckRow{.at = {.load = 1, .apply = 1},
               .control = "Checkcj",
               .value = {kHKCU, kExplorer, "Link"},
               .type = store::kRegBinary,
               .ticked_data = store::Variant(0),
               .unticked = RowAction::kDeleteValue,
               .start = store::Variant(1),
               .match = store::Variant(0)},
      BoxHook({.load = 2, .apply = 2}, "Checkjt", &PersonalisationPage::LoadShortcutArrows,
              &PersonalisationPage::ApplyShortcutArrows),
      Flag({.load = 3, .apply = 3}, "Checkbb",
           {kHKCU, "Control panel\\Desktop", "PaintDesktopVersion"}, RowAction::kWrite),
      Flag({.load = 4, .apply = 4}, "Checkycie", {kHKCU, kUserPolicies, "NoInternetIcon"},
           RowAction::kWrite),
      NameSpaceIcon({.load = 5, .apply = 5}, "Checkhsz", "{645FF040-5081-101B-9F08-00AA002F954E}",
                    "回收站"),
      NameSpaceIcon({.load = 6, .apply = 6}, "Checkwd", "{450D8FBA-AD25-11D0-98A8-0800361B1103}",
                    "我的文档"),
      Flag({.load = 7, .apply = 8}, "Checkwslj",
           {kHKLM, kNonEnum, "{208D2C60-3AEA-1069-A2D7-08002B30309D}"}, RowAction::kDeleteValue),
      BoxHook({.load = 8, .apply = 9}, "Checkyctb", &PersonalisationPage::LoadDesktopIcons,
              &PersonalisationPage::ApplyDesktopIcons),
      Flag({.load = 9, .apply = 7}, "Checkwddn",
           {kHKLM, kNonEnum, "{20D04FE0-3AEA-1069-A2D8-08002B30309D}"}, RowAction::kDeleteValue),

      OwnerRow({.load = 10, .apply = 10}, "Checkyhm", "Textyhm", "RegisteredOwner"),
      OwnerRow({.load = 11, .apply = 11}, "Checkgsm", "Textgsm", "RegisteredOrganization"),
      CheckRow{.at = {.load = 12, .apply = 12},
               .control = "Checkgzz",
               .text_box = "Textgzz",
               .value = {kHKLM, "System\\CurrentControlSet\\Services\\VxD\\VNETSUP", "workgroup"},
               .type = store::kRegSz,
               .unticked = RowAction::kNothing,
               .starts_ticked = true,
               .match = store::Variant(""),
               .fill_text = CheckRow::Text::kAlways},
      CheckRow{.at = {.load = 13, .apply = 13},
               .control = "Checktime",
               .text_box = "Texttime",
               .value = {kHKCU, "Control Panel\\International", "sTimeFormat"},
               .type = store::kRegSz,
               .unticked = RowAction::kDeleteValue,
               .match = store::Variant(""),
               .match_when_equal = false,
               .fill_text = CheckRow::Text::kOnMatch},
      TextRow({.load = 14, .apply = 14}, "Checkxpbs", "Textxpbs",
              {kHKLM, "Hardware\\Description\\System\\CentralProcessor\\0", "VendorIdentifier"}),
      TextRow({.load = kWithInventory, .apply = 15}, "CheckDirectX", "TextDirectX",
              {kHKLM, "Software\\Microsoft\\DirectX", "Version"}),
      CheckRow{
          .at = {.load = 15, .apply = 16},
          .control = "Checkaz",
          .text_box = "Textaz",
          .value = {kHKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\setup", "sourcepath"},
          .type = store::kRegSz,
          .unticked = RowAction::kNothing,
          .starts_ticked = true,
          .match = store::Variant(""),
          .fill_text = CheckRow::Text::kAlways},
      CheckRow{.at = {.load = 16, .apply = 17},
               .control = "Checkkjjg",
               .text_box = "Textjg",
               .value = {kHKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Winlogon",
                         "LegalNoticeText"},
               .type = store::kRegSz,
               .unticked = RowAction::kDeleteValue,
               .companion = "LegalNoticeCaption",
               .companion_data = store::Variant("警告"),
               .start_text = kWarningText,
               .match = store::Variant(""),
               .match_when_equal = false,
               .fill_text = CheckRow::Text::kOnMatch},
  };
}

// A row the page loads and applies itself, over one of its check boxes.
HookRow PersonalisationPage::BoxHook(services::Places at, std::string control, BoxStep load,
                                     BoxStep apply) {
  auto step = [this, control](BoxStep f) {
    return [this, control, f] {
      if (auto* box = page_.form()->Get<CheckBox>(control)) (this->*f)(*box);
    };
  };
  return {.at = at, .name = control, .load = step(load), .apply = step(apply)};
}

HookRow PersonalisationPage::OwnerRow(services::Places at, std::string control,
                                      std::string text_box, std::string value) {
  return {.at = at,
          .name = control,
          .load = [=, this] { LoadOwner(control, text_box, value); },
          .apply = [=, this] { ApplyOwner(control, text_box, value); }};
}

void PersonalisationPage::Reload() {
  table_.Load(kOwnStep);
}

void PersonalisationPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kInventory) {
    table_.Load(kWithInventory, kWithInventory);
  } else if (step == services::LoadStep::kPersonalisation) {
    table_.Load(kOwnStep);
  }
}

void PersonalisationPage::Apply() {
  // A ticked row's text that the code page cannot hold would be stored as '?':
  // the user is told which characters, and the apply writes nothing.
  std::string written;
  for (const auto& [check, caption, text] : kOther) {
    auto* box = page_.form()->Get<CheckBox>(check);
    auto* field = page_.form()->Get<TextBox>(text);
    if (box && field && box->ticked()) written += field->text();
  }
  if (std::string unstorable = program_.machine().UnstorableMessage({written});
      !unstorable.empty()) {
    program_.dialogs().MessageBox(program_.main(), "警告", unstorable,
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
    return;
  }
  services::ApplySettingsPage(program_, "系统个性化设置成功  ", table_);
}

// Both IsShortCut values: the arrow shows while both are there.
void PersonalisationPage::LoadShortcutArrows(CheckBox& box) {
  box.set_ticked(true);
  store::Registry& reg = program_.machine().reg();
  store::Variant lnk = "1", pif = "1";
  reg.QueryValue(kHKCR, "lnkfile", "IsShortCut", lnk);
  reg.QueryValue(kHKCR, "piffile", "IsShortCut", pif);
  if (lnk == "" && pif == "") box.set_ticked(false);
}

void PersonalisationPage::ApplyShortcutArrows(CheckBox& box) {
  store::Registry& reg = program_.machine().reg();
  for (const char* key : {"lnkfile", "piffile"}) {
    if (box.ticked()) {
      reg.DeleteValue(kHKCR, key, "IsShortCut");
    } else {
      reg.SetValue(kHKCR, key, "IsShortCut", store::kRegSz, store::Variant(""));
    }
  }
}

// Its state comes from the policy, which this page never writes.
void PersonalisationPage::LoadDesktopIcons(CheckBox& box) {
  box.set_ticked(false);
  store::Variant policy;
  program_.machine().reg().QueryValue(kHKCU, kUserPolicies, "NoDesktop", policy);
  if (policy == 1) box.set_ticked(true);
}

void PersonalisationPage::ApplyDesktopIcons(CheckBox& box) {
  program_.machine().shell().ShowDesktopIconView(!box.ticked());
}

// Owner and organisation live under the Windows key, else under Windows NT.
void PersonalisationPage::LoadOwner(std::string_view control, std::string_view text_box,
                                    std::string_view value) {
  auto* box = page_.form()->Get<CheckBox>(control);
  auto* text = page_.form()->Get<TextBox>(text_box);
  if (!box || !text) return;
  box->set_ticked(true);
  store::Registry& reg = program_.machine().reg();
  store::Variant read;
  reg.QueryValue(kHKLM, kWindowsKey, value, read);
  if (read == "") reg.QueryValue(kHKLM, kWindowsNtKey, value, read);
  text->set_text(read.ToText());
}

void PersonalisationPage::ApplyOwner(std::string_view control, std::string_view text_box,
                                     std::string_view value) {
  auto* box = page_.form()->Get<CheckBox>(control);
  auto* text = page_.form()->Get<TextBox>(text_box);
  if (!box || !text || !box->ticked()) return;
  store::Registry& reg = program_.machine().reg();
  store::Variant first;
  reg.QueryValue(kHKLM, kWindowsKey, value, first);
  RegValue target{kHKLM, first == "" ? kWindowsNtKey : kWindowsKey, std::string(value)};
  // A box nobody filled in creates no value.
  store::Variant existing;
  if (text->text().empty() &&
      reg.QueryValue(target.root, target.key, target.name, existing) == store::kFileNotFound) {
    return;
  }
  reg.SetValue(target.root, target.key, target.name, store::kRegSz, store::Variant(text->text()));
}

}  // namespace korvanta::panels
