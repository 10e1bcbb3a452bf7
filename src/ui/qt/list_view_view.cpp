#include "ui/qt/list_view_view.h"

#include <QHeaderView>

#include "ui/qt/units.h"

namespace korvanta::ui::qt {

ListViewView::ListViewView(ui::ListView& list, QWidget* parent, RenderContext& context)
    : ControlView(list, new QTableView(parent), context),
      list_(list),
      table_(static_cast<QTableView*>(widget())) {
  model_ = new RowTableModel(
      list,
      [this](int row, bool checked) {
        Act([=](ui::Control& c) { static_cast<ui::ListView&>(c).UserCheckRow(row, checked); });
      },
      this);
  table_->setModel(model_);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(list.full_row_select ? QAbstractItemView::SelectRows
                                                    : QAbstractItemView::SelectItems);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setShowGrid(list.grid_lines);
  table_->setWordWrap(false);
  table_->setTextElideMode(Qt::ElideRight);
  table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Every row is one line high, fixed: the table then never measures its rows,
  // which is what keeps a million of them cheap.
  QHeaderView* rows = table_->verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(table_->fontMetrics().height() + 4);
  QHeaderView* header = table_->horizontalHeader();
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  QObject::connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   [this](const QModelIndex& current) {
                     if (syncing() || !current.isValid()) return;
                     // A table given the focus makes its first row current without
                     // selecting it: that is no choice of the user's, and a row
                     // framed as current would look like one.
                     QItemSelectionModel* selection = table_->selectionModel();
                     if (!selection->isRowSelected(current.row(), {})) {
                       selection->clearCurrentIndex();
                       return;
                     }
                     just_selected_ = current.row();
                     UserMovedTo(current.row());
                   });
  QObject::connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    bool same_press = just_selected_ == index.row();
    just_selected_ = -1;
    if (!same_press) UserMovedTo(index.row());
  });
}

void ListViewView::Detach() {
  model_->Detach();
  ControlView::Detach();
}

void ListViewView::UserMovedTo(int row) {
  Act([row](ui::Control& c) { static_cast<ui::ListView&>(c).UserClickRow(row); });
}

void ListViewView::SyncItems() {
  model_->Reset();
  const auto& columns = list_.columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    table_->horizontalHeader()->resizeSection(static_cast<int>(i), ToPixels(columns[i].width));
  }
  SyncSelection();
}

void ListViewView::SyncRows(ui::Property what, int first, int count) {
  switch (what) {
    case ui::Property::kRowsInserted:
      model_->RowsInserted(first, count);
      break;
    case ui::Property::kRowsRemoved:
      model_->RowsRemoved(first, count);
      SyncSelection();
      break;
    case ui::Property::kRowChanged:
      model_->RowsChanged(first, count);
      SyncSelection();
      break;
    default:
      model_->Reset();
      SyncSelection();
      break;
  }
}

void ListViewView::SyncValue() {
  SyncSelection();
}

void ListViewView::SyncSelection() {
  int row = list_.selected_row();
  if (row >= model_->rowCount()) model_->Flush();
  QItemSelectionModel* selection = table_->selectionModel();
  int current = selection->currentIndex().isValid() ? selection->currentIndex().row() : -1;
  bool selected = current >= 0 && selection->isRowSelected(current, {});
  if (row == current && selected == (row >= 0)) return;
  if (row < 0 || row >= model_->rowCount()) {
    selection->clear();
    return;
  }
  selection->setCurrentIndex(model_->index(row, 0),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace korvanta::ui::qt
