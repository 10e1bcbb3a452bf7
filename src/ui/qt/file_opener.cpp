#include "ui/qt/file_opener.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include "store/paths.h"

namespace korvanta::ui::qt {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFolderRole = Qt::UserRole + 1;

QString TypeOf(const MachineEntry& entry) {
  if (entry.folder) return QStringLiteral("文件夹");
  const qsizetype dot = entry.name.lastIndexOf(QLatin1Char('.'));
  if (dot <= 0 || dot + 1 == entry.name.size()) return QStringLiteral("文件");
  return entry.name.mid(dot + 1).toUpper() + QStringLiteral(" 文件");
}

}  // namespace

FileOpener::FileOpener(const store::MachineFiles& machine, const QString& caption,
                       std::string_view filter, QWidget* parent)
    : QDialog(parent), places_(machine), filters_(FileFilters(filter)) {
  setObjectName(QStringLiteral("fileOpener"));
  setWindowTitle(caption);
  look_in_ = new QComboBox;
  look_in_->setObjectName(QStringLiteral("lookIn"));
  auto* up = new QToolButton;
  up->setObjectName(QStringLiteral("up"));
  up->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  up->setToolTip(QStringLiteral("向上一级"));
  files_ = new QTreeWidget;
  files_->setObjectName(QStringLiteral("files"));
  files_->setRootIsDecorated(false);
  files_->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("大小"), QStringLiteral("类型"),
                           QStringLiteral("修改日期")});
  files_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  files_->header()->setStretchLastSection(false);
  files_->setMinimumSize(520, 260);
  name_ = new QLineEdit;
  name_->setObjectName(QStringLiteral("fileName"));
  type_ = new QComboBox;
  type_->setObjectName(QStringLiteral("fileType"));
  for (const FileFilter& f : filters_) type_->addItem(f.caption);
  auto* open = new QPushButton(QStringLiteral("打开(&O)"));
  open->setObjectName(QStringLiteral("open"));
  open->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("取消"));

  auto* grid = new QGridLayout(this);
  const auto label = [](const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    l->setBuddy(buddy);
    return l;
  };
  grid->addWidget(label(QStringLiteral("查找范围(&I)："), look_in_), 0, 0);
  grid->addWidget(look_in_, 0, 1);
  grid->addWidget(up, 0, 2);
  grid->addWidget(files_, 1, 0, 1, 3);
  grid->addWidget(label(QStringLiteral("文件名(&N)："), name_), 2, 0);
  grid->addWidget(name_, 2, 1);
  grid->addWidget(open, 2, 2);
  grid->addWidget(label(QStringLiteral("文件类型(&T)："), type_), 3, 0);
  grid->addWidget(type_, 3, 1);
  grid->addWidget(cancel, 3, 2);
  grid->setColumnStretch(1, 1);

  connect(look_in_, &QComboBox::activated, this,
          [this](int i) { Show(look_in_->itemData(i).toString().toStdString()); });
  connect(up, &QToolButton::clicked, this, [this] {
    if (auto above = ParentWindowsPath(folder_)) Show(*above);
  });
  connect(files_, &QTreeWidget::itemActivated, this, &FileOpener::Activated);
  connect(files_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item && !item->data(0, kFolderRole).toBool()) name_->setText(item->text(0));
  });
  connect(type_, &QComboBox::currentIndexChanged, this, [this] {
    typed_.reset();
    Relist();
  });
  connect(open, &QPushButton::clicked, this, &FileOpener::Open);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  const std::vector<char> drives = places_.Drives();
  if (!drives.empty()) Show(std::string{drives.front(), ':', '\\'});
}

// The folder looked in, with the drives and the folders above it to go back to.
void FileOpener::Show(const std::string& folder) {
  folder_ = folder;
  std::vector<std::string> above{folder};
  while (auto parent = ParentWindowsPath(above.back())) above.push_back(*parent);
  QSignalBlocker quiet(look_in_);
  look_in_->clear();
  const QIcon drive = style()->standardIcon(QStyle::SP_DriveHDIcon);
  const QIcon open_folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
  for (char letter : places_.Drives()) {
    const QString root = QStringLiteral("%1:\\").arg(QLatin1Char(letter));
    look_in_->addItem(drive, root, root);
    if (QString::fromStdString(above.back()).compare(root, Qt::CaseInsensitive) != 0) continue;
    for (auto it = above.rbegin() + 1; it != above.rend(); ++it) {
      const QString path = QString::fromStdString(*it);
      look_in_->addItem(open_folder, path, path);
    }
  }
  look_in_->setCurrentIndex(look_in_->findData(QString::fromStdString(folder)));
  entries_ = places_.List(folder_);
  Relist();
}

void FileOpener::Relist() {
  files_->clear();
  const QIcon folder_icon = style()->standardIcon(QStyle::SP_DirIcon);
  const QIcon file_icon = style()->standardIcon(QStyle::SP_FileIcon);
  // A typed pattern before the chosen type; no filter at all shows every file.
  const FileFilter* shown = typed_ ? &*typed_ : nullptr;
  if (!shown && type_->currentIndex() >= 0) {
    shown = &filters_[static_cast<std::size_t>(type_->currentIndex())];
  }
  const QLocale locale(QLocale::Chinese, QLocale::China);
  for (const MachineEntry& entry : entries_) {
    if (!entry.folder && shown && !shown->Matches(entry.name)) continue;
    auto* item = new QTreeWidgetItem(
        files_,
        {entry.name,
         entry.folder ? QString()
                      : QStringLiteral("%1 KB").arg(
                            locale.toString(static_cast<qulonglong>((entry.size + 1023) / 1024))),
         TypeOf(entry), locale.toString(entry.modified, QStringLiteral("yyyy-MM-dd HH:mm"))});
    item->setIcon(0, entry.folder ? folder_icon : file_icon);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(0, kPathRole,
                  QString::fromStdString(store::JoinPath(folder_, entry.name.toStdString())));
    item->setData(0, kFolderRole, entry.folder);
  }
  for (int column = 1; column < files_->columnCount(); ++column) {
    files_->resizeColumnToContents(column);
  }
}

void FileOpener::Activated(QTreeWidgetItem* item) {
  const std::string path = item->data(0, kPathRole).toString().toStdString();
  if (item->data(0, kFolderRole).toBool()) {
    Show(path);
  } else if (auto place = places_.Find(path, folder_)) {
    chosen_ = place->path;
    accept();
  }
}

// The name box takes a name in the folder looked in, a path, or a pattern that
// shows the files it matches.
void FileOpener::Open() {
  const QString text = name_->text().trimmed();
  if (text.isEmpty()) {
    if (QTreeWidgetItem* item = files_->currentItem()) Activated(item);
    return;
  }
  if (text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'))) {
    typed_.emplace(QString(), text.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    Relist();
    return;
  }
  const std::optional<MachinePlace> place = places_.Find(text.toStdString(), folder_);
  if (!place) {
    Refuse(QStringLiteral("找不到文件“%1”。\n请检查文件名是否正确。").arg(text));
  } else if (place->folder) {
    name_->clear();
    Show(place->path);
  } else {
    chosen_ = place->path;
    accept();
  }
}

void FileOpener::Refuse(const QString& text) {
  QMessageBox warning(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
  warning.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  warning.exec();
}

}  // namespace korvanta::ui::qt
