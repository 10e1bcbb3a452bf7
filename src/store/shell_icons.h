#pragma once
// Icons in the machine's files and the desktop's icon view, as the desktop icon
// tool uses them.

#include <cstdint>
#include <string_view>

namespace korvanta::store {

class ShellIcons {
 public:
  virtual ~ShellIcons() = default;

  // Whether the file holds an icon at index (ExtractIconExA of one large icon): a
  // negative index names the icon resource by its number. A name without a
  // folder is looked for as the system looks for programs.
  virtual bool HasIcon(std::string_view file, int index) = 0;

  // The desktop's icon view (the SysListView32 child of the SHELLDLL_DefView child
  // of the top-level "Progman" window titled "Program Manager"). A machine without
  // one does nothing and counts no items.
  virtual int DesktopItemCount() = 0;
  virtual void SetDesktopItemPosition(int item, int x, int y) = 0;
  // Text and text background colours (0xBBGGRR); a transparent background when
  // transparent is set.
  virtual void SetDesktopTextColors(std::uint32_t text, std::uint32_t back, bool transparent) = 0;
  // Redraws every item and updates the view.
  virtual void RedrawDesktop() = 0;
  // Sets the desktop colour (COLOR_BACKGROUND) again to its own value, which
  // repaints the desktop with its normal icon text colours.
  virtual void RestoreDesktopColor() = 0;
  // The screen's width in pixels; 0 when there is no screen.
  virtual int ScreenWidth() = 0;
};

}  // namespace korvanta::store
