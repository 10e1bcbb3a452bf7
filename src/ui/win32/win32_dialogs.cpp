#include "ui/win32/win32_dialogs.h"

#include <algorithm>
#include <vector>

#include "store/win32/win32_text.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {
namespace {

HWND OwnerWindow(const Renderer& renderer, const Form* owner) {
  return owner ? renderer.WindowOf(*owner) : nullptr;
}

}  // namespace

std::wstring FileDialogFilter(std::string_view filter) {
  if (filter.empty()) return {};
  std::wstring out = store::Widen(filter);
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  out += L'\0';
  out += L'\0';
  return out;
}

MessageAnswer Win32Dialogs::MessageBox(const Form* owner, std::string_view title,
                                       std::string_view text, MessageIcon icon,
                                       MessageButtons buttons) {
  UINT type = buttons == MessageButtons::kOkCancel ? MB_OKCANCEL : MB_OK;
  switch (icon) {
    case MessageIcon::kInformation:
      type |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kCritical:
      type |= MB_ICONERROR;
      break;
    case MessageIcon::kExclamation:
      type |= MB_ICONWARNING;
      break;
    case MessageIcon::kQuestion:
      type |= MB_ICONQUESTION;
      break;
    case MessageIcon::kNone:
      break;
  }
  HWND window = OwnerWindow(renderer_, owner);
  if (!window) type |= MB_TASKMODAL;
  int answer = MessageBoxW(window, store::Widen(text).c_str(), store::Widen(title).c_str(), type);
  return answer == IDOK ? MessageAnswer::kOk : MessageAnswer::kCancel;
}

std::optional<std::string> Win32Dialogs::BrowseForFolder(const Form* owner,
                                                         std::string_view title) {
  HWND window = OwnerWindow(renderer_, owner);
  LPITEMIDLIST root = nullptr;
  SHGetSpecialFolderLocation(window, CSIDL_DESKTOP, &root);
  std::wstring prompt = store::Widen(title);
  BROWSEINFOW info{};
  info.hwndOwner = window;
  info.pidlRoot = root;
  info.lpszTitle = prompt.c_str();
  info.ulFlags = 0;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  std::optional<std::string> folder;
  if (chosen) {
    std::vector<wchar_t> path(MAX_PATH + 1, L'\0');
    if (SHGetPathFromIDListW(chosen, path.data())) folder = store::Narrow(path.data());
    CoTaskMemFree(chosen);
  }
  if (root) CoTaskMemFree(root);
  return folder;
}

std::optional<std::string> Win32Dialogs::OpenFile(const Form* owner, std::string_view title,
                                                  std::string_view filter) {
  std::wstring filters = FileDialogFilter(filter);
  std::wstring caption = store::Widen(title);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = OwnerWindow(renderer_, owner);
  ofn.lpstrFilter = filters.empty() ? nullptr : filters.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
  // The program's folder stays its current folder.
  ofn.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return store::Narrow(file.data());
}

IconPick Win32Dialogs::PickIcon(const Form* owner, const IconChoice& start) {
  // PickIconDlg is exported by name only from Windows XP SP2 on; ordinal 62
  // before that.
  using PickIconDlgFn = int(WINAPI*)(HWND, PWSTR, UINT, int*);
  HMODULE shell = GetModuleHandleW(L"shell32.dll");  // linked: always loaded
  if (!shell) return {std::nullopt, true};
  FARPROC proc = GetProcAddress(shell, "PickIconDlg");
  if (!proc) proc = GetProcAddress(shell, MAKEINTRESOURCEA(62));
  if (!proc) return {std::nullopt, true};
  auto pick = reinterpret_cast<PickIconDlgFn>(reinterpret_cast<void*>(proc));
  std::vector<wchar_t> path(MAX_PATH + 1, L'\0');
  std::wstring first = store::Widen(start.file);
  first.copy(path.data(), std::min<std::size_t>(first.size(), MAX_PATH));
  int index = start.index;
  // 1 is OK and 0 Cancel; anything else is a dialog that never showed (Wine's
  // answers -1 at once, with nothing chosen).
  const int answer =
      pick(OwnerWindow(renderer_, owner), path.data(), static_cast<UINT>(path.size()), &index);
  if (answer == 0) return {};
  if (answer != 1) return {std::nullopt, true};
  // The dialog may answer with %SystemRoot% and the like; the program stores paths.
  std::vector<wchar_t> expanded(32768, L'\0');
  DWORD n =
      ExpandEnvironmentStringsW(path.data(), expanded.data(), static_cast<DWORD>(expanded.size()));
  std::wstring file = n > 0 && n <= expanded.size() ? expanded.data() : path.data();
  return {IconChoice{store::Narrow(file), index}};
}

}  // namespace korvanta::ui::win32
