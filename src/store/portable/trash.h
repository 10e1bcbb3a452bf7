#pragma once
// The freedesktop.org trash, where Wine's own shell puts recycled files.

#include <filesystem>

#include "store/status.h"

namespace korvanta::store {

// Moves a file or folder into the trash of its file system: the home trash when
// the item lives on the same device, else the trash at the top of its mount. Writes
// the .trashinfo record first, as the freedesktop.org rules ask, and takes it back
// when the item does not follow. kSuccess only when the item is in the trash.
Status MoveToTrash(const std::filesystem::path& item);

// The same for an item below top, taken as the top folder of a mount other than
// the home trash's: top/.Trash/<uid> when top/.Trash is a sticky folder, else
// top/.Trash-<uid>, else a copy in the home trash. Tests use it, as they cannot
// mount a file system.
Status MoveToMountTrash(const std::filesystem::path& item, const std::filesystem::path& top);

// Empties the home trash: every item and its .trashinfo record go.
void EmptyHomeTrash();

}  // namespace korvanta::store
