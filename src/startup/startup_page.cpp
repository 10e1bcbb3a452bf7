#include "startup/startup_page.h"

#include <utility>

#include "services/theme.h"
#include "startup/startup_backup.h"
#include "startup/startup_places.h"
#include "store/paths.h"
#include "ui/declare.h"

namespace korvanta::startup {
namespace {

using ui::CheckBox;
using ui::CommandButton;
using ui::Label;
using ui::Place;
using ui::TextBox;

constexpr auto kHKLM = store::RegRoot::kLocalMachine;
constexpr const char* kPrefetchKey =
    "System\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";
constexpr const char* kDefault = "(error)";
// win.ini entries are read whole, however many programs they name: a cut entry
// would lose the rest of it when it is written back.
constexpr std::uint32_t kEntryCapacity = 32767;
constexpr std::uint32_t kOptionCapacity = 255;

constexpr int kListTop = 780, kListWidth = 7830, kListHeight = 2640;
constexpr int kAddTop = 3825, kRowPitch = 420;
constexpr int kOptionsTop = 4740, kOptionPitch = 360;

bool Blank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// Separators only: what is left of an entry without any program.
bool NoProgram(std::string_view text) {
  return text.find_first_not_of(" \t,") == std::string_view::npos;
}

std::string Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(" \t") - begin + 1));
}

// The win.ini entry a win.ini location edits; nullptr for the other places.
const char* WinIniEntry(std::string_view location) {
  if (location == kLabelLoad) return "load";
  if (location == kLabelWinRun) return "run";
  return nullptr;
}

const char* RunKeyOf(std::string_view location) {
  if (location == kLabelRun) return kRunKey;
  if (location == kLabelRunServices) return kRunServicesKey;
  return nullptr;
}

}  // namespace

StartupPage::StartupPage(services::Program& program, ui::PictureBox& page)
    : ListView1(Place<ui::ListView>(page, "ListView1", {120, kListTop, kListWidth, kListHeight})),
      Textqdmc(Place<TextBox>(page, "Textqdmc", {1290, kAddTop, 1800, 330})),
      Textcxwz(Place<TextBox>(page, "Textcxwz", {1290, kAddTop + kRowPitch, 4440, 330})),
      Commandll(Place<CommandButton>(page, "Commandll", {5790, kAddTop + kRowPitch, 360, 330}, "…",
                                     "浏览")),
      Combo1(Place<ui::ComboBox>(page, "Combo1", {4290, kAddTop, 1860, 330})),
      Commandtj(Place<CommandButton>(page, "Commandtj", {6330, kAddTop, 1620, 750}, "添加启动项",
                                     "添加启动项")),
      Checkxpjs(Place<CheckBox>(page, "Checkxpjs", {240, kOptionsTop, 7000, 300},
                                "加快WindowsXP的启动速度(推荐)")),
      Checkydxx(Place<CheckBox>(page, "Checkydxx", {240, kOptionsTop + kOptionPitch, 2280, 300},
                                "引导信息停留时间")),
      Textydxx(Place<TextBox>(page, "Textydxx", {2580, kOptionsTop + kOptionPitch - 15, 720, 330})),
      Checkjzsm(Place<CheckBox>(page, "Checkjzsm", {240, kOptionsTop + 2 * kOptionPitch, 7000, 300},
                                "禁止非正常关机后运行磁盘扫描程序")),
      Commandszkj(Place<CommandButton>(page, "Commandszkj", services::theme::PageButton(1), "设置",
                                       "设置被选项")),
      Commandhf(Place<CommandButton>(page, "Commandhf", services::theme::PageButton(2),
                                     "恢复启动项", "恢复到恢复前第一次删除启动项时的状态")),
      program_(program) {
  Place<Label>(page, "Labelzjqd", {120, 480, kListWidth, 285},
               "增减开机启动项（选择要删除的启动项按“设置”进行删除）：");
  Place<Label>(page, "Labeltjqd", {120, kAddTop - 330, 3000, 285}, "添加开机启动项：");
  Place<Label>(page, "Labelcxmc", {240, kAddTop + 30, 1050, 285}, "程序名称：");
  Place<Label>(page, "Labelqdwz", {3240, kAddTop + 30, 1050, 285}, "启动位置：");
  Place<Label>(page, "Labelcxwz", {240, kAddTop + kRowPitch + 30, 1050, 285}, "程序位置：");
  for (std::string_view label :
       {kLabelRun, kLabelRunServices, kLabelWinRun, kLabelLoad, kLabelStartupFolder}) {
    Combo1.AddItem(std::string(label));
  }
  Combo1.on_click = [this] { LocationChosen(); };
  Commandll.on_click = [this] { Browse(); };
  Commandtj.on_click = [this] { Add(); };
  Commandszkj.on_click = [this] { Apply(); };
  Commandhf.on_click = [this] { Restore(); };
}

