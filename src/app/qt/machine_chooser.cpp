#include "app/qt/machine_chooser.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace korvanta::app::qt {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

enum Column { kOrigin, kName, kPath, kArchitecture, kWindows, kColumns };

}  // namespace

MachineChooser::MachineChooser(std::vector<store::MachineOffer> offers, QWidget* parent)
    : QDialog(parent), offers_(std::move(offers)), list_(new QTreeWidget(this)) {
  setObjectName(QStringLiteral("MachineChooser"));
  setWindowTitle(QStringLiteral("选择计算机"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(QStringLiteral("这台电脑上有多个 Wine 环境，请选择要优化的计算机："), this));

  list_->setObjectName(QStringLiteral("MachineList"));
  list_->setColumnCount(kColumns);
  list_->setHeaderLabels({QStringLiteral("来源"), QStringLiteral("名称"), QStringLiteral("路径"),
                          QStringLiteral("架构"), QStringLiteral("Windows 版本")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setTextElideMode(Qt::ElideMiddle);
  QTreeWidgetItem* selected = nullptr;
  for (const store::MachineOffer& offer : offers_) {
    const store::FoundPrefix& p = offer.prefix;
    auto* item = new QTreeWidgetItem(list_);
    item->setText(kOrigin, Text(p.origin));
    item->setText(kName, Text(p.name) + (offer.in_use ? Text(store::kInUseMark) : QString()));
    item->setText(kPath, QString::fromStdString(p.path.string()));
    item->setToolTip(kPath, item->text(kPath));
    item->setText(kArchitecture, Text(p.facts.architecture));
    item->setText(kWindows, Text(p.facts.windows));
    if (offer.in_use) {
      item->setToolTip(
          kName, QStringLiteral("Wine 正在使用此计算机：注册表归 Wine 所有，只能查看，不能修改。"));
    }
    if (!selected || offer.remembered) selected = item;
  }
  // Each column as wide as its widest text and a gap; the paths take what is
  // left of a window that stays inside the screen.
  QSize screen = QGuiApplication::primaryScreen()->availableSize();
  int width = 0;
  for (int c = 0; c < kColumns; ++c) {
    list_->resizeColumnToContents(c);
    list_->setColumnWidth(c, list_->columnWidth(c) + 16);
    width += list_->columnWidth(c);
  }
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(kPath, QHeaderView::Stretch);
  layout->addWidget(list_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* open = buttons->addButton(QStringLiteral("打开"), QDialogButtonBox::AcceptRole);
  open->setObjectName(QStringLiteral("OpenButton"));
  open->setDefault(true);
  buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("CancelButton"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(list_, &QTreeWidget::currentItemChanged, this,
          [open](QTreeWidgetItem* current) { open->setEnabled(current != nullptr); });

  if (selected) list_->setCurrentItem(selected);
  int rows = list_->sizeHintForRow(0) * std::max<int>(4, static_cast<int>(offers_.size()));
  resize(std::min(width + 40, screen.width() * 9 / 10),
         std::min(rows + list_->header()->sizeHint().height() + 110, screen.height() * 2 / 3));
}

const store::MachineOffer* MachineChooser::chosen() const {
  if (result() != QDialog::Accepted) return nullptr;
  int row = list_->indexOfTopLevelItem(list_->currentItem());
  return row < 0 ? nullptr : &offers_[static_cast<std::size_t>(row)];
}

}  // namespace korvanta::app::qt
