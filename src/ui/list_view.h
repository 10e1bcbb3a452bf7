#pragma once
// The report list view: columns, rows of cells, a check box on each row. Rows
// live here; renderers show them virtually, so a long list costs what a short
// one does.

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace korvanta::ui {

class ListView final : public Control {
 public:
  explicit ListView(std::string name, int index = -1)
      : Control(Kind::kListView, std::move(name), index) {}

  struct Column {
    std::string caption;
    int width = 0;  // twips
  };
  struct Row {
    // The cells one after the other, each ended by a NUL: one allocation a row,
    // so that a list of a million rows stays small. A cell never holds a NUL.
    std::string packed;
    bool checked = false;
    bool selected = false;
    std::size_t cell_count() const;
    // The text of a cell; "" past the last one.
    std::string cell(std::size_t column) const;
  };

  bool check_boxes = true;
  bool full_row_select = true;
  bool grid_lines = false;

  const std::vector<Column>& columns() const { return columns_; }
  void AddColumn(std::string caption, int width);

  // Rows are numbered from 0 here (korvanta-drive numbers them from 1).
  const std::vector<Row>& rows() const { return rows_; }
  int count() const { return static_cast<int>(rows_.size()); }
  const Row& row(int i) const { return rows_.at(static_cast<std::size_t>(i)); }
  // Appends a row; returns its number.
  int AddRow(std::vector<std::string> cells, bool checked = false);
  void RemoveRow(int i);
  // Removes every row for which keep returns false, in one change.
  void RemoveRowsIf(const std::function<bool(const Row&)>& remove);
  void Clear();
  void set_checked(int i, bool checked);
  void set_cell(int i, int column, std::string text);
  // The text of a cell; "" past the row's last cell.
  std::string cell(int i, int column) const;
  // -1 when no row is selected.
  int selected_row() const { return selected_; }
  void set_selected_row(int i);

  std::function<void(int row)> on_item_click;
  std::function<void(int row)> on_item_check;
  // Ticks or unticks row i as a user would; ItemCheck when it changed.
  void UserCheckRow(int i, bool checked);
  // A click on row i: selects it, then ItemClick.
  void UserClickRow(int i);

 private:
  std::vector<Column> columns_;
  std::vector<Row> rows_;
  int selected_ = -1;
};

}  // namespace korvanta::ui
