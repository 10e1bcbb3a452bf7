#pragma once
// The log viewer: the whole operation log, and a button that empties it.

#include "services/small_window.h"

namespace korvanta::app {

class Formlog final : public SmallWindow {
 public:
  static constexpr std::string_view kName = "Formlog";
  explicit Formlog(Program& program);
  ui::TextBox& Text1;
  ui::CommandButton& Commandqk;
  ui::CommandButton& Commandtcrz;
};

}  // namespace korvanta::app
