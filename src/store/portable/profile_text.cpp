#include "store/portable/profile_text.h"

#include <algorithm>
#include <utility>

#include "store/portable/cp936.h"
#include "store/utf.h"

namespace korvanta::store::profile {
namespace {

// Wine's wcsicmp folds ASCII letters only: fullwidth, Greek and Cyrillic letters
// name different sections in each case.
char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

// One character of MultiByteToWideChar(CP_UTF8) as Wine decodes it, from the
// byte after the lead byte ch: the continuation bytes that still fit are consumed
// and the whole malformed prefix is one U+FFFD (nothing returned); overlong forms,
// encoded surrogates and values past U+10FFFF are malformed; a sequence cut by the
// end of the text takes the rest of it.
std::optional<unsigned> DecodeUtf8Char(unsigned ch, std::string_view bytes, std::size_t& i) {
  const int len = ch >= 0xc2 && ch < 0xe0   ? 1
                  : ch >= 0xe0 && ch < 0xf0 ? 2
                  : ch >= 0xf0 && ch < 0xf5 ? 3
                                            : 0;
  unsigned value = ch & (len == 1 ? 0x1f : len == 2 ? 0x0f : 0x07);
  if (i + static_cast<std::size_t>(len) > bytes.size()) {
    i = bytes.size();
    return std::nullopt;
  }
  auto next = [&](unsigned& c) {
    c = static_cast<unsigned char>(bytes[i]) ^ 0x80u;
    return c < 0x40;
  };
  unsigned c = 0;
  switch (len) {
    case 3:
      if (!next(c)) return std::nullopt;
      value = (value << 6) | c;
      ++i;
      if (value < 0x10) return std::nullopt;
      [[fallthrough]];
    case 2:
      if (!next(c)) return std::nullopt;
      value = (value << 6) | c;
      if (value >= (0x110000 >> 6)) return std::nullopt;
      ++i;
      if (value < 0x20 || (value >= (0xd800 >> 6) && value <= (0xdfff >> 6))) return std::nullopt;
      [[fallthrough]];
    case 1:
      if (!next(c)) return std::nullopt;
      value = (value << 6) | c;
      ++i;
      if (value < 0x80) return std::nullopt;
      return value;
    default:
      return std::nullopt;
  }
}

Text DecodeUtf8(std::string_view bytes) {
  Text out;
  for (std::size_t i = 0; i < bytes.size();) {
    unsigned ch = static_cast<unsigned char>(bytes[i++]);
    std::optional<unsigned> value = ch < 0x80 ? ch : DecodeUtf8Char(ch, bytes, i);
    if (!value) {
      out.push_back(u'\xfffd');
    } else if (*value >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xd800 | ((*value - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xdc00 | (*value & 0x3ff)));
    } else {
      out.push_back(static_cast<char16_t>(*value));
    }
  }
  return out;
}

// Not iswspace: the ideographic space U+3000 is part of a value.
bool IsProfileSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20;
}

TextView SkipSpaces(TextView s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  return s;
}

TextView Trim(TextView s) {
  s = SkipSpaces(s);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

bool SameName(TextView a, TextView b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

// Names and values are C strings in Wine's tree: a zero in the file ends them.
Text CString(TextView s) {
  return Text(s.substr(0, s.find(u'\0')));
}

Arg Widen(const char* ansi) {
  if (!ansi) return std::nullopt;
  return Cp936::ToUtf16(ansi);
}

Text DecodeFile(std::string_view bytes, Encoding& encoding) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && at(0) == 0xef && at(1) == 0xbb && at(2) == 0xbf) {
    encoding = Encoding::kUtf8;
    return DecodeUtf8(bytes.substr(3));
  }
  if (bytes.size() >= 2 && ((at(0) == 0xff && at(1) == 0xfe) || (at(0) == 0xfe && at(1) == 0xff))) {
    bool little = at(0) == 0xff;
    encoding = little ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    Text text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      unsigned lo = little ? at(i) : at(i + 1), hi = little ? at(i + 1) : at(i);
      text.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    return text;
  }
  encoding = Encoding::kAnsi;
  return Cp936::ToUtf16(bytes);
}

std::vector<Section> Parse(TextView text) {
  std::vector<Section> sections(1);  // lines before the first header
  bool has_previous = false, previous_named = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t start = pos;
    while (pos < text.size() && text[pos] != u'\n' && text[pos] != u'\r') ++pos;
    TextView line = Trim(text.substr(start, pos - start));
    while (pos < text.size() && (text[pos] == u'\n' || text[pos] == u'\r')) ++pos;
    if (line.empty()) continue;
    if (line.front() == u'[') {
      std::size_t close = line.rfind(u']');
      if (close != TextView::npos) {
        sections.push_back({CString(Trim(line.substr(1, close - 1))), {}});
        has_previous = false;
        continue;
      }
    }
    TextView name = line;
    std::optional<Text> value;
    if (std::size_t eq = line.find(u'='); eq != TextView::npos) {
      name = line.substr(0, eq);
      while (!name.empty() && IsProfileSpace(name.back())) name.remove_suffix(1);
      value = CString(SkipSpaces(line.substr(eq + 1)));
    }
    // A nameless line right after another nameless one is dropped.
    if (!name.empty() || !has_previous || previous_named) {
      sections.back().keys.push_back({CString(name), std::move(value)});
      has_previous = true;
      previous_named = !sections.back().keys.back().name.empty();
    }
  }
  return sections;
}

