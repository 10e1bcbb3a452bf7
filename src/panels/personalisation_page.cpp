#include "panels/personalisation_page.h"

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using app::CheckRow;
using app::HookRow;
using app::RegValue;
using app::RowAction;
using ui::CheckBox;
using ui::Place;
using ui::TextBox;

constexpr auto kHKCR = RegRoot::kClassesRoot;
constexpr auto kHKCU = RegRoot::kCurrentUser;
constexpr auto kHKLM = RegRoot::kLocalMachine;

constexpr const char* kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kUserPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kNonEnum = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
constexpr const char* kNameSpace =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\";
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWindowsNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWarningText = "在此修改警告信息";

// The desktop frame loads in screen order and applies in its own order; the
// DirectX box loads first of all, with the inventory.
constexpr std::string_view kLoadOrder[] = {"Checkcj",   "Checkjt",   "Checkbb",   "Checkycie",
                                           "Checkhsz",  "Checkwd",   "Checkwslj", "Checkyctb",
                                           "Checkwddn", "Checkyhm",  "Checkgsm",  "Checkgzz",
                                           "Checktime", "Checkxpbs", "Checkaz",   "Checkkjjg"};
constexpr std::string_view kDirectXRow[] = {"CheckDirectX"};
constexpr std::string_view kApplyOrder[] = {
    "Checkcj",   "Checkjt",   "Checkbb",      "Checkycie", "Checkhsz", "Checkwd",
    "Checkwddn", "Checkwslj", "Checkyctb",    "Checkyhm",  "Checkgsm", "Checkgzz",
    "Checktime", "Checkxpbs", "CheckDirectX", "Checkaz",   "Checkkjjg"};

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
CheckRow Flag(std::string control, RegValue value, RowAction unticked) {
  return app::FlagRow(std::move(control), std::move(value), kRegDword, Variant(1), unticked);
}

// A desktop icon shown while its NameSpace key is there, whatever name the key
// holds (Wine's are English); unticking writes the name with the text's own
// byte count, as the system's shell did.
CheckRow NameSpaceIcon(std::string control, std::string clsid, std::string name) {
  CheckRow row;
  row.control = std::move(control);
  row.value = {kHKLM, kNameSpace + std::move(clsid), ""};
  row.type = app::kRegCountedText;
  row.ticked = RowAction::kDeleteKey;
  row.unticked = RowAction::kWrite;
  row.unticked_data = Variant(name);
  row.starts_ticked = true;
  row.match_key_exists = true;
  return row;
}

// A check box with its text box, written from the box as typed.
CheckRow TextRow(std::string control, std::string text_box, RegValue value) {
  CheckRow row;
  row.control = std::move(control);
  row.text_box = std::move(text_box);
  row.value = std::move(value);
  row.type = kRegSz;
  row.ticked = RowAction::kWrite;
  row.unticked = RowAction::kNothing;
  row.starts_ticked = true;
  row.fill_text = CheckRow::Text::kAlways;
  return row;
}

}  // namespace

PersonalisationPage::PersonalisationPage(app::Program& program, ui::PictureBox& page)
    : Frame1(Place<ui::Frame>(page, "Frame1", {120, kFrame1Top, kFrameWidth, kFrame1Height},
                              "桌面个性化设置")),
      Frame2(Place<ui::Frame>(page, "Frame2", {120, kFrame2Top, kFrameWidth, kFrame2Height},
                              "其他个性化设置")),
      Textjg(Place<TextBox>(Frame2, "Textjg", OtherText(7))),
      Textaz(Place<TextBox>(Frame2, "Textaz", OtherText(6, 4320))),
      Commandszgxh(Place<ui::CommandButton>(page, "Commandszgxh", app::theme::PageButton(1), "设置",
                                            "设置被选项")),
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
  constexpr const char* kOther[] = {
      "Checkyhm",  "更改用户名",   "Textyhm",  "Checkgsm",     "更改公司名",        "Textgsm",
      "Checkgzz",  "更改工作组",   "Textgzz",  "Checktime",    "个性化时间",        "Texttime",
      "Checkxpbs", "更改芯片标识", "Textxpbs", "CheckDirectX", "更改DirectX版本号", "TextDirectX"};
  for (int i = 0; i < 6; ++i) {
    Place<CheckBox>(Frame2, kOther[3 * i], OtherBox(i), kOther[3 * i + 1]);
    Place<TextBox>(Frame2, kOther[3 * i + 2], OtherText(i, i == 3 ? 2040 : 4800));
  }
  Place<ui::Label>(Frame2, "Labelsj", {4980, 330 + 3 * kOtherPitch, 2700, 270},
                   "(类型如：hh点mm分)");
  Place<CheckBox>(Frame2, "Checkaz", OtherBox(6), "更改Windows安装盘路径");
  Place<CheckBox>(Frame2, "Checkkjjg", OtherBox(7), "开机显示警告信息");

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

