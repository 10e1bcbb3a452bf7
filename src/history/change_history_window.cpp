#include "history/change_history_window.h"

#include "services/change_history.h"
#include "ui/declare.h"

namespace korvanta::history {

Formgghs::Formgghs(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "更改记录", 8400, 6600),
      ListView1(ui::Place<ui::ListView>(*this, "ListView1", {180, 480, 8040, 2340})),
      ListView2(ui::Place<ui::ListView>(*this, "ListView2", {180, 2940, 8040, 2820})),
      Commandcx(ui::Place<ui::CommandButton>(*this, "Commandcx", {5580, 5970, 1200, 375}, "撤销",
                                             "撤销所选的更改")),
      Commandgb(ui::Place<ui::CommandButton>(*this, "Commandgb", {7020, 5970, 1200, 375}, "关闭")) {
  topmost = true;
  ListView1.check_boxes = false;
  ListView2.check_boxes = false;
  on_load = [this] {
    const int width = ListView1.rect().width - 360;  // room for a scroll bar
    ListView1.AddColumn("时间", width * 2 / 5);
    ListView1.AddColumn("页面", width * 2 / 5);
    ListView1.AddColumn("更改数", width / 5);
    ListView2.AddColumn("项目", width / 2);
    ListView2.AddColumn("原来", width / 4);
    ListView2.AddColumn("现在", width / 4);
    Fill();
  };
  ListView1.on_item_click = [this](int row) { Choose(row); };
  Commandcx.on_click = [this] { UndoChosen(); };
  Commandgb.on_click = [this] { program_.Unload(*this); };
}

void Formgghs::Fill() {
  actions_ = services::ChangeHistory(program_).Actions();
  ListView1.Clear();
  ListView2.Clear();
  for (const store::JournalRecord& action : actions_) {
    ListView1.AddRow({action.time, services::ChangeHistory::PlaceOf(action),
                      std::to_string(action.changes.size())});
  }
  ListView1.set_selected_row(-1);
  Commandcx.set_enabled(false);
}

void Formgghs::Choose(int row) {
  ListView2.Clear();
  if (row < 0 || row >= static_cast<int>(actions_.size())) return;
  for (const services::ChangeHistory::ChangeRow& change :
       services::ChangeHistory::ChangeRows(actions_[static_cast<std::size_t>(row)]))
    ListView2.AddRow({change.what, change.before, change.after});
  Commandcx.set_enabled(true);
}

void Formgghs::UndoChosen() {
  const int row = ListView1.selected_row();
  if (row < 0 || row >= static_cast<int>(actions_.size())) return;
  if (!services::ChangeHistory(program_).Undo(actions_[static_cast<std::size_t>(row)])) return;
  // The undo is an action of its own: stored now, so that the list shows it at the top.
  program_.machine().Commit();
  Fill();
}

}  // namespace korvanta::history
