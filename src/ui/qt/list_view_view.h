#pragma once
// The report list view: a QTableView over the control's rows (RowTableModel),
// with column widths from the model and a check box on each row.

#include <QTableView>

#include "ui/list_view.h"
#include "ui/qt/control_view.h"
#include "ui/qt/row_table_model.h"

namespace korvanta::ui::qt {

class ListViewView final : public ControlView {
 public:
  ListViewView(ui::ListView& list, QWidget* parent, RenderContext& context);
  void Detach() override;

 protected:
  void SyncItems() override;
  void SyncRows(ui::Property what, int first, int count) override;
  void SyncValue() override;
  void SyncAfterAction() override { SyncValue(); }
  QPalette::ColorRole BackRole() const override { return QPalette::Base; }
  QPalette::ColorRole ForeRole() const override { return QPalette::Text; }

 private:
  void SyncSelection();
  void UserMovedTo(int row);

  ui::ListView& list_;
  QTableView* table_;
  RowTableModel* model_;
  int just_selected_ = -1;  // the row a press made current, so its click is not a second one
};

}  // namespace korvanta::ui::qt