std::vector<app::SettingRow> PersonalisationPage::Rows() {
  std::vector<app::SettingRow> rows;

  CheckRow link;
  link.control = "Checkcj";
  link.value = {kHKCU, kExplorer, "Link"};
  link.type = kRegBinary;
  link.ticked_data = 0;
  link.unticked = RowAction::kDeleteValue;
  link.start = 1;
  link.match = Variant(0);
  rows.push_back(link);

  rows.push_back(
      HookRow{"Checkjt", [this] { LoadShortcutArrows(); }, [this] { ApplyShortcutArrows(); }});
  rows.push_back(
      Flag("Checkbb", {kHKCU, "Control panel\\Desktop", "PaintDesktopVersion"}, RowAction::kWrite));
  rows.push_back(Flag("Checkycie", {kHKCU, kUserPolicies, "NoInternetIcon"}, RowAction::kWrite));
  rows.push_back(NameSpaceIcon("Checkhsz", "{645FF040-5081-101B-9F08-00AA002F954E}", "回收站"));
  rows.push_back(NameSpaceIcon("Checkwd", "{450D8FBA-AD25-11D0-98A8-0800361B1103}", "我的文档"));
  rows.push_back(Flag("Checkwslj", {kHKLM, kNonEnum, "{208D2C60-3AEA-1069-A2D7-08002B30309D}"},
                      RowAction::kDeleteValue));
  rows.push_back(HookRow{"Checkyctb",
                         [this] {
                           // Its state comes from the policy, which this page never writes.
                           auto* box = page_.form()->Get<CheckBox>("Checkyctb");
                           if (!box) return;
                           box->set_ticked(false);
                           Variant policy;
                           program_.machine().reg().QueryValue(kHKCU, kUserPolicies, "NoDesktop",
                                                               policy);
                           if (policy == 1) box->set_ticked(true);
                         },
                         [this] {
                           if (auto* box = page_.form()->Get<CheckBox>("Checkyctb")) {
                             program_.machine().shell().ShowDesktopIconView(!box->ticked());
                           }
                         }});
  rows.push_back(Flag("Checkwddn", {kHKLM, kNonEnum, "{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
                      RowAction::kDeleteValue));

  rows.push_back(HookRow{"Checkyhm",
                         [this] { LoadOwner("Checkyhm", "Textyhm", "RegisteredOwner"); },
                         [this] { ApplyOwner("Checkyhm", "Textyhm", "RegisteredOwner"); }});
  rows.push_back(HookRow{"Checkgsm",
                         [this] { LoadOwner("Checkgsm", "Textgsm", "RegisteredOrganization"); },
                         [this] { ApplyOwner("Checkgsm", "Textgsm", "RegisteredOrganization"); }});
  CheckRow workgroup =
      TextRow("Checkgzz", "Textgzz",
              {kHKLM, "System\\CurrentControlSet\\Services\\VxD\\VNETSUP", "workgroup"});
  workgroup.match = Variant("");
  rows.push_back(workgroup);
  CheckRow time =
      TextRow("Checktime", "Texttime", {kHKCU, "Control Panel\\International", "sTimeFormat"});
  time.unticked = RowAction::kDeleteValue;
  time.starts_ticked = false;
  time.match = Variant("");
  time.match_when_equal = false;
  time.fill_text = CheckRow::Text::kOnMatch;
  rows.push_back(time);
  rows.push_back(
      TextRow("Checkxpbs", "Textxpbs",
              {kHKLM, "Hardware\\Description\\System\\CentralProcessor\\0", "VendorIdentifier"}));
  rows.push_back(
      TextRow("CheckDirectX", "TextDirectX", {kHKLM, "Software\\Microsoft\\DirectX", "Version"}));
  CheckRow setup =
      TextRow("Checkaz", "Textaz",
              {kHKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\setup", "sourcepath"});
  setup.match = Variant("");
  rows.push_back(setup);
  CheckRow warning =
      TextRow("Checkkjjg", "Textjg",
              {kHKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Winlogon", "LegalNoticeText"});
  warning.companion = "LegalNoticeCaption";
  warning.companion_data = Variant("警告");
  warning.unticked = RowAction::kDeleteValue;
  warning.starts_ticked = false;
  warning.start_text = kWarningText;
  warning.match = Variant("");
  warning.match_when_equal = false;
  warning.fill_text = CheckRow::Text::kOnMatch;
  rows.push_back(warning);
  return rows;
}

void PersonalisationPage::Reload() {
  table_.Load(kLoadOrder);
}

void PersonalisationPage::Fill(app::LoadStep step) {
  if (step == app::LoadStep::kInventory) {
    table_.Load(kDirectXRow);
  } else if (step == app::LoadStep::kPersonalisation) {
    table_.Load(kLoadOrder);
  }
}

void PersonalisationPage::Apply() {
  // A ticked row's text that the code page cannot hold would be stored as '?':
  // the user is told which characters, and the apply writes nothing.
  constexpr std::pair<const char*, const char*> kTexts[] = {
      {"Checkyhm", "Textyhm"},   {"Checkgsm", "Textgsm"},   {"Checkgzz", "Textgzz"},
      {"Checktime", "Texttime"}, {"Checkxpbs", "Textxpbs"}, {"CheckDirectX", "TextDirectX"},
      {"Checkaz", "Textaz"},     {"Checkkjjg", "Textjg"}};
  std::string written;
  for (const auto& [check, text] : kTexts) {
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
  app::ApplySettingsPage(program_, "系统个性化设置成功  ", table_, kApplyOrder);
}

// Both IsShortCut values: the arrow shows while both are there.
void PersonalisationPage::LoadShortcutArrows() {
  auto* box = page_.form()->Get<CheckBox>("Checkjt");
  if (!box) return;
  box->set_ticked(true);
  Registry& reg = program_.machine().reg();
  Variant lnk = "1", pif = "1";
  reg.QueryValue(kHKCR, "lnkfile", "IsShortCut", lnk);
  reg.QueryValue(kHKCR, "piffile", "IsShortCut", pif);
  if (lnk == "" && pif == "") box->set_ticked(false);
}

void PersonalisationPage::ApplyShortcutArrows() {
  auto* box = page_.form()->Get<CheckBox>("Checkjt");
  if (!box) return;
  Registry& reg = program_.machine().reg();
  for (const char* key : {"lnkfile", "piffile"}) {
    if (box->ticked()) {
      reg.DeleteValue(kHKCR, key, "IsShortCut");
    } else {
      reg.SetValue(kHKCR, key, "IsShortCut", kRegSz, Variant(""));
    }
  }
}

// Owner and organisation live under the Windows key, else under Windows NT.
void PersonalisationPage::LoadOwner(std::string_view control, std::string_view text_box,
                                    std::string_view value) {
  auto* box = page_.form()->Get<CheckBox>(control);
  auto* text = page_.form()->Get<TextBox>(text_box);
  if (!box || !text) return;
  box->set_ticked(true);
  Registry& reg = program_.machine().reg();
  Variant read;
  reg.QueryValue(kHKLM, kWindowsKey, value, read);
  if (read == "") reg.QueryValue(kHKLM, kWindowsNtKey, value, read);
  text->set_text(read.ToText());
}

void PersonalisationPage::ApplyOwner(std::string_view control, std::string_view text_box,
                                     std::string_view value) {
  auto* box = page_.form()->Get<CheckBox>(control);
  auto* text = page_.form()->Get<TextBox>(text_box);
  if (!box || !text || !box->ticked()) return;
  Registry& reg = program_.machine().reg();
  Variant first;
  reg.QueryValue(kHKLM, kWindowsKey, value, first);
  app::RegValue target{kHKLM, first == "" ? kWindowsNtKey : kWindowsKey, std::string(value)};
  // A box nobody filled in creates no value.
  Variant existing;
  if (text->text().empty() &&
      reg.QueryValue(target.root, target.key, target.name, existing) == kFileNotFound) {
    return;
  }
  reg.SetValue(target.root, target.key, target.name, kRegSz, Variant(text->text()));
}

}  // namespace korvanta::panels
