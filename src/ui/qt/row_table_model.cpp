#include "ui/qt/row_table_model.h"

#include <QTimer>

namespace korvanta::ui::qt {

RowTableModel::RowTableModel(ui::ListView& list, std::function<void(int, bool)> check,
                             QObject* parent)
    : QAbstractTableModel(parent), list_(&list), check_(std::move(check)) {
  count_ = list.count();
  columns_ = static_cast<int>(list.columns().size());
}

int RowTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count_;
}

int RowTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_;
}

QVariant RowTableModel::data(const QModelIndex& index, int role) const {
  // Views may ask about rows while a removal is announced, after the control
  // dropped them: such rows read as empty.
  if (!list_ || !index.isValid() || index.row() >= list_->count()) return {};
  int row = index.row(), column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
      const std::string text = list_->cell(row, column);
      if (role == Qt::ToolTipRole && text.empty()) return {};
      return QString::fromStdString(text);
    }
    case Qt::CheckStateRole:
      if (column == 0 && list_->check_boxes) {
        return list_->row(row).checked ? Qt::Checked : Qt::Unchecked;
      }
      return {};
    default:
      return {};
  }
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!list_ || orientation != Qt::Horizontal || section < 0 || section >= columns_ ||
      section >= static_cast<int>(list_->columns().size())) {
    return {};
  }
  if (role == Qt::DisplayRole) {
    return QString::fromStdString(list_->columns()[static_cast<std::size_t>(section)].caption);
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags RowTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0 && list_ && list_->check_boxes) f |= Qt::ItemIsUserCheckable;
  return f;
}

bool RowTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  // Only the view calls this, for a user's tick; the model's own changes arrive
  // through RowsChanged.
  if (role != Qt::CheckStateRole || !list_ || !index.isValid() || index.row() >= list_->count()) {
    return false;
  }
  check_(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
  return true;
}

void RowTableModel::ScheduleFlush() {
  if (flush_scheduled_) return;
  flush_scheduled_ = true;
  QTimer::singleShot(0, this, [this] { Flush(); });
}

void RowTableModel::Flush() {
  flush_scheduled_ = false;
  if (pending_ == 0) return;
  beginInsertRows({}, count_, count_ + pending_ - 1);
  count_ += pending_;
  pending_ = 0;
  endInsertRows();
}

void RowTableModel::RowsInserted(int first, int count) {
  if (count <= 0) return;
  if (first == count_ + pending_) {
    pending_ += count;
    ScheduleFlush();
    return;
  }
  Flush();
  beginInsertRows({}, first, first + count - 1);
  count_ += count;
  endInsertRows();
}

void RowTableModel::RowsRemoved(int first, int count) {
  if (count <= 0) return;
  Flush();
  beginRemoveRows({}, first, first + count - 1);
  count_ -= count;
  endRemoveRows();
}

void RowTableModel::RowsChanged(int first, int count) {
  if (count <= 0 || first >= count_ || columns_ == 0) return;  // unannounced rows show when flushed
  int last = std::min(first + count, count_) - 1;
  emit dataChanged(index(first, 0), index(last, columns_ - 1));
}

void RowTableModel::Reset() {
  beginResetModel();
  count_ = list_ ? list_->count() : 0;
  pending_ = 0;
  columns_ = list_ ? static_cast<int>(list_->columns().size()) : 0;
  endResetModel();
}

void RowTableModel::Detach() {
  beginResetModel();
  list_ = nullptr;
  count_ = pending_ = columns_ = 0;
  endResetModel();
}

}  // namespace korvanta::ui::qt
