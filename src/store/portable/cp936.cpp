#include "store/portable/cp936.h"

#include <array>
#include <cstdint>
#include <memory>

#include "store/utf.h"

namespace korvanta::store {
namespace {

#include "store/portable/cp936_table.inc"

constexpr unsigned kLeadFirst = 0x81, kLeadLast = 0xfe;
constexpr unsigned kTrailFirst = 0x40, kTrailLast = 0xfe;
constexpr unsigned kTrails = kTrailLast - kTrailFirst + 1;
constexpr char16_t kUnicodeDefault = u'?';
constexpr std::uint16_t kAnsiDefault = '?';

struct Tables {
  std::array<char16_t, (kLeadLast - kLeadFirst + 1) * kTrails> to_unicode{};
  std::array<std::uint16_t, 0x10000> to_ansi{};
};

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::unique_ptr<Tables> BuildTables() {
  auto t = std::make_unique<Tables>();
  // Decode the double-byte table.
  std::size_t unit = 0;
  std::uint32_t bits = 0;
  int nbits = 0;
  std::uint8_t pending = 0;
  bool have_low = false;
  for (const char* p = kDoubleByteBase64; *p; ++p) {
    int v = Base64Value(*p);
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    nbits += 6;
    if (nbits >= 8) {
      nbits -= 8;
      auto byte = static_cast<std::uint8_t>((bits >> nbits) & 0xff);
      if (!have_low) {
        pending = byte;
        have_low = true;
      } else {
        t->to_unicode[unit++] = static_cast<char16_t>(pending | (byte << 8));
        have_low = false;
      }
    }
  }
  // The wide table: inverse of the byte tables, first encoding wins, then Wine's
  // best-fit entries.
  std::array<bool, 0x10000> set{};
  t->to_ansi.fill(kAnsiDefault);
  for (unsigned b = 0; b < 0x100; ++b) {
    if (b >= kLeadFirst && b <= kLeadLast) continue;
    char16_t u = kSingleByte[b];
    if (!set[u]) {
      t->to_ansi[u] = static_cast<std::uint16_t>(b);
      set[u] = true;
    }
  }
  for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
    for (unsigned trail = kTrailFirst; trail <= kTrailLast; ++trail) {
      char16_t u = t->to_unicode[(lead - kLeadFirst) * kTrails + (trail - kTrailFirst)];
      if (u == kUnicodeDefault || set[u]) continue;
      t->to_ansi[u] = static_cast<std::uint16_t>((lead << 8) | trail);
      set[u] = true;
    }
  }
  for (const auto& e : kWideExceptions) t->to_ansi[e.unit] = e.bytes;
  return t;
}

const Tables& tables() {
  static const std::unique_ptr<Tables> t = BuildTables();
  return *t;
}

bool IsLead(unsigned char c) {
  return c >= kLeadFirst && c <= kLeadLast;
}

}  // namespace

std::u16string Cp936::ToUtf16(std::string_view ansi) {
  const Tables& t = tables();
  std::u16string out;
  out.reserve(ansi.size());
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    auto c = static_cast<unsigned char>(ansi[i]);
    // As Wine does: a lead byte takes the next byte whatever it is, unless it is
    // the last byte or a zero; invalid pairs and a lead byte alone become the
    // default character.
    if (IsLead(c)) {
      if (i + 1 < ansi.size() && ansi[i + 1] != 0) {
        auto trail = static_cast<unsigned char>(ansi[++i]);
        if (trail >= kTrailFirst && trail <= kTrailLast) {
          out.push_back(t.to_unicode[(c - kLeadFirst) * kTrails + (trail - kTrailFirst)]);
          continue;
        }
      }
      out.push_back(kUnicodeDefault);
    } else {
      out.push_back(kSingleByte[c]);
    }
  }
  return out;
}

std::string Cp936::FromUtf16(std::u16string_view text) {
  const Tables& t = tables();
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t u : text) {
    std::uint16_t mb = t.to_ansi[u];
    if (mb & 0xff00) out.push_back(static_cast<char>(mb >> 8));
    out.push_back(static_cast<char>(mb & 0xff));
  }
  return out;
}

std::size_t Cp936::FromUtf16Into(std::u16string_view text, char* out, std::size_t capacity,
                                 bool& fitted) {
  const Tables& t = tables();
  std::size_t n = 0;
  std::size_t i = 0;
  for (; i < text.size() && n < capacity; ++i) {
    std::uint16_t mb = t.to_ansi[text[i]];
    if (mb & 0xff00) {
      if (capacity - n == 1) break;  // never half a character
      out[n++] = static_cast<char>(mb >> 8);
    }
    out[n++] = static_cast<char>(mb & 0xff);
  }
  fitted = i == text.size();
  return n;
}

std::size_t Cp936::AnsiLength(std::u16string_view text) {
  const Tables& t = tables();
  std::size_t n = 0;
  for (char16_t u : text) n += (t.to_ansi[u] & 0xff00) ? 2 : 1;
  return n;
}

std::string Cp936::ToAnsi(std::string_view utf8) const {
  return FromUtf16(Utf8ToUtf16(utf8));
}

std::string Cp936::FromAnsi(std::string_view ansi) const {
  return Utf16ToUtf8(ToUtf16(ansi));
}

// A character is held when its bytes read back as itself: the default '?' and
// Wine's best-fit look-alikes do not, nor does anything beyond the BMP.
std::string Cp936::Unstorable(std::string_view utf8) const {
  const Tables& t = tables();
  const std::u16string text = Utf8ToUtf16(utf8);
  std::u16string bad;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::u16string_view one(&text[i], 1);
    const bool pair = text[i] >= 0xd800 && text[i] < 0xdc00 && i + 1 < text.size() &&
                      text[i + 1] >= 0xdc00 && text[i + 1] < 0xe000;
    if (pair) {
      one = std::u16string_view(&text[i], 2);
      ++i;
    } else {
      const std::uint16_t mb = t.to_ansi[text[i]];
      char bytes[2] = {static_cast<char>(mb >> 8), static_cast<char>(mb & 0xff)};
      const std::u16string back =
          ToUtf16((mb & 0xff00) ? std::string_view(bytes, 2) : std::string_view(bytes + 1, 1));
      if (back == one) continue;
    }
    if (bad.find(one) == std::u16string::npos) bad += one;
  }
  return Utf16ToUtf8(bad);
}

}  // namespace korvanta::store
