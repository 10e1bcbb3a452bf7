#include "cleaner/junk_deleter.h"

#include <algorithm>
#include <vector>

#include "cleaner/backup_index.h"
#include "cleaner/junk_types.h"
#include "cleaner/slice_budget.h"
#include "store/paths.h"

namespace korvanta::cleaner {
namespace {

// "a.tmp", then "a (2).tmp", "a (3).tmp" ...: the first name free in the folder.
std::string FreeCopyPath(store::FileSystem& files, const std::string& folder,
                         const std::string& name) {
  std::string path = store::JoinPath(folder, name);
  std::size_t dot = name.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  std::string extension = stem.size() == name.size() ? "" : name.substr(dot);
  for (int n = 2; files.Stat(path); ++n)
    path = store::JoinPath(folder, stem + " (" + std::to_string(n) + ")" + extension);
  return path;
}

// The copy holds what the file holds: the same size, and for a file small
// enough to read at once the same bytes.
bool VerifiedCopy(store::FileSystem& files, const std::string& from, const std::string& to) {
  constexpr std::uint64_t kCompareLimit = 64ull << 20;
  std::optional<store::FileEntry> a = files.Stat(from), b = files.Stat(to);
  if (!a || !b || a->size != b->size) return false;
  if (a->size > kCompareLimit) return true;
  std::string x, y;
  return files.ReadFile(from, x) == store::kSuccess && files.ReadFile(to, y) == store::kSuccess &&
         x == y;
}

}  // namespace

struct JunkDeleter::Run {
  ui::ListView* list = nullptr;
  DeleteOptions options;
  bool all = false;  // "全部删除": every row, directly, no question per file
  int cursor = 0;    // the next row to look at
  int done = 0, total = 0;
  std::string folder, bakpath;
  std::unique_ptr<BackupIndex> index;
  // The batch of the slice under way: entries with their rows and originals.
  std::vector<BackupEntry> entries;
  std::vector<std::string> originals;
  std::vector<int> rows;
  std::vector<bool> leaves;  // rows of this slice that leave the list
  int not_saved = 0;
  bool index_refused = false;
};

JunkDeleter::JunkDeleter(services::Program& program) : program_(program) {}
JunkDeleter::~JunkDeleter() = default;

std::string JunkDeleter::FullPath(const ui::ListView& list, int row) {
  return store::JoinPath(list.cell(row, 1), list.cell(row, 0));
}

bool JunkDeleter::Confirm(const std::string& text) {
  return program_.dialogs().MessageBox(program_.main(), "消息", text, ui::MessageIcon::kInformation,
                                       ui::MessageButtons::kOkCancel) == ui::MessageAnswer::kOk;
}

void JunkDeleter::Remove(const std::string& path, DeleteMode mode) {
  store::Machine& machine = program_.machine();
  switch (mode) {
    case DeleteMode::kRecycle:
      machine.shell().RecycleFile(path);
      break;
    case DeleteMode::kOverwrite:
      // Unrecoverable means the contents go first; a file that cannot be
      // overwritten is not deleted in their place.
      if (machine.file_tools().Overwrite(path) != store::kSuccess) break;
      [[fallthrough]];
    case DeleteMode::kDirect:
      machine.files().DiscardFile(path);
      break;
    case DeleteMode::kBackup:
    case DeleteMode::kNone:
      break;
  }
}

bool JunkDeleter::DeleteTicked(ui::ListView& list, const DeleteOptions& options) {
  if (run_ || list.count() == 0) return false;
  program_.log().AppendLogEntry("删除垃圾文件成功！  ");
  auto run = std::make_unique<Run>();
  run->list = &list;
  run->options = options;
  for (int i = 0; i < list.count(); ++i) run->total += list.row(i).checked ? 1 : 0;
  if (options.mode == DeleteMode::kBackup && !PrepareBackup(*run)) return false;
  run_ = std::move(run);
  return Slice();
}

bool JunkDeleter::DeleteAll(ui::ListView& list, bool no_prompt) {
  if (run_ || list.count() == 0) return false;
  program_.log().AppendLogEntry("删除所有垃圾文件成功！  ");
  if (!no_prompt && !Confirm("您确认要删除所有垃圾文件吗？")) return false;
  run_ = std::make_unique<Run>();
  run_->list = &list;
  run_->all = true;
  run_->options.mode = DeleteMode::kDirect;
  run_->options.no_prompt = true;
  run_->total = list.count();
  return Slice();
}

bool JunkDeleter::Continue() {
  return run_ && Slice();
}

void JunkDeleter::Stop() {
  if (run_) Finish();
}

std::string JunkDeleter::Progress() const {
  if (!run_) return "";
  return "正在删除 " + std::to_string(run_->done) + "/" + std::to_string(run_->total);
}

bool JunkDeleter::PrepareBackup(Run& run) {
  store::FileSystem& files = program_.machine().files();
  std::string folder = run.options.backup_folder;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  // Without a folder the copies would land in the root of whatever drive is
  // current. A folder that is not there yet is made, as the program's own
  // backup folder is not there on a new machine; one that cannot be made takes
  // no copies, and then nothing is deleted.
  const bool absolute =
      (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') || folder.starts_with("\\\\");
  std::optional<store::FileEntry> target = absolute ? files.Stat(folder) : std::nullopt;
  if (absolute && !target && files.CreateDirectory(folder) == store::kSuccess)
    target = files.Stat(folder);
  std::string refusal;
  if (!target || !target->is_directory()) {
    refusal = folder.empty() ? std::string("没有选择备份文件夹，没有删除任何文件！")
              : files.LeadsOutside(folder)
                  ? OutsideMachineText(folder) + "没有删除任何文件！"
                  : "无法使用备份文件夹 " + folder + "，没有删除任何文件！";
  } else {
    std::string file = program_.machine().paths().ProgramFolder() + "\\filebak.ini";
    run.index = std::make_unique<BackupIndex>(files, file);
    if (!run.index->Load()) refusal = "无法读取备份记录 " + file + "，没有删除任何文件！";
  }
  if (!refusal.empty()) {
    program_.dialogs().MessageBox(program_.main(), "警告", refusal, ui::MessageIcon::kExclamation,
                                  ui::MessageButtons::kOk);
    return false;
  }
  run.folder = folder;
  run.bakpath = folder.back() == '\\' ? folder : folder + "\\";
  return true;
}

bool JunkDeleter::Slice() {
  in_slice_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{in_slice_};
  Run& run = *run_;
  ui::ListView& list = *run.list;
  store::FileSystem& files = program_.machine().files();
  const bool backup = run.options.mode == DeleteMode::kBackup;
  const bool asks = !run.options.no_prompt && run.options.mode != DeleteMode::kRecycle &&
                    run.options.mode != DeleteMode::kNone;
  run.leaves.assign(static_cast<std::size_t>(list.count()), false);
  SliceBudget budget;
  while (run.cursor < list.count()) {
    const int i = run.cursor++;
    if (!run.all && !list.row(i).checked) continue;
    ++run.done;
    // A ticked row leaves the list whatever becomes of its file, except a file
    // whose copy failed: it stays on disk and listed.
    run.leaves[static_cast<std::size_t>(i)] = true;
    const std::string path = FullPath(list, i);
    if (!backup) {
      if (!asks || Confirm("您确认要删除文件 " + path + " 吗？")) Remove(path, run.options.mode);
    } else if (!asks || Confirm("您确认要删除文件 " + path + " 并备份到" + run.bakpath + " 吗？")) {
      // A file gone since the scan has nothing to save; nor has one listed twice
      // whose copy this batch holds already (it goes when the batch is stored).
      bool queued =
          std::find(run.originals.begin(), run.originals.end(), path) != run.originals.end();
      if (!queued && files.Stat(path)) {
        std::string copy = FreeCopyPath(files, run.folder, list.cell(i, 0));
        if (files.CopyFileUnflushed(path, copy, false) == store::kSuccess &&
            VerifiedCopy(files, path, copy)) {
          run.entries.push_back({list.cell(i, 0), list.cell(i, 1), list.cell(i, 2), copy});
          run.originals.push_back(path);
          run.rows.push_back(i);
        } else {
          files.DeleteFile(copy, true);  // a partial copy under a name nobody else uses
          run.leaves[static_cast<std::size_t>(i)] = false;
          ++run.not_saved;
        }
      }
    }
    if (budget.Spent(run.entries.size())) break;
  }
  bool more = run.cursor < list.count();
  if (backup && !CommitBatch(run)) more = false;
  int row = 0, removed = 0;
  list.RemoveRowsIf([&](const ui::ListView::Row&) {
    bool leaves = run.leaves[static_cast<std::size_t>(row++)];
    removed += leaves ? 1 : 0;
    return leaves;
  });
  run.cursor -= removed;
  if (!more) Finish();
  return more;
}

bool JunkDeleter::CommitBatch(Run& run) {
  store::FileSystem& files = program_.machine().files();
  std::vector<std::string> copies;
  for (const BackupEntry& e : run.entries) copies.push_back(e.copy);
  // Filesum and Bakpath are stored even when nothing was saved, as they always were.
  bool stored =
      files.FlushFiles(copies) == store::kSuccess && run.index->Append(run.entries, run.bakpath);
  for (std::size_t k = 0; k < run.entries.size(); ++k) {
    if (stored) {
      files.DeleteFile(run.originals[k], true);
    } else {
      files.DeleteFile(copies[k], true);  // recorded nowhere: the original stays instead
      run.leaves[static_cast<std::size_t>(run.rows[k])] = false;
    }
  }
  if (!stored) run.index_refused = true;
  run.entries.clear();
  run.originals.clear();
  run.rows.clear();
  return stored;
}

void JunkDeleter::Finish() {
  std::unique_ptr<Run> run = std::move(run_);
  if (run->index_refused) {
    program_.dialogs().MessageBox(program_.main(), "警告",
                                  "无法写入备份记录 " + program_.machine().paths().ProgramFolder() +
                                      "\\filebak.ini，删除已停止，没有记录备份的文件都没有删除！",
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
  }
  if (run->not_saved > 0) {
    program_.dialogs().MessageBox(program_.main(), "警告",
                                  "有 " + std::to_string(run->not_saved) + " 个文件未能备份到" +
                                      run->bakpath + "，这些文件没有删除！",
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
  }
}

}  // namespace korvanta::cleaner
