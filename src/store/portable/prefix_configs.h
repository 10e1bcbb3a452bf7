#pragma once
// The few facts discovery takes from the files of Wine front ends and game
// launchers: a bottle's name, a Lutris game's prefix, Steam's libraries and game
// names, Heroic's prefixes. Each reader takes the file's text and returns
// nothing for what it cannot make sense of; none of them is a full parser of
// its format, only of the lines these programs write.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::store {

// The content of a regular file of at most max_bytes, or nothing (missing,
// unreadable, a folder, or bigger: a file that size is no configuration).
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file,
                                         std::size_t max_bytes = 1024 * 1024);

// A top-level "key: value" of a YAML file, unquoted; nothing when absent or empty.
std::optional<std::string> YamlTopValue(std::string_view text, std::string_view key);
// The "prefix:" under a Lutris game file's "game:" section.
std::optional<std::string> LutrisPrefix(std::string_view text);

// The library folders a Steam libraryfolders.vdf lists, old format and new.
std::vector<std::string> SteamLibraryPaths(std::string_view vdf);
// The "name" of a Steam appmanifest_<appid>.acf.
std::optional<std::string> SteamAppName(std::string_view acf);

// Every "winePrefix" string of a Heroic GamesConfig/<game>.json.
std::vector<std::string> HeroicWinePrefixes(std::string_view json);

}  // namespace korvanta::store
