#include "panels/filesystem_page.h"

#include <string>
#include <utility>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using services::CheckRow;
using services::OptionRow;
using services::RegValue;
using services::RowAction;
using services::SliderRow;
using ui::CheckBox;
using ui::Label;
using ui::Place;

constexpr auto kHKCU = store::RegRoot::kCurrentUser;
constexpr auto kHKLM = store::RegRoot::kLocalMachine;

constexpr const char* kFileSystem = "System\\CurrentControlSet\\Control\\FileSystem";
constexpr const char* kDesktop = "Control Panel\\desktop";

// The frames span the page; the check boxes stand below them on the page itself.
constexpr int kFrameLeft = 120, kFrameWidth = 7830;
constexpr int kFrame7Top = 480, kFrame7Height = 1380;
constexpr int kFrame8Top = 1980, kFrame8Height = 780;
constexpr int kChecksTop = 2940, kCheckPitch = 420;
constexpr int kWaitTop = 5160, kWaitPitch = 480;

ui::Rect CheckAt(int row) {
  return {240, kChecksTop + row * kCheckPitch, 7560, 300};
}

// A wait time typed into its text box: ticked, with the text, while it reads
// other than empty; unticking deletes it.
CheckRow WaitTime(services::Places at, std::string control, std::string text_box,
                  std::string name) {
  CheckRow row;
  row.at = at;
  row.control = std::move(control);
  row.text_box = std::move(text_box);
  row.value = {kHKCU, kDesktop, std::move(name)};
  row.type = store::kRegSz;
  row.unticked = RowAction::kDeleteValue;
  row.match = store::Variant("");
  row.match_when_equal = false;
  row.fill_text = CheckRow::Text::kOnMatch;
  return row;
}

}  // namespace

FileSystemPage::FileSystemPage(services::Program& program, ui::PictureBox& page)
    : Frame7(Place<ui::Frame>(page, "Frame7", {kFrameLeft, kFrame7Top, kFrameWidth, kFrame7Height},
                              "文件系统缓冲大小设置")),
      Frame8(Place<ui::Frame>(page, "Frame8", {kFrameLeft, kFrame8Top, kFrameWidth, kFrame8Height},
                              "Windows文件保护扫描设置")),
      Slider4(Place<ui::Slider>(Frame7, "Slider4", {600, 300, 6630, 480})),
      Labeldqxd4(Place<Label>(Frame7, "Labeldqxd4", {600, 900, 6630, 300})),
      Commandszwj(Place<ui::CommandButton>(page, "Commandszwj", services::theme::PageButton(1),
                                           "设置", "设置被选项")),
      program_(program),
      table_(program.machine().reg(), *page.form(), Rows()) {
  Slider4.set_range(0, 200, 1, 10, 10);
  Place<Label>(Frame7, "Labelx4", {240, 390, 300, 270}, "小");
  Place<Label>(Frame7, "Labeld4", {7290, 390, 300, 270}, "大");
  ui::Appearance centred = Labeldqxd4.appearance();
  centred.align = ui::Align::kCenter;
  Labeldqxd4.set_appearance(centred);

  // Option buttons group by their container: the three share the frame alone.
  Place<ui::OptionButton>(Frame8, "Optionbsm", {240, 330, 2400, 300}, "启动时不进行扫描");
  Place<ui::OptionButton>(Frame8, "Optionmcsm", {2760, 330, 2700, 300}, "每次启动时都进行扫描");
  Place<ui::OptionButton>(Frame8, "Optionjyc", {5580, 330, 2040, 300}, "仅扫描一次");

  constexpr const char* kChecks[] = {"Checkjksd",   "加快多媒体软件运行的速度",
                                     "Checkjzcwjm", "禁止使用长文件名",
                                     "Checkcwjm",   "禁用长文件名中的\"～\"字符",
                                     "Checkdosks",  "激活Windows2000的DOS快速编辑模式",
                                     "Checkdvd",    "激活Windows Media Player播放DVD功能"};
  for (int i = 0; i < 5; ++i) {
    Place<CheckBox>(page, kChecks[2 * i], CheckAt(i), kChecks[2 * i + 1]);
  }
  constexpr const char* kWaits[] = {"Checkwfysj", "关闭“无响应的应用程序”的等待时间", "Textwfysj",
                                    "Checkcwjsj", "关闭出错应用程序的等待响应时间",   "Textccsj"};
  for (int i = 0; i < 2; ++i) {
    int top = kWaitTop + i * kWaitPitch;
    Place<CheckBox>(page, kWaits[3 * i], {240, top, 3900, 300}, kWaits[3 * i + 1]);
    Place<ui::TextBox>(page, kWaits[3 * i + 2], {4200, top - 15, 1800, 330});
    Place<Label>(page, "Labelms" + std::to_string(i + 1), {6060, top + 30, 900, 270}, "(毫秒)");
  }

  for (const services::SettingRow& row : table_.rows()) {
    if (const auto* slider = std::get_if<SliderRow>(&row)) {
      services::BindSliderReadout(*page.form(), *slider);
    }
  }
  Commandszwj.on_click = [this] { Apply(); };
}

