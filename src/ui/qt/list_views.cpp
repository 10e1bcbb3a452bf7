#include "ui/qt/list_views.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

#include "ui/qt/units.h"

namespace korvanta::ui::qt {

ListBoxView::ListBoxView(ui::ListBox& list, QWidget* parent, RenderContext& context)
    : ControlView(list, new QListWidget(parent), context),
      list_(list),
      widget_(static_cast<QListWidget*>(widget())) {
  widget_->setSelectionMode(list.multi_select ? QAbstractItemView::MultiSelection
                                              : QAbstractItemView::SingleSelection);
  // An item wider than the list wraps onto further lines within it, as the
  // scan options' note does; each item is then measured on its own.
  widget_->setWordWrap(true);
  widget_->setUniformItemSizes(false);
  widget_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  widget_->setResizeMode(QListView::Adjust);
  QObject::connect(widget_, &QListWidget::itemSelectionChanged, this,
                   [this] { SelectionChanged(); });
}

void ListBoxView::SelectionChanged() {
  if (syncing()) return;
  // Whatever the user did (a click, a key, a drag over several items), the items
  // whose selection now differs from the model's are the ones the user changed.
  std::vector<std::pair<int, bool>> changes;
  for (int i = 0; i < widget_->count() && i < list_.count(); ++i) {
    bool selected = widget_->item(i)->isSelected();
    if (selected != list_.selected(i)) changes.emplace_back(i, selected);
  }
  // Selecting one item of a single-select list deselects the others by itself.
  if (!list_.multi_select) {
    for (auto [i, selected] : changes) {
      if (selected) {
        changes = {{i, true}};
        break;
      }
    }
  }
  Act([&changes](ui::Control& c) {
    auto& list = static_cast<ui::ListBox&>(c);
    for (auto [i, selected] : changes) list.UserSetItem(i, selected);
  });
}

void ListBoxView::SyncItems() {
  widget_->clear();
  for (const auto& item : list_.items()) widget_->addItem(QString::fromStdString(item.text));
}

void ListBoxView::SyncValue() {
  for (int i = 0; i < widget_->count() && i < list_.count(); ++i) {
    widget_->item(i)->setSelected(list_.selected(i));
  }
  int index = list_.list_index();
  if (index >= 0 && index < widget_->count()) {
    widget_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
  }
}

TabStripWidget::TabStripWidget(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)) {
  tabs_->setExpanding(false);
  tabs_->setDrawBase(false);
  tabs_->setUsesScrollButtons(true);
}

void TabStripWidget::resizeEvent(QResizeEvent*) {
  tabs_->setGeometry(0, 0, width(), tabs_->sizeHint().height());
}

void TabStripWidget::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  int top = tabs_->sizeHint().height();
  frame.rect = QRect(0, top - 1, width(), height() - top + 1);
  frame.shape = QTabBar::RoundedNorth;
  frame.tabBarSize = tabs_->sizeHint();
  frame.tabBarRect = tabs_->geometry();
  frame.selectedTabRect = tabs_->tabRect(tabs_->currentIndex());
  frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

TabStripView::TabStripView(ui::TabStrip& strip, QWidget* parent, RenderContext& context)
    : ControlView(strip, new TabStripWidget(parent), context),
      strip_(strip),
      widget_(static_cast<TabStripWidget*>(widget())) {
  widget_->tabs()->setObjectName(QString::fromStdString(strip.id()) + QStringLiteral("-tabs"));
  // Tabs are numbered from 1 in the model. A click raises Click even on the tab
  // already chosen; keys that move between tabs raise it for the new one.
  QObject::connect(widget_->tabs(), &QTabBar::tabBarClicked, this, [this](int index) {
    if (index < 0) return;
    Act([index](ui::Control& c) { static_cast<ui::TabStrip&>(c).UserSelectTab(index + 1); });
  });
  QObject::connect(widget_->tabs(), &QTabBar::currentChanged, this, [this](int index) {
    if (syncing() || index < 0 || index + 1 == strip_.selected()) return;
    Act([index](ui::Control& c) { static_cast<ui::TabStrip&>(c).UserSelectTab(index + 1); });
  });
}

void TabStripView::SyncItems() {
  QTabBar* tabs = widget_->tabs();
  while (tabs->count() > 0) tabs->removeTab(tabs->count() - 1);
  for (const auto& tab : strip_.tabs()) {
    int i = tabs->addTab(QString::fromStdString(tab.caption));
    tabs->setTabToolTip(i, QString::fromStdString(tab.tool_tip));
  }
  widget_->update();
}

void TabStripView::SyncValue() {
  widget_->tabs()->setCurrentIndex(strip_.selected() - 1);
  widget_->update();
}

void StatusBarWidget::set_panels(std::vector<Panel> panels) {
  panels_ = std::move(panels);
  update();
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  int fixed = 0, flexible = 0;
  for (const Panel& p : panels_) {
    fixed += p.width;
    if (p.width == 0) ++flexible;
  }
  int rest = flexible ? std::max(0, width() - fixed) / flexible : 0;
  int x = 0;
  for (const Panel& p : panels_) {
    int w = p.width ? p.width : rest;
    QRect box(x, 1, w - 2, height() - 2);
    qDrawShadePanel(&painter, box, palette(), true, 1);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(box.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(p.text, Qt::ElideRight, box.width() - 8));
    x += w;
  }
}

StatusBarView::StatusBarView(ui::StatusBar& bar, QWidget* parent, RenderContext& context)
    : ControlView(bar, new StatusBarWidget(parent), context),
      bar_(bar),
      widget_(static_cast<StatusBarWidget*>(widget())) {}

void StatusBarView::SyncItems() {
  std::vector<StatusBarWidget::Panel> panels;
  for (const auto& p : bar_.panels()) {
    panels.push_back({QString::fromStdString(p.text), ToPixels(p.width)});
  }
  widget_->set_panels(std::move(panels));
}

}  // namespace korvanta::ui::qt
