#pragma once
// The value holder registry reads and profile writes pass around: empty, a text or
// a signed 32-bit integer, compared loosely (an empty variant equals "" and 0, and
// a text that spells a number equals that number).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace korvanta::store {

class Variant {
 public:
  Variant() = default;
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(std::string_view text) : value_(std::string(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(std::int32_t number) : value_(number) {}

  bool is_empty() const { return std::holds_alternative<std::monostate>(value_); }
  bool is_text() const { return std::holds_alternative<std::string>(value_); }
  bool is_number() const { return std::holds_alternative<std::int32_t>(value_); }

  // The text as a text ("" when empty, decimal digits for a number).
  std::string ToText() const;
  // The value as a 32-bit integer the way a numeric conversion of the old runtime
  // does it: empty is 0; a text is trimmed and read as a decimal number (sign,
  // digit grouping, fraction, exponent) or as &H / &O; fractions round half to
  // even. Nothing when the text is not a number or the result does not fit.
  std::optional<std::int32_t> ToInt32() const;
  // The value as a number for comparisons; nothing when it is a non-numeric text.
  std::optional<double> ToNumber() const;

  friend bool operator==(const Variant& a, const Variant& b);
  friend bool operator==(const Variant& a, std::string_view text) { return a == Variant(text); }
  friend bool operator==(const Variant& a, const char* text) { return a == Variant(text); }
  friend bool operator==(const Variant& a, std::int32_t number) { return a == Variant(number); }

 private:
  std::variant<std::monostate, std::string, std::int32_t> value_;
};

// Reads a text as a number with the rules of Variant::ToNumber.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace korvanta::store