// Loaded and applied in the same order.
std::vector<services::SettingRow> FileSystemPage::Rows() {
  return {
      SliderRow{.at = {.load = 1, .apply = 1},
                .control = "Slider4",
                .readout = "Labeldqxd4",
                .prefix = "当前选定值： ",
                .value = {kHKLM,
                          "System\\CurrentControlSet\\Control\\Session Manager\\Memory "
                          "Management",
                          "IoPageLockLimit"},
                .load_prefix = "当前选定值："},
      // Tested in this order on apply; only one of them can be selected.
      OptionRow{
          .at = {.load = 2, .apply = 2},
          .options = {{"Optionjyc", store::Variant(2)},
                      {"Optionbsm", store::Variant(0)},
                      {"Optionmcsm", store::Variant(1)}},
          .value = {kHKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\WinLogon", "SFCScan"}},
      services::FlagRow({.load = 3, .apply = 3}, "Checkjksd",
                        {kHKLM, kFileSystem, "ConfigFileAllocSize"}, store::kRegDword,
                        store::Variant(500), RowAction::kDeleteValue),
      services::FlagRow({.load = 4, .apply = 4}, "Checkjzcwjm",
                        {kHKLM, kFileSystem, "Win31FileSystem"}, store::kRegDword,
                        store::Variant(1), RowAction::kWrite),
      // Absent, the system makes numeric tails: the box loads as 1 reads.
      CheckRow{.at = {.load = 5, .apply = 5},
               .control = "Checkcwjm",
               .value = {kHKLM, kFileSystem, "NameNumericTail"},
               .type = store::kRegDword,
               .ticked_data = store::Variant(1),
               .unticked = RowAction::kWrite,
               .unticked_data = store::Variant(0),
               .start = store::Variant(1),
               .match = store::Variant(1)},
      services::FlagRow({.load = 6, .apply = 6}, "Checkdosks", {kHKCU, "Console", "QuickEdit"},
                        store::kRegDword, store::Variant(1), RowAction::kWrite),
      services::FlagRow(
          {.load = 7, .apply = 7}, "Checkdvd",
          {kHKCU, "Software\\Microsoft\\MediaPlayer\\Player\\Settings", "EnableDVDUI"},
          store::kRegSz, store::Variant("yes"), RowAction::kDeleteValue),
      WaitTime({.load = 8, .apply = 8}, "Checkcwjsj", "Textccsj", "HungAppTimeout"),
      WaitTime({.load = 9, .apply = 9}, "Checkwfysj", "Textwfysj", "WaitToKillAppTimeOut"),
  };
}

void FileSystemPage::Reload() {
  table_.Load();
}

void FileSystemPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kFileSystem) table_.Load();
}

void FileSystemPage::Apply() {
  services::ApplySettingsPage(program_, "文件系统设置成功  ", table_);
}

}  // namespace korvanta::panels
