#pragma once
// The change journal for people: the actions newest first, what each changed,
// and the undo of one, as the history window and korvanta-drive offer them.

#include <string>
#include <vector>

#include "services/program.h"
#include "store/journal.h"

namespace korvanta::services {

class ChangeHistory {
 public:
  explicit ChangeHistory(Program& program) : program_(program) {}

  // The journal's actions, newest first: number 1 is the latest.
  std::vector<store::JournalRecord> Actions();
  // Where the action was made, for people: "(未知)" when the record does not say.
  static std::string PlaceOf(const store::JournalRecord& action);
  // "N time place count" of an action numbered N.
  static std::string Summary(const store::JournalRecord& action, int number);
  // Each change as "what: before -> after".
  static std::vector<std::string> Changes(const store::JournalRecord& action);
  // The same in three parts, for a table.
  struct ChangeRow {
    std::string what, before, after;
  };
  static std::vector<ChangeRow> ChangeRows(const store::JournalRecord& action);
  // What changed again since the action, which its undo would overwrite.
  std::vector<std::string> Conflicts(const store::JournalRecord& action);

  // Puts back what the action changed, as one new action of its own (itself
  // journalled); when something changed the same targets since, the user is
  // asked first. True when the undo ran; what could not be put back is told.
  bool Undo(const store::JournalRecord& action);

 private:
  Program& program_;
};

}  // namespace korvanta::services
