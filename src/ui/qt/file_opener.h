#pragma once
// The file-open dialog of the Qt build, as the common one of the machine's own
// programs: a folder of the machine's drives to look in, its folders and the
// files of the chosen type, and a name box that takes a name or a whole path.
// Paths cross as the machine writes them.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "ui/qt/machine_places.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvanta::ui::qt {

class FileOpener final : public QDialog {
 public:
  // filter is a Windows file filter ("bmp文件|*.bmp|所有文件|*.*"); empty shows every file.
  FileOpener(const store::MachineFiles& machine, const QString& caption, std::string_view filter,
             QWidget* parent);

  // The file chosen, once accepted ("C:\Program Files\Logo.BMP").
  const std::string& chosen() const { return chosen_; }
  // The folder looked in.
  const std::string& folder() const { return folder_; }

 private:
  void Show(const std::string& folder);
  void Relist();
  void Activated(QTreeWidgetItem* item);
  void Open();
  void Refuse(const QString& text);

  MachinePlaces places_;
  std::vector<FileFilter> filters_;
  std::optional<FileFilter> typed_;  // patterns typed into the name box, until the type changes
  QComboBox* look_in_;
  QTreeWidget* files_;
  QLineEdit* name_;
  QComboBox* type_;
  std::string folder_;
  std::vector<MachineEntry> entries_;  // the folder's, read once per visit
  std::string chosen_;
};

}  // namespace korvanta::ui::qt
