#pragma once
// The folder browser of the Qt build, as the shell's own: the prompt the page
// gives above a tree of the machine's drives and folders, and the chosen folder's
// path as the machine writes it.

#include <QDialog>
#include <string>

#include "ui/qt/machine_places.h"

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvanta::ui::qt {

class FolderBrowser final : public QDialog {
 public:
  FolderBrowser(const store::MachineFiles& machine, const QString& prompt, QWidget* parent);

  // The folder chosen, once accepted ("C:\WINDOWS").
  const std::string& chosen() const { return chosen_; }

 private:
  void Fill(QTreeWidgetItem* item);
  void Choose();

  MachinePlaces places_;
  QTreeWidget* tree_;
  QLineEdit* path_;
  std::string chosen_;
};

}  // namespace korvanta::ui::qt
