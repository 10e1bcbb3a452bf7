#include "store/win32/codepage_win32.h"

#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"

namespace korvanta::store {

std::uint32_t Win32Codepage::id() const {
  return GetACP();
}

std::string Win32Codepage::ToAnsi(std::string_view utf8) const {
  std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string Win32Codepage::FromAnsi(std::string_view ansi) const {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Narrow(wide);
}

// Asked character by character, without best fit, so that the answer names the
// characters; the UTF code pages hold everything and take no such flags.
std::string Win32Codepage::Unstorable(std::string_view utf8) const {
  const UINT acp = GetACP();
  if (acp == CP_UTF8 || acp == CP_UTF7) return {};
  const std::wstring wide = Widen(utf8);
  std::wstring bad;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    std::size_t n = 1;
    if (wide[i] >= 0xd800 && wide[i] < 0xdc00 && i + 1 < wide.size() && wide[i + 1] >= 0xdc00 &&
        wide[i + 1] < 0xe000) {
      n = 2;
    }
    const std::wstring one = wide.substr(i, n);
    i += n - 1;
    char bytes[8];
    BOOL used_default = FALSE;
    const int written =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, one.data(), static_cast<int>(n), bytes,
                            sizeof bytes, nullptr, &used_default);
    if ((written > 0 && !used_default) || bad.find(one) != std::wstring::npos) continue;
    bad += one;
  }
  return Narrow(bad);
}

}  // namespace korvanta::store
