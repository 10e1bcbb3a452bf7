#pragma once
// The places programs start from with Windows, and what the startup page needs
// to read and edit them: the Run keys' values, the user's Startup folder, and
// the blank-separated program lists of win.ini's "load" and "run" entries.

#include <string>
#include <string_view>
#include <vector>

#include "store/machine.h"

namespace korvanta::startup {

inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunServicesKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";

// The Location Labels, as the list and the location chooser show them.
inline constexpr std::string_view kLabelRun = "REG --> Run";
inline constexpr std::string_view kLabelRunServices = "REG --> RunServices";
inline constexpr std::string_view kLabelStartupFolder = "开始菜单启动项";
inline constexpr std::string_view kLabelLoad = "Win.ini --> Load";
inline constexpr std::string_view kLabelWinRun = "Win.ini --> Run";

struct NamedText {
  std::string name;
  std::string text;
};

// Every value of a key of HKEY_LOCAL_MACHINE, whatever the length of its name
// or data, as name and text; none when the key cannot be opened.
std::vector<NamedText> ListValues(Registry& reg, std::string_view key);

// The user's Startup folder, from the shell folders; "" when unknown.
std::string StartupFolder(Registry& reg);

// The files of a folder a user sees (hidden ones too, system files and
// subfolders not), sorted by name so that every file system lists them alike.
std::vector<std::string> ListFiles(FileSystem& files, std::string_view folder);

// The Boot Options File: msdos.sys at the root of the drive that holds the
// Windows folder ("C:\WINDOWS\" gives "C:\msdos.sys").
std::string BootOptionsFile(std::string_view windows_folder);

// A win.ini "load" or "run" entry is a list of programs separated by blanks, as
// Windows reads it; programs compare without regard to case. These take a list
// of programs too (a row's text, a typed path).
// The entry with the programs it lacks added at its end, one blank apart.
std::string WithPrograms(std::string_view entry, std::string_view programs);
// The entry without any of the programs.
std::string WithoutPrograms(std::string_view entry, std::string_view programs);
// Whether any of the programs is on the entry.
bool HasAnyProgram(std::string_view entry, std::string_view programs);

}  // namespace korvanta::startup
