#include "store/utf.h"

#include <cstdint>

namespace korvanta::store {

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int extra = 0;
    std::uint32_t cp = 0;
    std::uint32_t min = 0;
    if ((c & 0xe0) == 0xc0) {
      extra = 1, cp = c & 0x1f, min = 0x80;
    } else if ((c & 0xf0) == 0xe0) {
      extra = 2, cp = c & 0x0f, min = 0x800;
    } else if ((c & 0xf8) == 0xf0) {
      extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
      out.push_back(0xfffd);
      ++i;
      continue;
    }
    bool ok = i + static_cast<std::size_t>(extra) < n;
    std::size_t j = i + 1;
    for (int k = 0; ok && k < extra; ++k, ++j) {
      auto cc = static_cast<unsigned char>(utf8[j]);
      if ((cc & 0xc0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (cc & 0x3f);
    }
    if (!ok || cp < min || cp > 0x10ffff) {
      out.push_back(0xfffd);
      ++i;
      continue;
    }
    i = j;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xd800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xdc00 + (cp & 0x3ff)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    std::uint32_t cp = utf16[i];
    if (cp >= 0xd800 && cp < 0xdc00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xdc00 &&
        utf16[i + 1] < 0xe000) {
      cp = 0x10000 + ((cp - 0xd800) << 10) + (utf16[i + 1] - 0xdc00);
      ++i;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xc0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xe0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    } else {
      out.push_back(static_cast<char>(0xf0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    }
  }
  return out;
}

namespace {

// Lower-case mapping of the alternating upper/lower pairs of a block.
char16_t PairLower(char16_t c, bool upper_is_even) {
  return ((c % 2 == 0) == upper_is_even) ? static_cast<char16_t>(c + 1) : c;
}

char16_t LatinExtendedLower(char16_t c) {
  if (c == 0x130) return u'i';
  if (c == 0x178) return 0xff;
  if (c <= 0x12f || (c >= 0x132 && c <= 0x137) || (c >= 0x14a && c <= 0x177)) {
    return PairLower(c, true);
  }
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17e)) return PairLower(c, false);
  return c;
}

char16_t GreekLower(char16_t c) {
  switch (c) {
    case 0x370:
    case 0x372:
    case 0x376:
      return static_cast<char16_t>(c + 1);
    case 0x37f:
      return 0x3f3;
    case 0x386:
      return 0x3ac;
    case 0x38c:
      return 0x3cc;
    case 0x38e:
      return 0x3cd;
    case 0x38f:
      return 0x3ce;
    case 0x3cf:
      return 0x3d7;
    case 0x3f4:
      return 0x3b8;
    case 0x3f7:
      return 0x3f8;
    case 0x3f9:
      return 0x3f2;
    case 0x3fa:
      return 0x3fb;
    default:
      break;
  }
  if (c >= 0x388 && c <= 0x38a) return static_cast<char16_t>(c + 37);
  if (c >= 0x391 && c <= 0x3ab && c != 0x3a2) return static_cast<char16_t>(c + 32);
  if (c >= 0x3d8 && c <= 0x3ef) return PairLower(c, true);
  if (c >= 0x3fd && c <= 0x3ff) return static_cast<char16_t>(c - 130);
  return c;
}

char16_t CyrillicLower(char16_t c) {
  if (c <= 0x40f) return static_cast<char16_t>(c + 80);
  if (c <= 0x42f) return static_cast<char16_t>(c + 32);
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48a && c <= 0x4bf) || (c >= 0x4d0 && c <= 0x52f)) {
    return PairLower(c, true);
  }
  if (c == 0x4c0) return 0x4cf;
  if (c >= 0x4c1 && c <= 0x4ce) return PairLower(c, false);
  return c;
}

}  // namespace

char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  if (c < 0x100) return (c >= 0xc0 && c <= 0xde && c != 0xd7) ? static_cast<char16_t>(c + 32) : c;
  if (c < 0x180) return LatinExtendedLower(c);
  if (c >= 0x370 && c < 0x400) return GreekLower(c);
  if (c >= 0x400 && c < 0x530) return CyrillicLower(c);
  if (c >= 0x2160 && c <= 0x216f) return static_cast<char16_t>(c + 16);
  if (c >= 0x24b6 && c <= 0x24cf) return static_cast<char16_t>(c + 26);
  if (c >= 0xff21 && c <= 0xff3a) return static_cast<char16_t>(c + 32);
  return c;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  bool ascii = true;
  for (char c : a) ascii &= static_cast<unsigned char>(c) < 0x80;
  for (char c : b) ascii &= static_cast<unsigned char>(c) < 0x80;
  if (!ascii) return EqualsIgnoreCase(Utf8ToUtf16(a), Utf8ToUtf16(b));
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<char16_t>(a[i])) != FoldCase(static_cast<char16_t>(b[i])))
      return false;
  }
  return true;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace korvanta::store
