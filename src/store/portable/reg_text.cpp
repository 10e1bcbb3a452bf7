#include "store/portable/reg_text.h"

#include <algorithm>
#include <cstring>

#include "store/utf.h"

namespace korvanta::store {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

void AppendHex(std::string& out, std::uint64_t v, int min_digits) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = kHexDigits[v & 0xf];
    v >>= 4;
  } while (v != 0);
  while (n < min_digits) buf[n++] = '0';
  while (n > 0) out.push_back(buf[--n]);
}

void AppendOctal(std::string& out, unsigned v, int min_digits) {
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + (v & 7));
    v >>= 3;
  } while (v != 0);
  while (n < min_digits) buf[n++] = '0';
  while (n > 0) out.push_back(buf[--n]);
}

// strtoul(s, &end, 16) of a 64-bit C library, which wineserver uses for dword
// data, hex bytes and hex(type). end is 0 when nothing was converted.
std::uint64_t ParseHexNumber(std::string_view s, std::size_t& end) {
  std::size_t i = 0;
  while (i < s.size() && IsRegSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] | 0x20) == 'x') {
    if (i + 2 < s.size() && IsHexDigit(s[i + 2])) {
      i += 2;
    } else {
      end = i + 1;  // "0x" without digits converts the 0
      return 0;
    }
  }
  const std::size_t first = i;
  std::uint64_t v = 0;
  bool overflow = false;
  for (; i < s.size() && IsHexDigit(s[i]); ++i) {
    if (v >> 60) overflow = true;
    v = (v << 4) | HexValue(s[i]);
  }
  if (i == first) {
    end = 0;
    return 0;
  }
  end = i;
  if (overflow) return ~std::uint64_t{0};
  return negative ? ~v + 1 : v;
}

}  // namespace

