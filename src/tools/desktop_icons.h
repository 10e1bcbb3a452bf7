#pragma once
// The desktop icon tool: names and icons of the shell's built-in desktop and
// folder objects, transparent icon text and icons laid out in rows.

#include <array>
#include <string>

#include "services/small_window.h"
#include "ui/lists.h"

namespace korvanta::tools {

// An icon location ("shell32.dll,31") split at its first comma: the index is the
// number the text after it starts with (blanks skipped), 0 when there is none.
struct IconLocation {
  std::string file;
  int index = 0;
  bool has_comma = false;
};
IconLocation SplitIconLocation(std::string_view location);

class Formggtb final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formggtb";
  static constexpr int kObjects = 9;
  explicit Formggtb(services::Program& program);
  ui::ListBox& List3;
  ui::PictureBox& Picture2;
  ui::TextBox& Text2;
  ui::CheckBox& Check1;
  ui::CheckBox& Check2;
  ui::CommandButton& Commandgm;
  ui::CommandButton& Commandtb;

  // What the window does to the desktop's icon view.
  void RestoreColor();
  void SetIconText(std::uint32_t text_color, std::uint32_t back_color, bool transparent);
  void ArrangeDesktopIcon(int step_x, int step_y);

 private:
  struct Object {
    std::string name;
    std::string icon;      // the current icon location
    std::string fallback;  // the default icon location
  };
  void Load();
  void Select();
  // The location the row's icon is shown from: its own when it has a comma and an
  // icon there, else the default one.
  IconLocation ShownIcon(int row);
  void Rename();
  void ChangeIcon();

  std::array<Object, kObjects> objects_;
};

}  // namespace korvanta::tools
