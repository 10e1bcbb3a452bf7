#pragma once
// Starting programs that outlive the request: detached, not waited for.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvanta::store {

// The program's path found through PATH, or nothing.
std::optional<std::filesystem::path> FindProgram(const std::string& name);

// Starts argv[0] (searched in PATH) with the environment plus extra ("NAME=value"
// each), detached from us; false when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv, const std::vector<std::string>& extra);

}  // namespace korvanta::store