int CompareRegNames(std::u16string_view a, std::u16string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    int d = static_cast<int>(FoldCase(a[i])) - static_cast<int>(FoldCase(b[i]));
    if (d != 0) return d;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string Utf16ToBytes(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xff);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

std::u16string BytesToUtf16(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

std::size_t AppendRegEscaped(std::string& out, std::u16string_view text, RegQuotes quotes) {
  // C escapes for the codes that have one; the rest of the control codes go octal.
  static constexpr char kEscapes[33] = ".......abtnvfr.............e....";
  const char quote1 = quotes == RegQuotes::kKeyName ? '[' : '"';
  const char quote2 = quotes == RegQuotes::kKeyName ? ']' : '"';
  const std::size_t start = out.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool has_next = i + 1 < text.size();
    const char16_t next = has_next ? text[i + 1] : 0;
    if (c > 127) {
      // A following hex digit would be read as part of the escape: pad to 4.
      const bool pad = has_next && next < 128 && IsHexDigit(static_cast<char>(next));
      out += "\\x";
      AppendHex(out, c, pad ? 4 : 1);
    } else if (c < 32) {
      out.push_back('\\');
      if (kEscapes[c] != '.') {
        out.push_back(kEscapes[c]);
      } else {
        AppendOctal(out, c, (has_next && next >= u'0' && next <= u'7') ? 3 : 1);
      }
    } else {
      const char ch = static_cast<char>(c);
      if (ch == '\\' || ch == quote1 || ch == quote2) out.push_back('\\');
      out.push_back(ch);
    }
  }
  return out.size() - start;
}

std::optional<std::size_t> ParseRegEscaped(std::string_view src, char end, std::u16string& out) {
  static constexpr unsigned char kUtf8Mask[4] = {0x7f, 0x1f, 0x0f, 0x07};
  static constexpr std::uint32_t kUtf8Min[4] = {0, 0x80, 0x800, 0x10000};
  const std::size_t n = src.size();
  out.resize(n);  // never more code units than bytes
  char16_t* d = out.data();
  std::size_t k = 0;
  std::size_t p = 0;
  auto at = [&](std::size_t i) -> unsigned char {
    return i < n ? static_cast<unsigned char>(src[i]) : 0;
  };
  while (p < n && src[p] != end) {
    const auto plain = static_cast<unsigned char>(src[p]);
    if (plain < 0x80 && plain != '\\') {
      d[k++] = plain;
      ++p;
      continue;
    }
    if (plain == '\\') {
      ++p;
      if (p >= n) break;
      const char e = src[p];
      char16_t simple = 0;
      switch (e) {
        case 'a':
          simple = u'\a';
          break;
        case 'b':
          simple = u'\b';
          break;
        case 'e':
          simple = 0x1b;
          break;
        case 'f':
          simple = u'\f';
          break;
        case 'n':
          simple = u'\n';
          break;
        case 'r':
          simple = u'\r';
          break;
        case 't':
          simple = u'\t';
          break;
        case 'v':
          simple = u'\v';
          break;
        default:
          break;
      }
      if (simple != 0) {
        d[k++] = simple;
        ++p;
        continue;
      }
      if (e == 'x') {
        ++p;
        if (!IsHexDigit(static_cast<char>(at(p)))) {
          d[k++] = u'x';
          continue;
        }
        unsigned v = 0;
        for (int i = 0; i < 4 && IsHexDigit(static_cast<char>(at(p))); ++i) {
          v = v * 16 + HexValue(src[p++]);
        }
        d[k++] = static_cast<char16_t>(v);
        continue;
      }
      if (e >= '0' && e <= '7') {
        unsigned v = static_cast<unsigned>(e - '0');
        ++p;
        for (int i = 0; i < 2 && at(p) >= '0' && at(p) <= '7'; ++i) v = v * 8 + (src[p++] - '0');
        d[k++] = static_cast<char16_t>(v);
        continue;
      }
      // Any other escaped character stands for itself.
    }
    const auto ch = static_cast<unsigned char>(src[p++]);
    if (ch < 0x80) {
      d[k++] = ch;
      continue;
    }
    // UTF-8 as wineserver decodes it: invalid bytes are dropped.
    const int len = ch < 0xc2 ? 0 : ch < 0xe0 ? 1 : ch < 0xf0 ? 2 : ch < 0xf5 ? 3 : 0;
    if (len == 0) continue;
    std::uint32_t res = ch & kUtf8Mask[len];
    bool ok = true;
    for (int i = 0; ok && i < len; ++i) {
      const auto c = static_cast<unsigned char>(at(p) ^ 0x80);
      if (c >= 0x40) {
        ok = false;
        break;
      }
      res = (res << 6) | c;
      ++p;
    }
    if (!ok || res < kUtf8Min[len] || res > 0x10ffff) continue;
    if (res <= 0xffff) {
      d[k++] = static_cast<char16_t>(res);
    } else {
      res -= 0x10000;
      d[k++] = static_cast<char16_t>(0xd800 | (res >> 10));
      d[k++] = static_cast<char16_t>(0xdc00 | (res & 0x3ff));
    }
  }
  out.resize(k);
  if (p >= n) return std::nullopt;
  return p + 1;
}

void AppendRegValue(std::string& out, const RegValue& value) {
  std::size_t count;
  if (!value.name.empty()) {
    out.push_back('"');
    count = 1 + AppendRegEscaped(out, value.name, RegQuotes::kString);
    out += "\"=";
    count += 2;
  } else {
    out += "@=";
    count = 2;
  }
  const std::string& d = value.data;
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz:
      // Only properly terminated strings are written as strings.
      if (d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0 && d[d.size() - 2] == 0) {
        if (value.type != kRegSz) {
          out += "str(";
          AppendHex(out, value.type, 1);
          out += "):";
        }
        out.push_back('"');
        AppendRegEscaped(out, BytesToUtf16(std::string_view(d).substr(0, d.size() - 2)),
                         RegQuotes::kString);
        out += "\"\n";
        return;
      }
      break;
    case kRegDword:
      if (d.size() == 4) {
        std::uint32_t dw = 0;
        for (int i = 3; i >= 0; --i) dw = (dw << 8) | static_cast<unsigned char>(d[i]);
        out += "dword:";
        AppendHex(out, dw, 8);
        out.push_back('\n');
        return;
      }
      break;
    default:
      break;
  }
  const std::size_t prefix_start = out.size();
  if (value.type == kRegBinary) {
    out += "hex:";
  } else {
    out += "hex(";
    AppendHex(out, value.type, 1);
    out += "):";
  }
  count += out.size() - prefix_start;
  for (std::size_t i = 0; i < d.size(); ++i) {
    const auto b = static_cast<unsigned char>(d[i]);
    out.push_back(kHexDigits[b >> 4]);
    out.push_back(kHexDigits[b & 0xf]);
    count += 2;
    if (i + 1 < d.size()) {
      out.push_back(',');
      if (++count > 76) {
        out += "\\\n  ";
        count = 2;
      }
    }
  }
  out.push_back('\n');
}

