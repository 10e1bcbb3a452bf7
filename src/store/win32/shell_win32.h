#pragma once
// The shell of the live machine.

#include "store/shell.h"

namespace korvanta::store {

class Win32Shell final : public Shell {
 public:
  void RecycleFile(std::string_view path) override;
  void Execute(std::string_view verb, std::string_view file, std::string_view parameters,
               std::uintptr_t owner) override;
  bool StartsPrograms() const override { return true; }
  void RunMinimized(std::string_view program) override;
  void RequestRestart() override;
  void ShowDesktopIconView(bool visible) override;
};

}  // namespace korvanta::store
