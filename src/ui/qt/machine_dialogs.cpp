#include "ui/qt/machine_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

#include "store/icon_reader.h"
#include "ui/qt/file_opener.h"
#include "ui/qt/folder_browser.h"
#include "ui/qt/pictures.h"

namespace korvanta::ui::qt {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ui::MessageAnswer MachineDialogs::MessageBox(const ui::Form* owner, std::string_view title,
                                             std::string_view text, ui::MessageIcon icon,
                                             ui::MessageButtons buttons) {
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  switch (icon) {
    case ui::MessageIcon::kInformation:
      qicon = QMessageBox::Information;
      break;
    case ui::MessageIcon::kCritical:
      qicon = QMessageBox::Critical;
      break;
    case ui::MessageIcon::kExclamation:
      qicon = QMessageBox::Warning;
      break;
    case ui::MessageIcon::kQuestion:
      qicon = QMessageBox::Question;
      break;
    case ui::MessageIcon::kNone:
      break;
  }
  QMessageBox box(qicon, Q(title), Q(text), QMessageBox::Ok, owner_window_(owner));
  box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  if (buttons == ui::MessageButtons::kOkCancel) {
    box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setEscapeButton(QMessageBox::Cancel);
  }
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok ? ui::MessageAnswer::kOk : ui::MessageAnswer::kCancel;
}

std::optional<std::string> MachineDialogs::BrowseForFolder(const ui::Form* owner,
                                                           std::string_view title) {
  FolderBrowser browser(machine_, Q(title), owner_window_(owner));
  if (browser.exec() != QDialog::Accepted) return std::nullopt;
  return browser.chosen();
}

std::optional<std::string> MachineDialogs::OpenFile(const ui::Form* owner, std::string_view title,
                                                    std::string_view filter) {
  return Open(owner_window_(owner), Q(title).isEmpty() ? QStringLiteral("打开") : Q(title), filter);
}

std::optional<std::string> MachineDialogs::Open(QWidget* parent, const QString& caption,
                                                std::string_view filter) {
  FileOpener opener(machine_, caption, filter, parent);
  if (opener.exec() != QDialog::Accepted) return std::nullopt;
  return opener.chosen();
}

ui::IconPick MachineDialogs::PickIcon(const ui::Form* owner, const ui::IconChoice& start) {
  QDialog dialog(owner_window_(owner));
  dialog.setObjectName(QStringLiteral("pickIconDialog"));
  dialog.setWindowTitle(QStringLiteral("更改图标"));
  auto* file = new QLineEdit(Q(start.file));
  file->setObjectName(QStringLiteral("iconFile"));
  auto* browse = new QPushButton(QStringLiteral("浏览(&B)..."));
  auto* icons = new QListWidget;
  icons->setObjectName(QStringLiteral("icons"));
  icons->setViewMode(QListView::IconMode);
  icons->setIconSize(QSize(32, 32));
  icons->setGridSize(QSize(48, 48));
  icons->setMovement(QListView::Static);
  icons->setMinimumSize(320, 160);
  auto* note = new QLabel;
  auto* index = new QSpinBox;
  index->setObjectName(QStringLiteral("iconIndex"));
  index->setRange(-65535, 65535);
  index->setValue(start.index);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

  auto* row = new QHBoxLayout;
  row->addWidget(file, 1);
  row->addWidget(browse);
  auto* form = new QFormLayout(&dialog);
  form->addRow(QStringLiteral("文件："), row);
  form->addRow(icons);
  form->addRow(note);
  form->addRow(QStringLiteral("图标序号："), index);
  form->addRow(buttons);

  // The icons of the file as the shell numbers them: the icon resources of a
  // program or library, or an .ico file's one icon. The file is read once and
  // its icons drawn a few at a time, so that the picker shows at once and stays
  // answerable while a library of hundreds of icons fills in.
  std::string bytes;
  int drawn = 0;
  QTimer filler;
  filler.setInterval(0);
  QObject::connect(&filler, &QTimer::timeout, &dialog, [&] {
    for (const int end = std::min(icons->count(), drawn + 16); drawn < end; ++drawn) {
      if (std::optional<std::string> ico = store::IconAt(bytes, drawn)) {
        icons->item(drawn)->setIcon(QIcon(Pictures::NearestTo32(*ico)));
      }
    }
    if (drawn >= icons->count()) filler.stop();
  });
  auto reload = [&] {
    filler.stop();
    icons->clear();
    bytes = machine_.ReadIconFile(file->text().trimmed().toStdString()).value_or(std::string());
    const int count = bytes.empty() ? 0 : store::CountIcons(bytes);
    for (int i = 0; i < count; ++i) {
      auto* item = new QListWidgetItem(QString::number(i));
      item->setToolTip(QString::number(i));
      icons->addItem(item);
    }
    drawn = 0;
    if (count > 0) filler.start();
    note->setText(count == 0 ? QStringLiteral("此文件中没有图标。") : QString());
    if (index->value() < 0) {
      // An icon named by its resource number: show where it stands in the file.
      const std::vector<int> numbers = store::IconNumbers(bytes);
      for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] == -index->value()) icons->setCurrentRow(static_cast<int>(i));
      }
    } else if (index->value() < icons->count()) {
      icons->setCurrentRow(index->value());
    }
  };
  QObject::connect(icons, &QListWidget::currentRowChanged, index, [index](int i) {
    if (i >= 0) index->setValue(i);
  });
  QObject::connect(file, &QLineEdit::editingFinished, &dialog, reload);
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    if (auto chosen =
            Open(&dialog, QStringLiteral("更改图标"), "图标文件|*.ico;*.exe;*.dll|所有文件|*.*")) {
      file->setText(Q(*chosen));
      index->setValue(0);
      reload();
    }
  });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  reload();
  if (dialog.exec() != QDialog::Accepted || file->text().trimmed().isEmpty()) return {};
  return {ui::IconChoice{file->text().trimmed().toStdString(), index->value()}};
}

}  // namespace korvanta::ui::qt