void StartupPage::AddRow(std::string name, std::string command, std::string_view location) {
  ListView1.AddRow({std::move(name), std::move(command), std::string(location)}, true);
  ++counter_;
}

std::string StartupPage::BootFile() {
  return BootOptionsFile(program_.machine().paths().WinDir());
}

void StartupPage::Fill(services::LoadStep step) {
  if (step != services::LoadStep::kStartup) return;
  const int width = ListView1.rect().width;
  ListView1.AddColumn("程序名称", width / 4);
  ListView1.AddColumn("程序位置", width / 2);
  ListView1.AddColumn("启动位置", width / 4);
  FillRows();
}

void StartupPage::Reload() {
  ListView1.Clear();
  FillRows();
}

void StartupPage::FillRows() {
  counter_ = 1;
  FillRegistry(kRunKey, kLabelRun);
  FillRegistry(kRunServicesKey, kLabelRunServices);
  const std::string folder = StartupFolder(program_.machine().reg());
  for (std::string& name : ListFiles(program_.machine().files(), folder)) {
    std::string path = folder + "\\" + name;
    AddRow(std::move(name), std::move(path), kLabelStartupFolder);
  }
  FillWinIni("load", kLabelLoad);
  FillWinIni("run", kLabelWinRun);
  FillBootOptions();
  Commandhf.set_enabled(StartupBackup(program_.machine()).Saved());
}

void StartupPage::FillRegistry(const char* key, std::string_view label) {
  for (NamedText& value : ListValues(program_.machine().reg(), key)) {
    AddRow(std::move(value.name), std::move(value.text), label);
  }
}

void StartupPage::FillWinIni(const char* entry, std::string_view label) {
  std::string text;
  program_.machine().ini().GetProfileString("windows", entry, kDefault, kEntryCapacity, text);
  if (text == kDefault || Blank(text)) return;
  AddRow(text, text, label);
}

void StartupPage::FillBootOptions() {
  store::SettingsStore& ini = program_.machine().ini();
  const std::string file = BootFile();
  Textydxx.set_text(ini.INIReadKey("Options", "BootDelay", file, kOptionCapacity));
  Checkydxx.set_ticked(!Textydxx.text().empty());
  // A missing or unreadable autoscan leaves the box unticked: the disk scanner
  // then runs as the system's default has it.
  const std::string autoscan = ini.INIReadKey("Options", "autoscan", file, kOptionCapacity);
  std::optional<std::int32_t> number = store::Variant(autoscan).ToInt32();
  Checkjzsm.set_ticked(!autoscan.empty() && number && *number == 0);
}

void StartupPage::LocationChosen() {
  const std::string& location = Combo1.text();
  if (location == kLabelRun || location == kLabelRunServices) {
    Textqdmc.set_enabled(true);
    Textqdmc.set_back_color(ui::Color::System(5));
  } else if (location == kLabelStartupFolder || location == kLabelWinRun ||
             location == kLabelLoad) {
    Textqdmc.set_enabled(false);
    Textqdmc.set_back_color(ui::Color::System(4));
  } else {
    return;
  }
  Textqdmc.set_text("");
  Textcxwz.set_text("");
}

void StartupPage::Browse() {
  // A cancelled browse leaves the path as it was.
  if (auto file = program_.dialogs().OpenFile(ListView1.form(), "", "")) Textcxwz.set_text(*file);
}

