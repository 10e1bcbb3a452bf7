#pragma once
// The rows of a list view as a Qt table model: a window onto ListView::rows(),
// copying nothing, so a million rows cost what ten do. The control tells of its
// changes after making them; rows appended one by one are announced together
// when the event loop next runs.

#include <QAbstractTableModel>
#include <functional>

#include "ui/list_view.h"

namespace korvanta::ui::qt {

class RowTableModel final : public QAbstractTableModel {
 public:
  // check is what a user's tick does (through the view's action).
  RowTableModel(ui::ListView& list, std::function<void(int row, bool checked)> check,
                QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // What the control said.
  void RowsInserted(int first, int count);
  void RowsRemoved(int first, int count);
  void RowsChanged(int first, int count);
  void Reset();
  // Announces the rows appended since the last time.
  void Flush();
  void Detach();

 private:
  void ScheduleFlush();

  ui::ListView* list_;
  std::function<void(int, bool)> check_;
  int count_ = 0;    // rows the views know of
  int pending_ = 0;  // rows appended after those, not announced yet
  int columns_ = 0;
  bool flush_scheduled_ = false;
};

}  // namespace korvanta::ui::qt
