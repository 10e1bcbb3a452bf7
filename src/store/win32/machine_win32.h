#pragma once
// Opens the live Windows machine.

#include <memory>
#include <optional>
#include <string>

#include "store/machine_backend.h"

namespace korvanta::store {

// The machine the program runs on. program_folder replaces the folder of the
// program file (tests keep their files in a temporary folder).
std::unique_ptr<MachineBackend> OpenLiveMachine(std::optional<std::string> program_folder = {});

}  // namespace korvanta::store