void AppendRegKeyHead(std::string& out, const std::vector<const std::u16string*>& path,
                      std::uint64_t modified, const std::u16string* key_class, bool link) {
  out += "\n[";
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (i) out += "\\\\";
    AppendRegEscaped(out, *path[i], RegQuotes::kKeyName);
  }
  out += "] ";
  // wineserver divides a signed count, so times before 1970 wrap as it does.
  const auto seconds =
      static_cast<std::uint32_t>(static_cast<std::int64_t>(modified - kFiletimeUnixEpoch) /
                                 static_cast<std::int64_t>(kFiletimeTicksPerSecond));
  out += std::to_string(seconds);
  out += "\n#time=";
  AppendHex(out, modified >> 32, 1);
  AppendHex(out, modified & 0xffffffffu, 8);
  out.push_back('\n');
  if (key_class) {
    out += "#class=\"";
    AppendRegEscaped(out, *key_class, RegQuotes::kString);
    out += "\"\n";
  }
  if (link) out += "#link\n";
}

// wineserver's buffer holds size - 1 characters; it grows by half until what it
// must hold fits.
void RegLineReader::GrowWhileBelow(std::size_t needed) {
  while (buffer_size_ - 1 < needed) buffer_size_ += buffer_size_ / 2;
}

bool RegLineReader::Next(std::string_view& line) {
  if (pos_ >= text_.size()) {
    ran_out_ = true;
    return false;
  }
  const std::size_t start = pos_;
  const void* nl = std::memchr(text_.data() + start, '\n', text_.size() - start);
  const std::size_t end =
      nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - text_.data()) : text_.size();
  const std::size_t length = (nl ? end + 1 : end) - start;  // the characters fgets may take
  const void* nul = std::memchr(text_.data() + start, '\0', end - start);
  if (!nul) {
    // A last line without LF fills the buffer once more before fgets sees the end.
    GrowWhileBelow(nl ? length : length + 1);
    pos_ = start + length;
    line = text_.substr(start, end - start);
    if (nl && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  // strlen stops at the NUL, so the buffer stops growing once the NUL is in it,
  // and whatever of the line did not fit is left for the next read.
  const auto text_end = static_cast<std::size_t>(static_cast<const char*>(nul) - text_.data());
  GrowWhileBelow(text_end - start + 1);
  pos_ = start + std::min<std::size_t>(length, buffer_size_ - 1);
  line = text_.substr(start, text_end - start);
  return true;
}

std::string_view SkipRegSpace(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsRegSpace(s[i])) ++i;
  return s.substr(i);
}

namespace {

// The comma-separated hex bytes of one line; returns the characters used, or
// nothing when a byte is out of range.
std::optional<std::size_t> ParseHexBytes(std::string_view s, std::string& out) {
  std::size_t p = 0;
  while (p < s.size() && IsHexDigit(s[p])) {
    std::size_t end = 0;
    std::uint64_t v = ParseHexNumber(s.substr(p), end);
    if (end == 0 || v > 0xff) return std::nullopt;
    out.push_back(static_cast<char>(v));
    p += end;
    while (p < s.size() && IsRegSpace(s[p])) ++p;
    if (p < s.size() && s[p] == ',') ++p;
    while (p < s.size() && IsRegSpace(s[p])) ++p;
  }
  return p;
}

struct DataTag {
  std::string_view tag;
  std::uint32_t type;
  std::uint32_t parse_type;
};

}  // namespace