void StartupPage::Apply() {
  program_.RestartPending = 1;
  program_.log().AppendLogEntry("开机速度设置成功  ");
  StartupBackup backup(program_.machine());
  bool removed_any = false;
  std::string stayed;
  // The flag that offers the saved entries back is stored, for good, before the
  // first original goes: a program that dies halfway leaves every removed entry
  // restorable.
  bool flagged = false;
  auto recorded = [&] {
    if (std::exchange(flagged, true)) return;
    backup.SetSaved(true);
    program_.machine().Commit();
  };
  for (int i = 0; i < ListView1.count(); ++i) {
    if (ListView1.row(i).checked) continue;
    const Removal removal = Remove(i, backup, recorded);
    if (removal == Removal::kStayed) {
      // Still in its place: the row says so again, and the user is told.
      ListView1.set_checked(i, true);
      stayed += "\n" + ListView1.cell(i, 0) + " (" + ListView1.cell(i, 2) + ")";
      continue;
    }
    // An entry gone already (an earlier apply removed it) is not logged again.
    if (removal == Removal::kGoneAlready) continue;
    removed_any = true;
    program_.log().AppendLogEntry("在 " + ListView1.cell(i, 2) + " 中删除启动项 " +
                                  ListView1.cell(i, 0) + " --> " + ListView1.cell(i, 1) + " 成功 ");
  }
  WriteBootOptions();
  program_.machine().reg().SetValue(kHKLM, kPrefetchKey, "EnablePrefetcher", store::kRegDword,
                                    store::Variant(Checkxpjs.ticked() ? 1 : 3));
  if (removed_any) backup.SetSaved(true);
  if (!stayed.empty()) {
    program_.dialogs().MessageBox(program_.main(), "警告", "下列启动项未能删除：" + stayed,
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
  }
}

StartupPage::Removal StartupPage::Remove(int row, StartupBackup& backup,
                                         const std::function<void()>& recorded) {
  store::Machine& machine = program_.machine();
  const std::string name = ListView1.cell(row, 0);
  const std::string command = ListView1.cell(row, 1);
  const std::string location = ListView1.cell(row, 2);
  if (const char* key = RunKeyOf(location)) {
    store::Variant data;
    std::uint32_t type = store::kRegSz;
    if (machine.reg().QueryValue(kHKLM, key, name, data, type) == store::kFileNotFound) {
      return Removal::kGoneAlready;
    }
    // %SystemRoot%\... only runs while it is REG_EXPAND_SZ: the copy keeps that.
    const std::uint32_t kept_type =
        type == store::kRegExpandSz ? store::kRegExpandSz : store::kRegSz;
    const bool fresh = !backup.HasValue(key, name);
    if (!backup.KeepValue(key, name, data.ToText(), kept_type)) return Removal::kStayed;
    recorded();
    if (machine.reg().DeleteValue(kHKLM, key, name) == store::kSuccess) return Removal::kRemoved;
    // A copy of an entry that stays would come back over it on restore.
    if (fresh) backup.ForgetValue(key, name);
    return Removal::kStayed;
  }
  if (const char* entry = WinIniEntry(location)) {
    store::SettingsStore& ini = machine.ini();
    std::string now;
    ini.GetProfileString("windows", entry, "", kEntryCapacity, now);
    if (!HasAnyProgram(now, command)) return Removal::kGoneAlready;
    // Only the row's programs leave the entry: ones added to it since stay, as
    // the user wrote them.
    const std::string rest = WithoutPrograms(now, command);
    const std::string kept = backup.Programs(entry);
    if (!backup.KeepPrograms(entry, TakenPrograms(now, command))) {
      backup.SetPrograms(entry, kept);
      return Removal::kStayed;
    }
    recorded();
    if (NoProgram(rest) ? ini.WriteProfileString("windows", entry, std::nullopt)
                        : ini.WriteProfileString("windows", entry, rest)) {
      return Removal::kRemoved;
    }
    backup.SetPrograms(entry, kept);
    return Removal::kStayed;
  }
  if (location == kLabelStartupFolder) {
    if (!machine.files().Stat(command)) return Removal::kGoneAlready;
    const bool fresh = !backup.HasFile(name);
    if (!backup.KeepFile(command, name)) return Removal::kStayed;
    recorded();
    // A read-only file is the user's to keep: it is not forced.
    if (machine.files().DeleteFile(command, false) == store::kSuccess) return Removal::kRemoved;
    if (fresh) backup.ForgetFile(name);
    return Removal::kStayed;
  }
  return Removal::kGoneAlready;
}

void StartupPage::WriteBootOptions() {
  store::FileSystem& files = program_.machine().files();
  const std::string file = BootFile();
  // Only a machine that boots through msdos.sys has boot options to set.
  std::optional<store::FileEntry> entry = files.Stat(file);
  if (!entry || entry->is_directory()) return;
  // msdos.sys is normally read-only, hidden and system: writable only meanwhile.
  const std::uint32_t attributes = entry->attributes & ~store::kAttrDirectory;
  files.SetAttributes(file, store::kAttrNormal);
  store::SettingsStore& ini = program_.machine().ini();
  if (Checkydxx.ticked())
    ini.INIWriteKey("Options", "BootDelay", store::Variant(Textydxx.text()), file);
  ini.INIWriteKey("Options", "autoscan", store::Variant(Checkjzsm.ticked() ? "0" : "1"), file);
  files.SetAttributes(file, attributes == 0 ? store::kAttrNormal : attributes);
}

void StartupPage::Add() {
  const std::string name = Textqdmc.text();
  const std::string path = Textcxwz.text();
  const std::string location = Combo1.text();
  if (name.empty() && (path.empty() || location.empty())) return;
  store::Machine& machine = program_.machine();
  const char* entry = WinIniEntry(location);
  std::string program = Trimmed(path);
  if (entry && !Blank(path) && !IsOneProgram(program)) {
    // Windows splits the entry at every blank and comma: only a short (8.3)
    // name puts such a path there whole.
    std::optional<std::string> short_path = machine.backend().ShortPathName(program);
    if (!short_path || !IsOneProgram(*short_path)) {
      program_.dialogs().MessageBox(
          program_.main(), "警告",
          "未能添加启动项 " + path + " (" + location + ")：\nwin.ini 的 " + entry +
              " 项以空格或逗号分隔各个程序，路径中含有空格或逗号的程序只能以短文件名写入，"
              "而这个路径没有短文件名。",
          ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
      return;
    }
    program = *short_path;
  }
  program_.log().AppendLogEntry("在 " + location + " 中添加启动项  " + name + " --> " + path +
                                " 成功 ");
  const std::string folder = StartupFolder(machine.reg());
  if (const char* key = RunKeyOf(location)) {
    machine.reg().SetValue(kHKLM, key, name, store::kRegSz, store::Variant(path));
    AddRow(name, path, location);
  } else if (location == kLabelStartupFolder) {
    // Without a Startup folder there is nowhere to copy to; a row stands only
    // for a file that is there.
    const std::string copy = folder + "\\" + store::GetName(path);
    if (!folder.empty() && machine.files().CopyFile(path, copy, true) == store::kSuccess) {
      AddRow(store::GetName(path), copy, location);
    }
  } else if (entry) {
    // The program joins those already on the entry.
    if (Blank(path)) {
      program = path;
    } else {
      std::string now;
      machine.ini().GetProfileString("windows", entry, "", kEntryCapacity, now);
      const std::string with = WithPrograms(now, program);
      if (with != now) machine.ini().WriteProfileString("windows", entry, with);
    }
    AddRow(program, program, location);
  }
  Textqdmc.set_text("");
  Textcxwz.set_text("");
}

void StartupPage::Restore() {
  program_.log().AppendLogEntry("恢复启动项成功  ");
  store::Machine& machine = program_.machine();
  StartupBackup backup(machine);
  std::string stayed;  // what could not be put back, which stays saved for another try
  for (auto [key, label] : {std::pair{kRunKey, kLabelRun}, {kRunServicesKey, kLabelRunServices}}) {
    for (NamedText& value : backup.Values(key)) {
      if (machine.reg().SetValue(kHKLM, key, value.name, value.type, store::Variant(value.text)) !=
          store::kSuccess) {
        stayed += "\n" + value.name + " (" + std::string(label) + ")";
        continue;
      }
      backup.ForgetValue(key, value.name);
      AddRow(value.name, value.text, label);
    }
    backup.DropEmptyKey(key);
  }
  const std::string folder = StartupFolder(machine.reg());
  for (const std::string& name : backup.Files()) {
    const std::string path = folder + "\\" + name;
    if (folder.empty() ||
        machine.files().CopyFile(backup.Folder() + "\\" + name, path, true) != store::kSuccess) {
      stayed += "\n" + name + " (" + std::string(kLabelStartupFolder) + ")";
      continue;
    }
    backup.ForgetFile(name);
    AddRow(name, path, kLabelStartupFolder);
  }
  // The programs go back onto the entries as they are now: what was added to
  // win.ini since the removal stays.
  for (auto [entry, label] : {std::pair{"load", kLabelLoad}, {"run", kLabelWinRun}}) {
    std::string kept = backup.Programs(entry);
    if (Blank(kept)) continue;
    std::string now;
    machine.ini().GetProfileString("windows", entry, "", kEntryCapacity, now);
    const std::string with = WithPrograms(now, kept);
    if (with != now) machine.ini().WriteProfileString("windows", entry, with);
    // The saved programs are let go only once the entry holds every one of them.
    machine.ini().GetProfileString("windows", entry, "", kEntryCapacity, now);
    if (WithPrograms(now, kept) != now) {
      stayed += "\n" + kept + " (" + std::string(label) + ")";
      continue;
    }
    backup.ForgetPrograms(entry);
  }
  if (!stayed.empty()) {
    program_.dialogs().MessageBox(program_.main(), "警告", "下列启动项未能恢复：" + stayed,
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
    return;
  }
  Commandhf.set_enabled(false);
  backup.SetSaved(false);
}

}  // namespace korvanta::startup
