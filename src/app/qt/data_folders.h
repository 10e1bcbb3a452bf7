#pragma once
// Where the program's shipped data is (the demo machine's template, set.ini, the
// pictures): beside an installed program, else this build's source tree, else
// the folder it was configured to be installed to.

#include <filesystem>
#include <vector>

namespace korvanta::app::qt {

// Existing folders first, in that order; none that does not exist.
std::vector<std::filesystem::path> DataFolders(const std::filesystem::path& executable_folder);

}  // namespace korvanta::app::qt
