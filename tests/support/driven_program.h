#pragma once
// The program on a test's machine, driven by korvanta-drive's scenario lines.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "app/forms.h"
#include "drive/drive_host.h"
#include "drive/scenario.h"
#include "services/program.h"
#include "support/test_machine.h"

namespace korvanta::test {

class DrivenProgram {
 public:
  explicit DrivenProgram(store::Machine& machine)
      : program_(machine, host_, clock_, app::FormFactories()), runner_(program_, host_, out_) {
    host_.set_program(&program_);
  }
  // Runs the lines and returns what they printed; a failing line fails the test.
  std::string Drive(const std::string& scenario) {
    out_.str("");
    std::istringstream in(scenario);
    EXPECT_EQ(runner_.Run(in), 0) << out_.str();
    return out_.str();
  }
  services::Program& program() { return program_; }

 private:
  FixedClock clock_;
  std::ostringstream out_;
  drive::DriveHost host_{out_};
  services::Program program_;
  drive::ScenarioRunner runner_;
};

}  // namespace korvanta::test
