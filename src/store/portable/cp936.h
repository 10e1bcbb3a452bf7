#pragma once
// Code page 936 (GBK) exactly as Wine converts it: the same tables, the same
// handling of bytes that are not valid GBK and the same best-fit choices.

#include <cstddef>
#include <string>
#include <string_view>

#include "store/codepage.h"

namespace korvanta::store {

class Cp936 final : public Codepage {
 public:
  std::uint32_t id() const override { return 936; }
  std::string ToAnsi(std::string_view utf8) const override;
  std::string FromAnsi(std::string_view ansi) const override;
  std::string Unstorable(std::string_view utf8) const override;

  // MultiByteToWideChar(936, 0, ...).
  static std::u16string ToUtf16(std::string_view ansi);
  // WideCharToMultiByte(936, 0, ...) with no limit.
  static std::string FromUtf16(std::u16string_view text);
  // WideCharToMultiByte into a buffer of capacity bytes: writes the whole
  // characters that fit and returns how many bytes it wrote, or nothing (0 written
  // counts) when the text does not fit, as the system call fails then.
  static std::size_t FromUtf16Into(std::u16string_view text, char* out, std::size_t capacity,
                                   bool& fitted);
  // Bytes the text takes in code page 936.
  static std::size_t AnsiLength(std::u16string_view text);
};

}  // namespace korvanta::store
