#pragma once
// Where the pictures a control shows come from: the program's own (the splash,
// the about box, the window icon) in its pictures folder, the message icons from
// the style, and the machine's picture and icon files.

#include <QIcon>
#include <QPixmap>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "store/machine_files.h"
#include "ui/controls.h"

namespace korvanta::ui::qt {

class Pictures {
 public:
  // folders: the program's pictures folders, searched in order; machine may be
  // null (no machine files then).
  Pictures(std::vector<std::filesystem::path> folders, const store::MachineFiles* machine);

  // A null pixmap when the picture cannot be had.
  QPixmap Load(const ui::Picture& picture);
  // The window icon of that resource name: every size the folder has of it
  // (name-16.png, name-32.png, ...), else name.png.
  QIcon WindowIcon(const std::string& name);

  // Icon index of a file of the machine, as the shell finds it (icon resources of
  // programs and libraries, .ico files): its image nearest to 32 by 32 pixels.
  static QPixmap MachineIcon(const store::MachineFiles& machine, std::string_view file, int index);
  // The image of an .ico file's bytes nearest to 32 by 32 pixels.
  static QPixmap NearestTo32(const std::string& ico);

 private:
  QPixmap Resource(const std::string& name);
  std::vector<std::filesystem::path> folders_;
  const store::MachineFiles* machine_;
  std::map<std::string, QPixmap> cache_;
  std::map<std::string, QIcon> icons_;
};

}  // namespace korvanta::ui::qt
