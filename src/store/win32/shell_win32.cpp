#include "store/win32/shell_win32.h"

#include <string>

#include "store/win32/codepage_win32.h"
#include "store/win32/windows_api.h"

namespace korvanta::store {

void Win32Shell::RecycleFile(std::string_view path) {
  // pFrom is a list ended by two zeros.
  std::string from = Win32Codepage().ToAnsi(path);
  from.append(2, '\0');
  SHFILEOPSTRUCTA op{};
  op.hwnd = nullptr;
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.pTo = nullptr;
  op.fFlags = FOF_ALLOWUNDO;
  SHFileOperationA(&op);
}

void Win32Shell::Execute(std::string_view verb, std::string_view file, std::string_view parameters,
                         std::uintptr_t owner) {
  Win32Codepage cp;
  std::string v = cp.ToAnsi(verb), f = cp.ToAnsi(file), p = cp.ToAnsi(parameters);
  ShellExecuteA(reinterpret_cast<HWND>(owner), v.c_str(), f.c_str(),
                p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL);
}

void Win32Shell::RequestRestart() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  // A normal restart: EWX_FORCE would close every program without letting it
  // save, losing the user's unsaved work.
  ExitWindowsEx(EWX_REBOOT, 0);
}

void Win32Shell::ShowDesktopIconView(bool visible) {
  HWND progman = FindWindowA("Progman", nullptr);
  HWND view = progman ? FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
  HWND icons = view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
  if (icons) ShowWindow(icons, visible ? SW_SHOW : SW_HIDE);
}

void Win32Shell::RunMinimized(std::string_view program) {
  std::string path = Win32Codepage().ToAnsi(program);
  WinExec(path.c_str(), SW_SHOWMINIMIZED);
}

}  // namespace korvanta::store