RegValueParse ParseRegValue(std::string_view line, RegLineReader& more, RegValue& value) {
  value.name.clear();
  std::size_t pos;
  if (!line.empty() && line[0] == '@') {
    pos = 1;
  } else {
    auto used = ParseRegEscaped(line.substr(1), '"', value.name);
    if (!used) return RegValueParse::kBadName;
    pos = 1 + *used;
  }
  while (pos < line.size() && IsRegSpace(line[pos])) ++pos;
  if (pos >= line.size() || line[pos] != '=') return RegValueParse::kBadName;
  // wineserver refuses to store the value before it reads the data.
  if (value.name.size() > kMaxRegValueName) return RegValueParse::kBadName;
  ++pos;
  while (pos < line.size() && IsRegSpace(line[pos])) ++pos;

  value.type = kRegNone;
  value.data.clear();
  auto bad_data = [&] {
    value.type = kRegNone;
    value.data.clear();
    return RegValueParse::kBadData;
  };
  static constexpr DataTag kTags[] = {
      {"\"", kRegSz, kRegSz},
      {"str:\"", kRegSz, kRegSz},
      {"str(2):\"", kRegExpandSz, kRegSz},
      {"str(7):\"", kRegMultiSz, kRegSz},
      {"hex:", kRegBinary, kRegBinary},
      {"dword:", kRegDword, kRegDword},
      {"hex(", 0, kRegBinary},
  };
  std::string_view rest = line.substr(pos);
  const DataTag* tag = nullptr;
  for (const DataTag& t : kTags) {
    if (rest.substr(0, t.tag.size()) == t.tag) {
      tag = &t;
      break;
    }
  }
  if (!tag) return bad_data();
  std::uint32_t type = tag->type;
  rest.remove_prefix(tag->tag.size());
  if (tag->tag == "hex(") {
    std::size_t end = 0;
    type = static_cast<std::uint32_t>(ParseHexNumber(rest, end));
    if (rest.substr(end, 2) != "):") return bad_data();
    rest.remove_prefix(end + 2);
  }

  std::string data;
  if (tag->parse_type == kRegSz) {
    std::u16string text;
    if (!ParseRegEscaped(rest, '"', text)) return bad_data();
    text.push_back(u'\0');
    data = Utf16ToBytes(text);
  } else if (tag->parse_type == kRegDword) {
    std::size_t end = 0;
    auto dw = static_cast<std::uint32_t>(ParseHexNumber(rest, end));
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>((dw >> (8 * i)) & 0xff));
  } else {
    for (;;) {
      auto used = ParseHexBytes(rest, data);
      if (!used) return bad_data();
      rest = SkipRegSpace(rest.substr(*used));
      if (rest.empty()) break;
      if (rest[0] != '\\') return bad_data();
      std::string_view next;
      if (!more.Next(next)) return bad_data();
      rest = SkipRegSpace(next);
    }
  }
  value.type = type;
  value.data = std::move(data);
  return RegValueParse::kOk;
}

bool ParseRegKeyLine(std::string_view after_bracket, RegKeyLine& out) {
  auto used = ParseRegEscaped(after_bracket, ']', out.path);
  if (!used) return false;
  out.seconds.reset();
  // sscanf(" %u"): white space, an optional sign, decimal digits.
  std::string_view rest = SkipRegSpace(after_bracket.substr(*used));
  bool negative = false;
  if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }
  std::uint64_t v = 0;
  std::size_t digits = 0;
  for (; digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9'; ++digits) {
    v = v * 10 + static_cast<std::uint64_t>(rest[digits] - '0');
  }
  if (digits) out.seconds = static_cast<std::uint32_t>(negative ? ~v + 1 : v);
  return true;
}

bool SplitRegPath(std::u16string_view path, std::vector<std::u16string_view>& names) {
  names.clear();
  if (!path.empty() && path[0] == u'\\') return false;
  std::size_t i = 0;
  while (i < path.size()) {
    const std::size_t start = i;
    while (i < path.size() && path[i] != u'\\') ++i;
    names.push_back(path.substr(start, i - start));
    while (i < path.size() && path[i] == u'\\') ++i;
  }
  return true;
}

std::uint64_t ParseRegTime(std::string_view digits) {
  std::uint64_t v = 0;
  for (char c : digits) {
    if (!IsHexDigit(c)) break;
    v = (v << 4) | HexValue(c);
  }
  return v;
}

}  // namespace korvanta::store
