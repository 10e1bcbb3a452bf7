#include "cleaner/junk_deleter.h"

#include <vector>

#include "cleaner/backup_index.h"
#include "cleaner/junk_types.h"
#include "store/paths.h"

namespace korvanta::cleaner {
namespace {

// "a.tmp", then "a (2).tmp", "a (3).tmp" ...: the first name free in the folder.
std::string FreeCopyPath(FileSystem& files, const std::string& folder, const std::string& name) {
  std::string path = JoinPath(folder, name);
  std::size_t dot = name.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  std::string extension = stem.size() == name.size() ? "" : name.substr(dot);
  for (int n = 2; files.Stat(path); ++n)
    path = JoinPath(folder, stem + " (" + std::to_string(n) + ")" + extension);
  return path;
}

// The copy holds what the file holds: the same size, and for a file small
// enough to read at once the same bytes.
bool VerifiedCopy(FileSystem& files, const std::string& from, const std::string& to) {
  constexpr std::uint64_t kCompareLimit = 64ull << 20;
  std::optional<FileEntry> a = files.Stat(from), b = files.Stat(to);
  if (!a || !b || a->size != b->size) return false;
  if (a->size > kCompareLimit) return true;
  std::string x, y;
  return files.ReadFile(from, x) == kSuccess && files.ReadFile(to, y) == kSuccess && x == y;
}

}  // namespace

std::string JunkDeleter::FullPath(const ui::ListView& list, int row) {
  return JoinPath(list.cell(row, 1), list.cell(row, 0));
}

bool JunkDeleter::Confirm(const std::string& text) {
  return program_.dialogs().MessageBox(program_.main(), "消息", text, ui::MessageIcon::kInformation,
                                       ui::MessageButtons::kOkCancel) == ui::MessageAnswer::kOk;
}

void JunkDeleter::Remove(const std::string& path, DeleteMode mode) {
  Machine& machine = program_.machine();
  switch (mode) {
    case DeleteMode::kRecycle:
      machine.shell().RecycleFile(path);
      break;
    case DeleteMode::kOverwrite:
      // Unrecoverable means the contents go first; a file that cannot be
      // overwritten is not deleted in their place.
      if (machine.backend().file_tools().Overwrite(path) != kSuccess) break;
      [[fallthrough]];
    case DeleteMode::kDirect:
      machine.files().DeleteFile(path, true);
      break;
    case DeleteMode::kBackup:
    case DeleteMode::kNone:
      break;
  }
}

void JunkDeleter::DeleteTicked(ui::ListView& list, const DeleteOptions& options) {
  if (list.count() == 0) return;
  program_.log().AppendLogEntry("删除垃圾文件成功！  ");
  if (options.mode == DeleteMode::kBackup) {
    BackUpTicked(list, options);
    return;
  }
  for (int i = 0; i < list.count(); ++i) {
    if (!list.row(i).checked) continue;
    std::string path = FullPath(list, i);
    bool asks = options.mode != DeleteMode::kRecycle && options.mode != DeleteMode::kNone &&
                !options.no_prompt;
    if (asks && !Confirm("您确认要删除文件 " + path + " 吗？")) continue;
    Remove(path, options.mode);
  }
  list.RemoveRowsIf([](const ui::ListView::Row& r) { return r.checked; });
}

void JunkDeleter::BackUpTicked(ui::ListView& list, const DeleteOptions& options) {
  Machine& machine = program_.machine();
  FileSystem& files = machine.files();
  std::string folder = options.backup_folder;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  // Without a folder the copies would land in the root of whatever drive is
  // current. A folder that is not there yet is made, as the program's own
  // backup folder is not there on a new machine; one that cannot be made takes
  // no copies, and then nothing is deleted.
  const bool absolute =
      (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') || folder.starts_with("\\\\");
  std::optional<FileEntry> target = absolute ? files.Stat(folder) : std::nullopt;
  if (absolute && !target && files.CreateDirectory(folder) == kSuccess) target = files.Stat(folder);
  if (!target || !target->is_directory()) {
    std::string text = folder.empty() ? std::string("没有选择备份文件夹，没有删除任何文件！")
                       : files.LeadsOutside(folder)
                           ? OutsideMachineText(folder) + "没有删除任何文件！"
                           : "无法使用备份文件夹 " + folder + "，没有删除任何文件！";
    program_.dialogs().MessageBox(program_.main(), "警告", text, ui::MessageIcon::kExclamation,
                                  ui::MessageButtons::kOk);
    return;
  }
  std::string bakpath = folder.back() == '\\' ? folder : folder + "\\";
  BackupIndex index(machine.ini(), machine.paths().ProgramFolder() + "\\filebak.ini");
  int n = index.NextNumber();
  std::vector<bool> kept(static_cast<std::size_t>(list.count()), false);
  int not_saved = 0;
  for (int i = 0; i < list.count(); ++i) {
    if (!list.row(i).checked) continue;
    std::string path = FullPath(list, i);
    if (!options.no_prompt &&
        !Confirm("您确认要删除文件 " + path + " 并备份到" + bakpath + " 吗？"))
      continue;
    std::optional<FileEntry> source = files.Stat(path);
    if (!source) continue;  // already gone: nothing to save, nothing to lose
    std::string copy = FreeCopyPath(files, folder, list.cell(i, 0));
    if (files.CopyFile(path, copy, false) != kSuccess || !VerifiedCopy(files, path, copy)) {
      files.DeleteFile(copy, true);  // a partial copy under a name nobody else uses
      kept[static_cast<std::size_t>(i)] = true;
      ++not_saved;
      continue;
    }
    index.WriteEntry(n, {list.cell(i, 0), list.cell(i, 1), list.cell(i, 2), copy});
    ++n;
    files.DeleteFile(path, true);
  }
  index.WriteNext(n);
  index.WriteBakpath(bakpath);
  int row = 0;
  list.RemoveRowsIf([&](const ui::ListView::Row& r) {
    return r.checked && !kept[static_cast<std::size_t>(row++)];
  });
  if (not_saved > 0) {
    program_.dialogs().MessageBox(
        program_.main(), "警告",
        "有 " + std::to_string(not_saved) + " 个文件未能备份到" + bakpath + "，这些文件没有删除！",
        ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
  }
}

void JunkDeleter::DeleteAll(ui::ListView& list, bool no_prompt) {
  if (list.count() == 0) return;
  program_.log().AppendLogEntry("删除所有垃圾文件成功！  ");
  if (!no_prompt && !Confirm("您确认要删除所有垃圾文件吗？")) return;
  for (int i = 0; i < list.count(); ++i)
    program_.machine().files().DeleteFile(FullPath(list, i), true);
  list.Clear();
}

}  // namespace korvanta::cleaner
