#include "app/qt/data_folders.h"

#include <system_error>

namespace korvanta::app::qt {
namespace fs = std::filesystem;

std::vector<fs::path> DataFolders(const fs::path& executable_folder) {
  std::vector<fs::path> candidates = {executable_folder / ".." / "share" / "korvanta",
                                      fs::path(KORVANTA_DATA_DIR),
                                      fs::path(KORVANTA_INSTALLED_DATA_DIR)};
  std::vector<fs::path> folders;
  for (const fs::path& c : candidates) {
    std::error_code ec;
    fs::path normal = fs::weakly_canonical(c, ec);
    if (ec || !fs::is_directory(normal, ec)) continue;
    bool seen = false;
    for (const fs::path& f : folders) seen = seen || f == normal;
    if (!seen) folders.push_back(normal);
  }
  return folders;
}

}  // namespace korvanta::app::qt
