#pragma once
// The dialogs of the Qt build: message boxes, and the folder browser, file-open
// dialog and icon picker over the machine's drives. Paths cross as the machine's
// Windows paths; nothing outside the machine's drives is offered or taken.

#include <QWidget>
#include <functional>

#include "store/machine_files.h"
#include "ui/dialogs.h"

namespace korvanta::ui::qt {

class MachineDialogs final : public ui::Dialogs {
 public:
  // owner_window finds the window a form is shown in (or null).
  MachineDialogs(const store::MachineFiles& machine,
                 std::function<QWidget*(const ui::Form*)> owner_window)
      : machine_(machine), owner_window_(std::move(owner_window)) {}

  ui::MessageAnswer MessageBox(const ui::Form* owner, std::string_view title, std::string_view text,
                               ui::MessageIcon icon, ui::MessageButtons buttons) override;
  std::optional<std::string> BrowseForFolder(const ui::Form* owner,
                                             std::string_view title) override;
  std::optional<std::string> OpenFile(const ui::Form* owner, std::string_view title,
                                      std::string_view filter) override;
  ui::IconPick PickIcon(const ui::Form* owner, const ui::IconChoice& start) override;

 private:
  std::optional<std::string> Open(QWidget* parent, const QString& caption, std::string_view filter);

  const store::MachineFiles& machine_;
  std::function<QWidget*(const ui::Form*)> owner_window_;
};

}  // namespace korvanta::ui::qt
