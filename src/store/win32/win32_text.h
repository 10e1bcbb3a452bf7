#pragma once
// UTF-8 to and from the wide strings of the Win32 W calls.

#include <string>
#include <string_view>

namespace korvanta::store {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace korvanta::store
