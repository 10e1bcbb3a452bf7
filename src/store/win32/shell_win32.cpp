#include "store/win32/shell_win32.h"

#include "store/win32/windows_api.h"

#include <string>

#include "store/win32/codepage_win32.h"

namespace korvanta {

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

}  // namespace korvanta
