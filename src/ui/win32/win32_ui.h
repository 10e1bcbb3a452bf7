#pragma once
// The Win32 headers the renderer uses, always through the back end's windows.h
// wrapper. The ...A/...W macros that would rename members of the control model
// (Dialogs::MessageBox) are removed: renderer code calls the W functions by name.

#include "store/win32/windows_api.h"
// The rest need windows.h first.
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <uxtheme.h>

#undef MessageBox
#undef GetObject
#undef DrawText

namespace korvanta::ui::win32 {

// Messages newer than the headers we compile against (Windows XP): the program
// still reacts to them where the system sends them.
inline constexpr UINT kWmDpiChanged = 0x02E0;

}  // namespace korvanta::ui::win32
