#pragma once
// Conversion between the core's UTF-8 and the machine's ANSI code page, done
// exactly as the system's own conversion (unmappable characters become what the
// system makes of them, usually '?').

#include <cstdint>
#include <string>
#include <string_view>

namespace korvanta::store {

class Codepage {
 public:
  virtual ~Codepage() = default;
  virtual std::uint32_t id() const = 0;
  virtual std::string ToAnsi(std::string_view utf8) const = 0;
  virtual std::string FromAnsi(std::string_view ansi) const = 0;
  // The characters of utf8 that the code page cannot hold (ToAnsi would put a
  // '?' or a look-alike in their place), each once, in the order they first
  // come; empty when the whole text converts exactly.
  virtual std::string Unstorable(std::string_view utf8) const = 0;
};

}  // namespace korvanta::store
