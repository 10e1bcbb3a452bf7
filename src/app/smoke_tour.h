#pragma once
// The GUI smoke tour: every window the program has, opened in turn and shot,
// the side menu clicked through and the cleaner's tabs shown. Both renderers run
// it with their own camera; the tests check that every picture was taken.

#include <string>
#include <vector>

#include "services/program.h"

namespace korvanta::app {

class SmokeCamera {
 public:
  virtual ~SmokeCamera() = default;
  // Lets the window system paint what changed.
  virtual void Settle() = 0;
  // Saves a picture of the form's window as name + ".png"; false when it could not.
  virtual bool Shoot(ui::Form& form, const std::string& name) = 0;
};

// Runs the tour on a started program (nothing loaded yet) and ends it; returns
// the names of the pictures that could not be taken.
std::vector<std::string> RunSmokeTour(services::Program& program, SmokeCamera& camera);

}  // namespace korvanta::app
