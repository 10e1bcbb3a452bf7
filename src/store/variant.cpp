#include "store/variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace korvanta::store {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::optional<double> ParseRadix(std::string_view digits, int radix, bool negative) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      return std::nullopt;
    if (d >= radix) return std::nullopt;
    v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
    if (v > 0xffffffffull) return std::nullopt;
  }
  // &H literals are 32-bit two's complement: &HFFFFFFFF is -1.
  double value = v > 0x7fffffffull ? static_cast<double>(static_cast<std::int32_t>(v))
                                   : static_cast<double>(v);
  return negative ? -value : value;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  text = text.substr(b, e - b);
  if (text.empty()) return std::nullopt;

  bool negative = false;
  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  if (i + 1 < text.size() && text[i] == '&') {
    char r = text[i + 1];
    if (r == 'H' || r == 'h') return ParseRadix(text.substr(i + 2), 16, negative);
    if (r == 'O' || r == 'o') return ParseRadix(text.substr(i + 2), 8, negative);
    return std::nullopt;
  }

  // Decimal: digits with optional grouping commas, a fraction and an exponent,
  // gathered into the form from_chars reads. strtod would follow the C locale,
  // which Qt takes from the environment: under a decimal comma "1.5" read as 1.
  std::string clean;
  clean.reserve(text.size());
  if (negative) clean.push_back('-');
  bool digits = false, point = false, significant = false;
  // Where the first significant digit stands, for a result out of a double's range.
  long whole = 0, leading_zeros = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      clean.push_back(c);
      digits = true;
      if (c != '0') significant = true;
      if (!point && significant) ++whole;
      if (point && !significant) ++leading_zeros;
    } else if (c == ',' && digits && !point) {
      continue;
    } else if (c == '.' && !point) {
      clean.push_back(c);
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    clean.push_back('e');
    ++i;
    bool exp_negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      exp_negative = text[i] == '-';
      clean.push_back(text[i++]);
    }
    bool exp_digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      clean.push_back(text[i]);
      exp_digits = true;
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (!exp_digits) return std::nullopt;
    if (exp_negative) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;

  double value = 0;
  auto [end, ec] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large does not fit; too small reads as zero, as strtod gives it.
    long magnitude = (whole > 0 ? whole - 1 : -leading_zeros - 1) + exponent;
    if (magnitude >= 0) return std::nullopt;
    return negative ? -0.0 : 0.0;
  }
  if (ec != std::errc() || end != clean.data() + clean.size()) return std::nullopt;
  return value;
}

std::string Variant::ToText() const {
  if (const auto* s = std::get_if<std::string>(&value_)) return *s;
  if (const auto* n = std::get_if<std::int32_t>(&value_)) return std::to_string(*n);
  return {};
}

std::optional<double> Variant::ToNumber() const {
  if (is_empty()) return 0.0;
  if (const auto* n = std::get_if<std::int32_t>(&value_)) return static_cast<double>(*n);
  return ParseNumber(std::get<std::string>(value_));
}

std::optional<std::int32_t> Variant::ToInt32() const {
  std::optional<double> number = ToNumber();
  if (!number) return std::nullopt;
  double rounded = std::nearbyint(*number);  // the default rounding mode: half to even
  if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.is_empty() && b.is_empty()) return true;
  if (a.is_empty() || b.is_empty()) {
    const Variant& other = a.is_empty() ? b : a;
    return other.is_text() ? other.ToText().empty() : std::get<std::int32_t>(other.value_) == 0;
  }
  if (a.is_text() && b.is_text())
    return std::get<std::string>(a.value_) == std::get<std::string>(b.value_);
  // A number against a text compares as numbers; a text that is no number is unequal.
  std::optional<double> x = a.ToNumber(), y = b.ToNumber();
  return x && y && *x == *y;
}

}  // namespace korvanta::store
