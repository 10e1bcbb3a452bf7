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
  // REG_EXPAND_SZ for a value stored so (its %NAME% references expand when it
  // runs), REG_SZ for every other.
  std::uint32_t type = store::kRegSz;
};

// Every value of a key of HKEY_LOCAL_MACHINE, whatever the length of its name
// or data, as name, text and text type; none when the key cannot be opened.
std::vector<NamedText> ListValues(store::Registry& reg, std::string_view key);

// The user's Startup folder, from the shell folders; "" when unknown.
std::string StartupFolder(store::Registry& reg);

// The files of a folder a user sees (hidden ones too, system files and
// subfolders not), sorted by name so that every file system lists them alike.
std::vector<std::string> ListFiles(store::FileSystem& files, std::string_view folder);

// The Boot Options File: msdos.sys at the root of the drive that holds the
// Windows folder ("C:\WINDOWS\" gives "C:\msdos.sys").
std::string BootOptionsFile(std::string_view windows_folder);

// A win.ini "load" or "run" entry is a list of programs separated by blanks or
// commas, as Windows reads it; programs compare without regard to case. A blank
// can only stand inside a path the user wrote there himself (ours are written
// in their short form): a blank-separated part that goes on a path ("Files\a.exe"
// after "C:\Program") belongs to the program before it, so that such a path is
// never torn apart. These take a list of programs too (a row's text, a saved
// list), and keep the user's text as it is, separators included, apart from the
// programs they add or take out.
// The entry with the programs it lacks added at its end.
std::string WithPrograms(std::string_view entry, std::string_view programs);
// The entry without the programs (each taken out once).
std::string WithoutPrograms(std::string_view entry, std::string_view programs);
// The programs WithoutPrograms takes out, as the entry writes them.
std::string TakenPrograms(std::string_view entry, std::string_view programs);
// Whether any of the programs is on the entry.
bool HasAnyProgram(std::string_view entry, std::string_view programs);
// Whether a path can stand in an entry as one program: it holds no separator.
bool IsOneProgram(std::string_view path);

}  // namespace korvanta::startup
