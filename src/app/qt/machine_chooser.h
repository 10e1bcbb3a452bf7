#pragma once
// The window that asks which machine to work on before the main window opens,
// when the computer holds several Wine prefixes: one row per machine with where
// it comes from, its name, folder, architecture and Windows version; the one
// chosen last time is selected, the demo machine is the last row.

#include <QDialog>
#include <vector>

#include "store/portable/machine_offers.h"

class QTreeWidget;

namespace korvanta::app::qt {

class MachineChooser final : public QDialog {
 public:
  explicit MachineChooser(std::vector<store::MachineOffer> offers, QWidget* parent = nullptr);

  // The machine of the selected row, once accepted; else null.
  const store::MachineOffer* chosen() const;
  QTreeWidget* list() const { return list_; }

 private:
  std::vector<store::MachineOffer> offers_;
  QTreeWidget* list_;
};

}  // namespace korvanta::app::qt
