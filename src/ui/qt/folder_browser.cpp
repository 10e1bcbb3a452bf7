#include "ui/qt/folder_browser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "store/paths.h"

namespace korvanta::ui::qt {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

QString PathOf(const QTreeWidgetItem* item) {
  return item->data(0, kPathRole).toString();
}

}  // namespace

FolderBrowser::FolderBrowser(const store::MachineFiles& machine, const QString& prompt,
                             QWidget* parent)
    : QDialog(parent), places_(machine) {
  setObjectName(QStringLiteral("folderBrowser"));
  setWindowTitle(QStringLiteral("浏览文件夹"));
  auto* note = new QLabel(prompt);
  note->setObjectName(QStringLiteral("prompt"));
  note->setWordWrap(true);
  tree_ = new QTreeWidget;
  tree_->setObjectName(QStringLiteral("folders"));
  tree_->setHeaderHidden(true);
  tree_->setMinimumSize(300, 260);
  path_ = new QLineEdit;
  path_->setObjectName(QStringLiteral("folder"));
  auto* path_label = new QLabel(QStringLiteral("文件夹(&F)："));
  path_label->setBuddy(path_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note);
  layout->addWidget(tree_, 1);
  layout->addWidget(path_label);
  layout->addWidget(path_);
  layout->addWidget(buttons);

  const QIcon drive = style()->standardIcon(QStyle::SP_DriveHDIcon);
  for (char letter : places_.Drives()) {
    auto* item =
        new QTreeWidgetItem(tree_, {QStringLiteral("本地磁盘 (%1:)").arg(QLatin1Char(letter))});
    item->setIcon(0, drive);
    item->setData(0, kPathRole, QStringLiteral("%1:\\").arg(QLatin1Char(letter)));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Fill(item); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) path_->setText(PathOf(item));
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &FolderBrowser::Choose);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (QTreeWidgetItem* first = tree_->topLevelItem(0)) {
    first->setExpanded(true);
    tree_->setCurrentItem(first);
  }
}

// A folder's subfolders are read when it is first opened.
void FolderBrowser::Fill(QTreeWidgetItem* item) {
  if (item->data(0, kFilledRole).toBool()) return;
  item->setData(0, kFilledRole, true);
  const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
  const std::string path = PathOf(item).toStdString();
  for (const MachineEntry& entry : places_.List(path)) {
    if (!entry.folder) continue;
    auto* child = new QTreeWidgetItem(item, {entry.name});
    child->setIcon(0, folder);
    child->setData(0, kPathRole,
                   QString::fromStdString(store::JoinPath(path, entry.name.toStdString())));
    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  if (item->childCount() == 0) {
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  }
}

// The folder the box names, typed or picked; a place that is no folder of the
// machine's drives is refused and the browser stays.
void FolderBrowser::Choose() {
  const QTreeWidgetItem* current = tree_->currentItem();
  const std::string base = current ? PathOf(current).toStdString() : "C:\\";
  const std::optional<MachinePlace> place = places_.Find(path_->text().toStdString(), base);
  if (place && place->folder) {
    chosen_ = place->path;
    accept();
    return;
  }
  QMessageBox warning(QMessageBox::Warning, windowTitle(),
                      QStringLiteral("找不到文件夹“%1”。\n请选择这台计算机磁盘上的文件夹。")
                          .arg(path_->text().trimmed()),
                      QMessageBox::Ok, this);
  warning.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  warning.exec();
}

}  // namespace korvanta::ui::qt
