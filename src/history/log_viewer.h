#pragma once
// The log viewer: the whole operation log, a button that empties it and one
// that opens the change history.

#include "services/small_window.h"

namespace korvanta::history {

class Formlog final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formlog";
  explicit Formlog(services::Program& program);
  ui::TextBox& Text1;
  ui::CommandButton& Commandqk;
  ui::CommandButton& Commandtcrz;
  ui::CommandButton& Commandcxgg;
};

}  // namespace korvanta::history