std::string Serialize(const std::vector<Section>& sections, Encoding encoding) {
  Text text;
  for (const Section& section : sections) {
    if (!section.name.empty()) text += u"[" + section.name + u"]\r\n";
    for (const Entry& key : section.keys) {
      text += key.name;
      if (key.value) text += u"=" + *key.value;
      text += u"\r\n";
    }
  }
  std::string bytes;
  switch (encoding) {
    case Encoding::kAnsi:
      return Cp936::FromUtf16(text);
    case Encoding::kUtf8:
      return "\xef\xbb\xbf" + Utf16ToUtf8(text);
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be: {
      bool little = encoding == Encoding::kUtf16Le;
      bytes = little ? "\xff\xfe" : "\xfe\xff";
      for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xff), hi = static_cast<char>(c >> 8);
        bytes.push_back(little ? lo : hi);
        bytes.push_back(little ? hi : lo);
      }
      break;
    }
  }
  return bytes;
}

// PROFILE_Find without creating: both names trimmed, only the first section of
// that name searched.
const Entry* FindKey(const std::vector<Section>& sections, TextView section, TextView key) {
  section = Trim(section);
  key = Trim(key);
  for (const Section& s : sections) {
    if (!SameName(s.name, section)) continue;
    for (const Entry& e : s.keys) {
      if (SameName(e.name, key)) return &e;
    }
    return nullptr;
  }
  return nullptr;
}

namespace {

// PROFILE_Find creating: new names keep their trailing blanks, only leading ones go.
Entry& FindOrAddKey(std::vector<Section>& sections, TextView section, TextView key,
                    bool always_add) {
  for (Section& s : sections) {
    if (!SameName(s.name, Trim(section))) continue;
    if (!always_add) {
      for (Entry& e : s.keys) {
        if (SameName(e.name, Trim(key))) return e;
      }
    }
    s.keys.push_back({Text(SkipSpaces(key)), std::nullopt});
    return s.keys.back();
  }
  sections.push_back({Text(SkipSpaces(section)), {{Text(SkipSpaces(key)), std::nullopt}}});
  return sections.back().keys.back();
}

// PROFILE_DeleteKey: untrimmed names, and every section of that name is searched.
bool DeleteKey(std::vector<Section>& sections, TextView section, TextView key) {
  for (Section& s : sections) {
    if (!SameName(s.name, section)) continue;
    auto it = std::find_if(s.keys.begin(), s.keys.end(),
                           [&](const Entry& e) { return SameName(e.name, key); });
    if (it != s.keys.end()) {
      s.keys.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace

// PROFILE_SetString; a null value deletes the key.
void SetString(Profile& profile, TextView section, TextView key, const Arg& value,
               bool always_add) {
  if (!value) {
    profile.changed = DeleteKey(profile.sections, section, key) || profile.changed;
    return;
  }
  Entry& entry = FindOrAddKey(profile.sections, section, key, always_add);
  TextView stripped = SkipSpaces(*value);
  if (entry.value && *entry.value == stripped) return;
  entry.value = Text(stripped);
  profile.changed = true;
}

// PROFILE_CopyEntry: one pair of outer quotes goes, and when the buffer is about the
// value's size the last character copied goes with it.
void CopyEntry(WideBuffer& buffer, TextView value, std::uint32_t len) {
  char16_t quote = 0;
  if (!value.empty() && (value.front() == u'\'' || value.front() == u'"') && value.size() > 1 &&
      value.back() == value.front()) {
    quote = value.front();
    value.remove_prefix(1);
  }
  buffer.CopyN(0, value, len);
  if (quote && len >= value.size()) buffer.Put(buffer.Length(0) - 1, 0);
}

std::int64_t Append(WideBuffer& buffer, std::int64_t ret, TextView name) {
  std::uint32_t size = buffer.size();
  buffer.CopyN(ret, name, static_cast<std::uint32_t>(size - ret - 1));
  return std::min<std::int64_t>(ret + static_cast<std::int64_t>(name.size()) + 1, size - 1);
}

}  // namespace korvanta::store::profile
