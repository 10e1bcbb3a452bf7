#pragma once
// What the program asks of the machine's shell.

#include <cstdint>
#include <string_view>

namespace korvanta::store {

class Shell {
 public:
  virtual ~Shell() = default;
  // Moves a file or folder to the Recycle Bin (SHFileOperationA, FO_DELETE with
  // FOF_ALLOWUNDO); the result is not examined by the callers.
  virtual void RecycleFile(std::string_view path) = 0;
  // ShellExecuteA(owner, verb, file, parameters, no folder, SW_SHOWNORMAL): opens a
  // document, program or address; owner is the native window or 0. Nothing is
  // reported back.
  virtual void Execute(std::string_view verb, std::string_view file, std::string_view parameters,
                       std::uintptr_t owner) = 0;
  // Whether Execute can start the machine's own programs (".exe", ".scr"): a
  // machine folder can only while Wine is installed.
  virtual bool StartsPrograms() const = 0;
  // Starts a program file itself, with no arguments, in a minimised window that
  // has the focus (WinExec with SW_SHOWMINIMIZED). Nothing is reported back.
  virtual void RunMinimized(std::string_view program) = 0;
  // Asks the machine to restart so that changed settings take effect; programs are
  // asked to close and may save their work first.
  virtual void RequestRestart() = 0;
  // Shows or hides the desktop's icon view: the SysListView32 child of the
  // SHELLDLL_DefView child of the top-level "Progman" window. A machine with no
  // such desktop does nothing.
  virtual void ShowDesktopIconView(bool visible) = 0;
};

}  // namespace korvanta::store
