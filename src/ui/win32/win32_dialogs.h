#pragma once
// The system's own dialogs for the program: message boxes, the folder browser,
// the file-open dialog and the icon picker, owned by the form's window.

#include <string>

#include "ui/dialogs.h"

namespace korvanta::ui::win32 {

class Renderer;

class Win32Dialogs final : public Dialogs {
 public:
  explicit Win32Dialogs(Renderer& renderer) : renderer_(renderer) {}

  MessageAnswer MessageBox(const Form* owner, std::string_view title, std::string_view text,
                           MessageIcon icon, MessageButtons buttons) override;
  std::optional<std::string> BrowseForFolder(const Form* owner, std::string_view title) override;
  std::optional<std::string> OpenFile(const Form* owner, std::string_view title,
                                      std::string_view filter) override;
  IconPick PickIcon(const Form* owner, const IconChoice& start) override;

 private:
  Renderer& renderer_;
};

// "bmp文件|*.bmp|所有文件|*.*" as the dialog wants it: each part ended by a NUL,
// the whole by one more. Empty for an empty filter.
std::wstring FileDialogFilter(std::string_view filter);

}  // namespace korvanta::ui::win32
