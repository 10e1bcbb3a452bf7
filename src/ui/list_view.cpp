#include "ui/list_view.h"

namespace korvanta::ui {

void ListView::AddColumn(std::string caption, int width) {
  columns_.push_back({std::move(caption), width});
  Notify(Property::kItems);
}

int ListView::AddRow(std::vector<std::string> cells, bool checked) {
  rows_.push_back({std::move(cells), checked, false});
  int i = count() - 1;
  Notify(Property::kRowsInserted, i, 1);
  return i;
}

void ListView::RemoveRow(int i) {
  if (i < 0 || i >= count()) return;
  rows_.erase(rows_.begin() + i);
  if (selected_ == i) selected_ = -1;
  if (selected_ > i) --selected_;
  Notify(Property::kRowsRemoved, i, 1);
}

void ListView::RemoveRowsIf(const std::function<bool(const Row&)>& remove) {
  std::size_t before = rows_.size();
  std::erase_if(rows_, remove);
  if (rows_.size() == before) return;
  selected_ = -1;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].selected) selected_ = static_cast<int>(i);
  }
  Notify(Property::kRows);
}

void ListView::Clear() {
  if (rows_.empty()) return;
  rows_.clear();
  selected_ = -1;
  Notify(Property::kRows);
}

void ListView::set_checked(int i, bool checked) {
  if (i < 0 || i >= count()) return;
  Row& r = rows_[static_cast<std::size_t>(i)];
  if (r.checked == checked) return;
  r.checked = checked;
  Notify(Property::kRowChanged, i, 1);
}

void ListView::set_cell(int i, int column, std::string text) {
  if (i < 0 || i >= count() || column < 0) return;
  Row& r = rows_[static_cast<std::size_t>(i)];
  if (r.cells.size() <= static_cast<std::size_t>(column))
    r.cells.resize(static_cast<std::size_t>(column) + 1);
  r.cells[static_cast<std::size_t>(column)] = std::move(text);
  Notify(Property::kRowChanged, i, 1);
}

const std::string& ListView::cell(int i, int column) const {
  static const std::string kNone;
  const Row& r = row(i);
  if (column < 0 || static_cast<std::size_t>(column) >= r.cells.size()) return kNone;
  return r.cells[static_cast<std::size_t>(column)];
}

void ListView::set_selected_row(int i) {
  int old = selected_row();
  if (old == i) return;
  if (old >= 0) {
    rows_[static_cast<std::size_t>(old)].selected = false;
    Notify(Property::kRowChanged, old, 1);
  }
  selected_ = -1;
  if (i >= 0 && i < count()) {
    rows_[static_cast<std::size_t>(i)].selected = true;
    selected_ = i;
    Notify(Property::kRowChanged, i, 1);
  }
}

void ListView::UserCheckRow(int i, bool checked) {
  if (!Interactive() || i < 0 || i >= count() || row(i).checked == checked) return;
  set_checked(i, checked);
  if (on_item_check) on_item_check(i);
}

void ListView::UserClickRow(int i) {
  if (!Interactive() || i < 0 || i >= count()) return;
  set_selected_row(i);
  if (on_item_click) on_item_click(i);
}

}  // namespace korvanta::ui
