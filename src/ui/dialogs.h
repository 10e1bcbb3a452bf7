#pragma once
// The dialogs a page can ask for. Renderers show the platform's real ones;
// korvanta-drive answers them from its scenario.

#include <optional>
#include <string>
#include <string_view>

#include "ui/form.h"

namespace korvanta::ui {

enum class MessageButtons { kOk, kOkCancel };
enum class MessageAnswer { kOk, kCancel };

struct IconChoice {
  std::string file;  // Windows path
  int index = 0;
};

// What the icon picker answered: the icon chosen; nothing when the user
// cancelled, or when no picker could be shown (unavailable).
struct IconPick {
  std::optional<IconChoice> choice;
  bool unavailable = false;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box (MsgBox), modal: returns the button pressed.
  virtual MessageAnswer MessageBox(const Form* owner, std::string_view title, std::string_view text,
                                   MessageIcon icon, MessageButtons buttons) = 0;
  // The folder browser: the chosen folder's Windows path, nothing when cancelled.
  virtual std::optional<std::string> BrowseForFolder(const Form* owner, std::string_view title) = 0;
  // The file-open dialog; filter as "bmp文件|*.bmp" (pairs of description and
  // pattern separated by "|"), empty for all files.
  virtual std::optional<std::string> OpenFile(const Form* owner, std::string_view title,
                                              std::string_view filter) = 0;
  // The icon picker, starting on file and index.
  virtual IconPick PickIcon(const Form* owner, const IconChoice& start) = 0;
};

}  // namespace korvanta::ui
