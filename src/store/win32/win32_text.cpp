#include "store/win32/win32_text.h"

#include "store/utf.h"

namespace korvanta::store {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

std::wstring Widen(std::string_view utf8) {
  std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

std::string Narrow(std::wstring_view wide) {
  std::u16string u(wide.begin(), wide.end());
  return Utf16ToUtf8(u);
}

}  // namespace korvanta::store
