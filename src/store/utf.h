#pragma once
// UTF-8 and UTF-16 conversions. Malformed UTF-8 becomes U+FFFD; unpaired
// surrogates are written as their three-byte forms so nothing is lost.

#include <string>
#include <string_view>

namespace korvanta::store {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Simple case folding (to lower case) as Wine compares registry and file names:
// ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic, Roman numerals, circled and
// full-width letters.
char16_t FoldCase(char16_t c);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
// UTF-8 texts compared the same way.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// The text with its ASCII letters in upper case, the rest as it is: a key for
// looking names up without regard to case, where a full compare settles the rest.
std::string AsciiUpper(std::string_view text);

}  // namespace korvanta::store
