#pragma once
// The system's ANSI code page, converted by the system itself.

#include "store/codepage.h"

namespace korvanta::store {

class Win32Codepage final : public Codepage {
 public:
  std::uint32_t id() const override;
  std::string ToAnsi(std::string_view utf8) const override;
  std::string FromAnsi(std::string_view ansi) const override;
  std::string Unstorable(std::string_view utf8) const override;
};

}  // namespace korvanta::store
