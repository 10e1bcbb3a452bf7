#include "ui/list_view.h"

#include <algorithm>

namespace korvanta::ui {
namespace {

std::string Pack(const std::vector<std::string>& cells) {
  std::size_t size = 0;
  for (const std::string& c : cells) size += c.size() + 1;
  std::string packed;
  packed.reserve(size);
  for (const std::string& c : cells) {
    packed.append(c.data(), std::min(c.size(), c.find('\0')));
    packed.push_back('\0');
  }
  return packed;
}

std::vector<std::string> Unpack(const std::string& packed) {
  std::vector<std::string> cells;
  for (std::size_t at = 0; at < packed.size();) {
    std::size_t end = packed.find('\0', at);
    cells.push_back(packed.substr(at, end - at));
    at = end + 1;
  }
  return cells;
}

}  // namespace

std::size_t ListView::Row::cell_count() const {
  return static_cast<std::size_t>(std::count(packed.begin(), packed.end(), '\0'));
}

std::string ListView::Row::cell(std::size_t column) const {
  std::size_t at = 0;
  for (std::size_t k = 0; k < column; ++k) {
    at = packed.find('\0', at);
    if (at == std::string::npos) return {};
    ++at;
  }
  if (at >= packed.size()) return {};
  return packed.substr(at, packed.find('\0', at) - at);
}

void ListView::AddColumn(std::string caption, int width) {
  columns_.push_back({std::move(caption), width});
  Notify(Property::kItems);
}

int ListView::AddRow(std::vector<std::string> cells, bool checked) {
  rows_.push_back({Pack(cells), checked, false});
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
  std::vector<std::string> cells = Unpack(r.packed);
  if (cells.size() <= static_cast<std::size_t>(column))
    cells.resize(static_cast<std::size_t>(column) + 1);
  cells[static_cast<std::size_t>(column)] = std::move(text);
  r.packed = Pack(cells);
  Notify(Property::kRowChanged, i, 1);
}

std::string ListView::cell(int i, int column) const {
  if (column < 0) return {};
  return row(i).cell(static_cast<std::size_t>(column));
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
