#include "services/change_history.h"

#include <algorithm>

#include "store/journal_state.h"

namespace korvanta::services {
namespace {

// Lists a few of many, and says how many there are.
std::string Listed(const std::vector<std::string>& lines) {
  constexpr std::size_t kShown = 10;
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) text += "\n" + lines[i];
  if (lines.size() > kShown) text += "\n……共 " + std::to_string(lines.size()) + " 项";
  return text;
}

}  // namespace

std::vector<store::JournalRecord> ChangeHistory::Actions() {
  std::vector<store::JournalRecord> records = program_.machine().journal().Load();
  std::reverse(records.begin(), records.end());
  return records;
}

std::string ChangeHistory::PlaceOf(const store::JournalRecord& action) {
  return action.place.empty() ? std::string("(未知)") : action.place;
}

std::string ChangeHistory::Summary(const store::JournalRecord& action, int number) {
  return std::to_string(number) + " " + action.time + " " + PlaceOf(action) + " " +
         std::to_string(action.changes.size());
}

std::vector<ChangeHistory::ChangeRow> ChangeHistory::ChangeRows(
    const store::JournalRecord& action) {
  std::vector<ChangeRow> rows;
  for (const store::JournalChange& c : action.changes)
    rows.push_back({store::DescribeTarget(c), store::DescribeState(c, c.before),
                    store::DescribeState(c, c.after)});
  return rows;
}

std::vector<std::string> ChangeHistory::Changes(const store::JournalRecord& action) {
  std::vector<std::string> lines;
  for (const ChangeRow& row : ChangeRows(action))
    lines.push_back(row.what + ": " + row.before + " -> " + row.after);
  return lines;
}

std::vector<std::string> ChangeHistory::Conflicts(const store::JournalRecord& action) {
  std::vector<std::string> changed;
  store::MachineBackend& machine = program_.machine().unjournalled();
  for (const store::JournalChange& c : action.changes) {
    store::JournalState now = store::CurrentState(machine, c);
    if (now != c.after)
      changed.push_back(store::DescribeTarget(c) + ": " + store::DescribeState(c, now));
  }
  return changed;
}

bool ChangeHistory::Undo(const store::JournalRecord& action) {
  store::Machine& machine = program_.machine();
  std::vector<std::string> conflicts = Conflicts(action);
  if (!conflicts.empty() &&
      program_.dialogs().MessageBox(program_.main(), "警告",
                                    "以下设置在这次更改之后又被改动过，撤销将覆盖现在的值：" +
                                        Listed(conflicts) + "\n\n是否继续撤销？",
                                    ui::MessageIcon::kExclamation,
                                    ui::MessageButtons::kOkCancel) != ui::MessageAnswer::kOk) {
    return false;
  }
  machine.DescribeAction("更改记录", "");
  program_.log().AppendLogEntry("撤销更改（" + action.time + " " + action.place + "）成功 ");
  // Backwards: a key comes back before its values, a folder before its files.
  std::vector<std::string> failed;
  for (auto it = action.changes.rbegin(); it != action.changes.rend(); ++it) {
    if (!store::RestoreBefore(machine.backend(), *it)) failed.push_back(store::DescribeTarget(*it));
  }
  program_.MachineChanged();
  if (!failed.empty()) {
    program_.dialogs().MessageBox(program_.main(), "警告", "以下更改未能撤销：" + Listed(failed),
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
  }
  return true;
}

}  // namespace korvanta::services
