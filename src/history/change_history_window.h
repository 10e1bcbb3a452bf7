#pragma once
// The change history: the journal's actions newest first, what the chosen one
// changed, and its undo.

#include <vector>

#include "services/small_window.h"
#include "store/journal.h"
#include "ui/list_view.h"

namespace korvanta::history {

class Formgghs final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formgghs";
  explicit Formgghs(services::Program& program);
  ui::ListView& ListView1;  // the actions
  ui::ListView& ListView2;  // the chosen action's changes
  ui::CommandButton& Commandcx;
  ui::CommandButton& Commandgb;

 private:
  // Lists the actions again; nothing is chosen after it.
  void Fill();
  void Choose(int row);
  void UndoChosen();

  // The actions as ListView1 lists them, row for row.
  std::vector<store::JournalRecord> actions_;
};

}  // namespace korvanta::history
