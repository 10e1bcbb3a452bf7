#pragma once
// Runs a korvanta-drive scenario: one command per line, against the program with
// no renderer, writing what happens to the output.

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "drive/drive_host.h"
#include "services/program.h"

namespace korvanta::drive {

class ScenarioRunner {
 public:
  ScenarioRunner(services::Program& program, DriveHost& host, std::ostream& out)
      : program_(program), host_(host), out_(out) {}

  // Runs every line; 0 when the scenario ran to its end, 2 after an error (the
  // "error: ..." line is written).
  int Run(std::istream& in);
  // Runs one line; false with error set for an unknown command or name.
  bool RunLine(std::string_view line, std::string& error);

 private:
  services::Program& program_;
  DriveHost& host_;
  std::ostream& out_;
};

}  // namespace korvanta::drive
