#pragma once
// The freedesktop.org trash, where Wine's own shell puts recycled files.

#include <filesystem>

#include "store/status.h"

namespace korvanta {

// Moves a file or folder into the trash of its file system: the home trash when
// the item lives on the same device, else the .Trash-<uid> folder at the top of its
// mount. Writes the .trashinfo record first, as the freedesktop.org rules ask.
Status MoveToTrash(const std::filesystem::path& item);

}  // namespace korvanta
