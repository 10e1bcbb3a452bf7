#pragma once
// The shell of the live machine.

#include "store/shell.h"

namespace korvanta {

class Win32Shell final : public Shell {
 public:
  void RecycleFile(std::string_view path) override;
};

}  // namespace korvanta
