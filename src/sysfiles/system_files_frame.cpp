#include "sysfiles/system_files_frame.h"

#include <algorithm>
#include <array>

#include "store/paths.h"
#include "ui/declare.h"

namespace korvanta::sysfiles {
namespace {

using ui::CommandButton;
using ui::Place;

struct SystemFile {
  const char* name;
  bool in_root;  // at the root of the Windows folder's drive, else in the Windows folder
};
constexpr std::array<SystemFile, 7> kSystemFiles = {{{"system.ini", false},
                                                     {"win.ini", false},
                                                     {"msdos.sys", true},
                                                     {"config.sys", true},
                                                     {"autoexec.bat", true},
                                                     {"system.dat", false},
                                                     {"user.dat", false}}};

constexpr int kFrameLeft = 120, kFrameTop = 480, kFrameWidth = 7830, kFrameHeight = 2820;
constexpr int kButtonLeft = 6030, kButtonWidth = 1620;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += "\n" + name;
  return out;
}

}  // namespace

std::string SystemFileFolder(std::string_view name, std::string_view windows_folder) {
  std::string windows(windows_folder);
  if (!windows.empty() && windows.back() == '\\') windows.pop_back();
  const std::string lower = Lower(name);
  for (const SystemFile& file : kSystemFiles) {
    if (lower == file.name) return file.in_root ? store::GetFolder(windows) : windows;
  }
  return {};
}

SystemFilesFrame::SystemFilesFrame(services::Program& program, ui::PictureBox& page)
    : Framextwj(Place<ui::Frame>(
          page, "Framextwj", {kFrameLeft, kFrameTop, kFrameWidth, kFrameHeight}, "系统文件备份")),
      Listxtwj(Place<ui::ListBox>(Framextwj, "Listxtwj", {180, 300, 5640, 2340})),
      Commandbf(Place<CommandButton>(
          Framextwj, "Commandbf", {kButtonLeft, 300, kButtonWidth, 375}, "备份",
          "备份所选的系统文件(为了能安全和正确的备份请不要选择磁盘根目录为备份路径)")),
      Commandsc(Place<CommandButton>(Framextwj, "Commandsc", {kButtonLeft, 780, kButtonWidth, 375},
                                     "删除", "删除所选的系统文件")),
      Commandhfxt(Place<CommandButton>(Framextwj, "Commandhfxt",
                                       {kButtonLeft, 1260, kButtonWidth, 375}, "恢复",
                                       "恢复所有被删除的系统文件")),
      program_(program) {
  Listxtwj.multi_select = true;
  Commandbf.on_click = [this] { Backup(); };
  Commandsc.on_click = [this] { Delete(); };
  Commandhfxt.on_click = [this] { Restore(); };
}

std::string SystemFilesFrame::WindowsFolder() {
  return program_.machine().paths().WinDir();
}

void SystemFilesFrame::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kSystemFiles) FillList();
}

void SystemFilesFrame::FillList() {
  Listxtwj.Clear();
  const std::string windows = WindowsFolder();
  for (const SystemFile& file : kSystemFiles) {
    std::optional<store::FileEntry> entry =
        program_.machine().files().Stat(SystemFileFolder(file.name, windows) + "\\" + file.name);
    // The name as the folder stores it, in its own letter case.
    if (entry && !entry->is_directory()) Listxtwj.AddItem(entry->name);
  }
}

void SystemFilesFrame::Backup() {
  std::optional<std::string> chosen =
      program_.dialogs().BrowseForFolder(Framextwj.form(), "请选择备份系统文件的路径： ");
  if (!chosen) return;
  const std::string folder = *chosen;
  program_.machine().reg().SetValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "sysfilebak",
                                    store::kRegSz, store::Variant(folder));
  const std::string target = folder.ends_with('\\') ? folder : folder + "\\";
  const std::string windows = WindowsFolder();
  std::vector<std::string> failed;
  for (int i = 0; i < Listxtwj.count(); ++i) {
    if (!Listxtwj.selected(i)) continue;
    const std::string& name = Listxtwj.items()[static_cast<std::size_t>(i)].text;
    const std::string from = SystemFileFolder(name, windows) + "\\" + name;
    if (program_.machine().files().CopyFile(from, target + name, true) != store::kSuccess) {
      failed.push_back(name);
      continue;
    }
    program_.log().AppendLogEntry("备份系统文件 " + name + " 到 '" + folder + "' 成功 ");
  }
  TellFailed("下列系统文件未能备份：", failed);
}

void SystemFilesFrame::Delete() {
  std::vector<std::string> chosen;
  for (int i = 0; i < Listxtwj.count(); ++i) {
    if (Listxtwj.selected(i)) chosen.push_back(Listxtwj.items()[static_cast<std::size_t>(i)].text);
  }
  if (chosen.empty()) return;
  // Without these files Windows may not start: the user confirms first.
  if (program_.dialogs().MessageBox(
          Framextwj.form(), "警告",
          "确定要删除下列系统文件吗？删除后Windows可能无法启动。" + Joined(chosen),
          ui::MessageIcon::kExclamation, ui::MessageButtons::kOkCancel) != ui::MessageAnswer::kOk) {
    return;
  }
  const std::string windows = WindowsFolder();
  std::vector<std::string> failed;
  for (const std::string& name : chosen) {
    // A read-only file stays.
    if (program_.machine().files().DeleteFile(SystemFileFolder(name, windows) + "\\" + name,
                                              false) != store::kSuccess) {
      failed.push_back(name);
      continue;
    }
    program_.log().AppendLogEntry("删除系统文件 " + name + " 成功 ");
  }
  FillList();
  TellFailed("下列系统文件未能删除：", failed);
}

void SystemFilesFrame::Restore() {
  std::optional<std::string> chosen =
      program_.dialogs().BrowseForFolder(Framextwj.form(), "请选择已备份系统文件所在路径： ");
  if (!chosen) return;
  std::string folder = *chosen;
  if (folder.ends_with('\\')) folder.pop_back();
  store::FileSystem& files = program_.machine().files();
  std::vector<store::FileEntry> entries;
  files.List(folder + "\\*.*", entries);
  // By name, so that the log reads alike on every file system.
  std::sort(entries.begin(), entries.end(),
            [](const store::FileEntry& a, const store::FileEntry& b) {
              return Lower(a.name) < Lower(b.name);
            });
  const std::string windows = WindowsFolder();
  std::vector<std::string> failed;
  for (const store::FileEntry& entry : entries) {
    // Only the seven system files are restored; anything else the folder holds
    // is left alone.
    const std::string place = SystemFileFolder(entry.name, windows);
    if (entry.is_directory() || place.empty()) continue;
    if (files.CopyFile(folder + "\\" + entry.name, place + "\\" + Lower(entry.name), true) !=
        store::kSuccess) {
      failed.push_back(entry.name);
      continue;
    }
    program_.log().AppendLogEntry("恢复系统文件 " + entry.name + " 成功 ");
  }
  FillList();
  TellFailed("下列系统文件未能恢复：", failed);
}

void SystemFilesFrame::TellFailed(std::string_view what, const std::vector<std::string>& names) {
  if (names.empty()) return;
  program_.dialogs().MessageBox(Framextwj.form(), "警告", std::string(what) + Joined(names),
                                ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
}

}  // namespace korvanta::sysfiles
