#include "store/win32/shell_icons_win32.h"

#include <string>

#include "store/win32/codepage_win32.h"
#include "store/win32/windows_api.h"

namespace korvanta::store {
namespace {

// List-view messages (commctrl.h), sent to the shell's own list view.
constexpr UINT kGetItemCount = 0x1000 + 4;      // LVM_GETITEMCOUNT
constexpr UINT kSetItemPosition = 0x1000 + 15;  // LVM_SETITEMPOSITION
constexpr UINT kRedrawItems = 0x1000 + 21;      // LVM_REDRAWITEMS
constexpr UINT kSetTextColor = 0x1000 + 36;     // LVM_SETTEXTCOLOR
constexpr UINT kSetTextBkColor = 0x1000 + 38;   // LVM_SETTEXTBKCOLOR
constexpr COLORREF kNoColor = 0xFFFFFFFF;       // CLR_NONE

HWND DesktopIconView() {
  HWND progman = FindWindowA("Progman", "Program Manager");
  HWND view = progman ? FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
  return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

}  // namespace

bool Win32ShellIcons::HasIcon(std::string_view file, int index) {
  // The picker hands back locations through %SystemRoot%, which ExtractIconEx
  // does not expand itself.
  std::string path = Win32Codepage().ToAnsi(file);
  char expanded[MAX_PATH] = {};
  DWORD n = ExpandEnvironmentStringsA(path.c_str(), expanded, MAX_PATH);
  if (n > 0 && n <= MAX_PATH) path = expanded;
  HICON large = nullptr;
  UINT got = ExtractIconExA(path.c_str(), index, &large, nullptr, 1);
  if (large) DestroyIcon(large);
  return got > 0 && got != UINT(-1) && large != nullptr;
}

int Win32ShellIcons::DesktopItemCount() {
  HWND view = DesktopIconView();
  return view ? static_cast<int>(SendMessageA(view, kGetItemCount, 0, 0)) : 0;
}

void Win32ShellIcons::SetDesktopItemPosition(int item, int x, int y) {
  if (HWND view = DesktopIconView()) {
    SendMessageA(view, kSetItemPosition, static_cast<WPARAM>(item), MAKELPARAM(x, y));
  }
}

void Win32ShellIcons::SetDesktopTextColors(std::uint32_t text, std::uint32_t back,
                                           bool transparent) {
  HWND view = DesktopIconView();
  if (!view) return;
  SendMessageA(view, kSetTextBkColor, 0, static_cast<LPARAM>(transparent ? kNoColor : back));
  SendMessageA(view, kSetTextColor, 0, static_cast<LPARAM>(text));
}

void Win32ShellIcons::RedrawDesktop() {
  HWND view = DesktopIconView();
  if (!view) return;
  LRESULT count = SendMessageA(view, kGetItemCount, 0, 0);
  SendMessageA(view, kRedrawItems, 0, count > 0 ? count - 1 : 0);
  UpdateWindow(view);
}

void Win32ShellIcons::RestoreDesktopColor() {
  INT element = COLOR_BACKGROUND;
  COLORREF color = GetSysColor(COLOR_BACKGROUND);
  SetSysColors(1, &element, &color);
}

int Win32ShellIcons::ScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}

}  // namespace korvanta::store
