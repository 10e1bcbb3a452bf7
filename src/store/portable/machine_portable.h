#pragma once
// Opens a machine folder in Wine-prefix layout as the machine the program works on.

#include <filesystem>
#include <memory>

#include "store/machine_backend.h"

namespace korvanta {

std::unique_ptr<MachineBackend> OpenMachineFolder(const std::filesystem::path& root);

}  // namespace korvanta
