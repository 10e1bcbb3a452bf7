#include "ui/qt/machine_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>

#include "store/portable/shell_icons_portable.h"
#include "ui/qt/pictures.h"

namespace korvanta::qt {
namespace fs = std::filesystem;

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "*.bmp" as "*.[bB][mM][pP]"; "*.*" matches every name, as on Windows.
QString CaseFreePattern(QString pattern) {
  pattern = pattern.trimmed();
  if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
  QString out;
  for (QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

QStringList QtNameFilters(std::string_view filter) {
  QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      patterns << CaseFreePattern(p);
    }
    filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

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

std::vector<std::pair<char, fs::path>> MachineDialogs::Drives() const {
  std::vector<std::pair<char, fs::path>> drives;
  for (char letter = 'C'; letter != 'B';) {
    if (auto folder = machine_.DriveFolder(letter)) drives.emplace_back(letter, *folder);
    letter = letter == 'Z' ? 'A' : static_cast<char>(letter + 1);
  }
  return drives;
}

std::optional<std::string> MachineDialogs::Browse(QWidget* parent, const QString& title,
                                                  bool folders, const QStringList& filters) {
  QFileDialog dialog(parent, title);
  dialog.setObjectName(QStringLiteral("machineFileDialog"));
  // Qt's own dialog: the desktop's would browse this computer, not the machine.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (folders) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
      dialog.setOption(QFileDialog::HideNameFilterDetails);
    }
  }
  QList<QUrl> sidebar;
  for (const auto& [letter, folder] : Drives()) {
    sidebar << QUrl::fromLocalFile(QString::fromStdString(folder.string()));
  }
  dialog.setSidebarUrls(sidebar);
  if (!sidebar.isEmpty()) dialog.setDirectoryUrl(sidebar.front());
  while (dialog.exec() == QDialog::Accepted) {
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) continue;
    if (auto path = machine_.WindowsPath(fs::path(chosen.front().toStdString()))) return path;
    QMessageBox warning(QMessageBox::Warning, title,
                        QStringLiteral("请选择这台计算机磁盘上的位置：") + chosen.front() +
                            QStringLiteral(" 不在它的任何一个磁盘中。"),
                        QMessageBox::Ok, &dialog);
    warning.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    warning.exec();
  }
  return std::nullopt;
}

std::optional<std::string> MachineDialogs::BrowseForFolder(const ui::Form* owner,
                                                           std::string_view title) {
  return Browse(owner_window_(owner), Q(title).isEmpty() ? QStringLiteral("浏览文件夹") : Q(title),
                true, {});
}

std::optional<std::string> MachineDialogs::OpenFile(const ui::Form* owner, std::string_view title,
                                                    std::string_view filter) {
  return Browse(owner_window_(owner), Q(title).isEmpty() ? QStringLiteral("打开") : Q(title), false,
                QtNameFilters(filter));
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
  // program or library, or an .ico file's one icon.
  auto reload = [&] {
    icons->clear();
    const std::string name = file->text().trimmed().toStdString();
    const int count = CountIcons(machine_, name);
    for (int i = 0; i < count; ++i) {
      auto* item =
          new QListWidgetItem(QIcon(Pictures::MachineIcon(machine_, name, i)), QString::number(i));
      item->setToolTip(QString::number(i));
      icons->addItem(item);
    }
    note->setText(count == 0 ? QStringLiteral("此文件中没有图标。") : QString());
    if (index->value() < 0) {
      // An icon named by its resource number: show where it stands in the file.
      const std::vector<int> numbers = IconNumbers(machine_, name);
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
    if (auto chosen = Browse(&dialog, QStringLiteral("更改图标"), false,
                             QtNameFilters("图标文件|*.ico;*.exe;*.dll|所有文件|*.*"))) {
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

}  // namespace korvanta::qt
