#include "startup/startup_places.h"

#include <algorithm>

#include "store/paths.h"

namespace korvanta::startup {
namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::string> Programs(std::string_view list) {
  std::vector<std::string> programs;
  std::size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && (list[i] == ' ' || list[i] == '\t')) ++i;
    std::size_t end = i;
    while (end < list.size() && list[end] != ' ' && list[end] != '\t') ++end;
    if (end > i) programs.emplace_back(list.substr(i, end - i));
    i = end;
  }
  return programs;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool Contains(const std::vector<std::string>& programs, const std::string& program) {
  return std::any_of(programs.begin(), programs.end(),
                     [&](const std::string& p) { return Lower(p) == Lower(program); });
}

std::string Joined(const std::vector<std::string>& programs) {
  std::string out;
  for (const std::string& p : programs) out += (out.empty() ? "" : " ") + p;
  return out;
}

}  // namespace

std::vector<NamedText> ListValues(Registry& reg, std::string_view key) {
  std::vector<NamedText> values;
  KeyHandle handle;
  if (reg.OpenKey(RegRoot::kLocalMachine, key, kKeyQueryValue, handle) != kSuccess) return values;
  std::string name;
  for (std::uint32_t index = 0; reg.EnumValue(handle, index, name) == kSuccess; ++index) {
    values.push_back({name, ""});
  }
  reg.CloseKey(handle);
  for (NamedText& value : values) {
    Variant data;
    reg.QueryValue(RegRoot::kLocalMachine, key, value.name, data);
    value.text = data.ToText();
  }
  return values;
}

std::string StartupFolder(Registry& reg) {
  Variant folder;
  reg.QueryValue(RegRoot::kCurrentUser, kShellFolders, "startup", folder);
  std::string path = folder.ToText();
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::vector<std::string> ListFiles(FileSystem& files, std::string_view folder) {
  std::vector<FileEntry> entries;
  std::vector<std::string> names;
  if (folder.empty()) return names;
  files.List(std::string(folder) + "\\*.*", entries);
  for (const FileEntry& entry : entries) {
    if (!entry.is_directory() && !(entry.attributes & kAttrSystem)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return names;
}

std::string BootOptionsFile(std::string_view windows_folder) {
  std::size_t slash = windows_folder.find('\\');
  return std::string(windows_folder.substr(0, slash)) + "\\msdos.sys";
}

std::string WithPrograms(std::string_view entry, std::string_view programs) {
  std::vector<std::string> list = Programs(entry);
  for (const std::string& p : Programs(programs)) {
    if (!Contains(list, p)) list.push_back(p);
  }
  return Joined(list);
}

std::string WithoutPrograms(std::string_view entry, std::string_view programs) {
  std::vector<std::string> gone = Programs(programs);
  std::vector<std::string> list = Programs(entry);
  std::erase_if(list, [&](const std::string& p) { return Contains(gone, p); });
  return Joined(list);
}

bool HasAnyProgram(std::string_view entry, std::string_view programs) {
  std::vector<std::string> list = Programs(entry);
  std::vector<std::string> wanted = Programs(programs);
  return std::any_of(wanted.begin(), wanted.end(),
                     [&](const std::string& p) { return Contains(list, p); });
}

}  // namespace korvanta::startup
