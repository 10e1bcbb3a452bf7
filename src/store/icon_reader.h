#pragma once
// Icons as the shell finds them in files: the icon resources of programs and
// libraries (PE files, 32 and 64 bits) and .ico files. Plain byte work, so both
// builds can use and test it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::store {

// How many icons the file holds: its group icons for a program or library, 1 for
// an .ico file, 0 for anything else.
int CountIcons(std::string_view file);

// One icon of the file, with every image it has, as the bytes of an .ico file.
// index counts the icons from 0 in the order of the file's resources; a negative
// index names an icon resource by its number (-index), except -1, which the shell
// reserves for asking the count. An .ico file has icon 0.
// Nothing when there is no such icon or the file is damaged.
std::optional<std::string> IconAt(std::string_view file, int index);

// The resource numbers of the file's icons, in the order index counts them (0 for
// an icon with a name instead of a number, and for an .ico file).
std::vector<int> IconNumbers(std::string_view file);

}  // namespace korvanta::store
