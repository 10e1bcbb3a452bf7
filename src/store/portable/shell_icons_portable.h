#pragma once
// Icons of a machine folder's files, read by the program itself; a machine folder
// has no desktop, so the desktop icon view does nothing.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/portable/machine_folder.h"
#include "store/shell_icons.h"

namespace korvanta::store {

// The host file an icon location's file names: %SystemRoot% and %windir% stand for
// C:\windows; a name without a folder is looked for in the system folders and the
// Windows folder, as the system looks for programs.
std::optional<std::filesystem::path> FindIconFile(const MachineFolder& machine,
                                                  std::string_view file);
// The whole of that file, read once for a caller that takes many of its icons.
std::optional<std::string> ReadIconFile(const MachineFolder& machine, std::string_view file);
// The icon at index of that file as the bytes of an .ico file (see IconAt).
std::optional<std::string> LoadIcon(const MachineFolder& machine, std::string_view file, int index);
// How many icons the file holds, and their resource numbers (see IconNumbers).
int CountIcons(const MachineFolder& machine, std::string_view file);
std::vector<int> IconNumbers(const MachineFolder& machine, std::string_view file);

class PortableShellIcons final : public ShellIcons {
 public:
  explicit PortableShellIcons(const MachineFolder& machine) : machine_(machine) {}
  bool HasIcon(std::string_view file, int index) override;
  int DesktopItemCount() override { return 0; }
  void SetDesktopItemPosition(int, int, int) override {}
  void SetDesktopTextColors(std::uint32_t, std::uint32_t, bool) override {}
  void RedrawDesktop() override {}
  void RestoreDesktopColor() override {}
  int ScreenWidth() override { return 0; }

 private:
  const MachineFolder& machine_;
};

}  // namespace korvanta::store
