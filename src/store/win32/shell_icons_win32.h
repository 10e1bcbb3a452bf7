#pragma once
// The shell's icons and the desktop's icon view on the live machine.

#include "store/shell_icons.h"

namespace korvanta::store {

class Win32ShellIcons final : public ShellIcons {
 public:
  bool HasIcon(std::string_view file, int index) override;
  int DesktopItemCount() override;
  void SetDesktopItemPosition(int item, int x, int y) override;
  void SetDesktopTextColors(std::uint32_t text, std::uint32_t back, bool transparent) override;
  void RedrawDesktop() override;
  void RestoreDesktopColor() override;
  int ScreenWidth() override;
};

}  // namespace korvanta::store
