#pragma once
// The frame's own small windows: the splash, the about box and the restart prompt.

#include "services/small_window.h"

namespace korvanta::app {

// The splash: the splash picture in a 369 x 220 pixel client area; its timer opens
// the main window after 3000 ms.
class Formqd final : public ui::Form {
 public:
  static constexpr std::string_view kName = "Formqd";
  explicit Formqd(services::Program& program);
  ui::PictureBox& Image1;
  ui::Timer& Timer1;
};

// The about box: the about picture; a click anywhere closes it.
class Formgy final : public ui::Form {
 public:
  static constexpr std::string_view kName = "Formgy";
  explicit Formgy(services::Program& program);
  ui::PictureBox& Image1;
};

// The restart prompt shown on exit after settings changed.
class Formmsg final : public services::MessageWindow {
 public:
  static constexpr std::string_view kName = "Formmsg";
  explicit Formmsg(services::Program& program);
};

}  // namespace korvanta::app
