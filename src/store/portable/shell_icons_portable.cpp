#include "store/portable/shell_icons_portable.h"

#include <cctype>
#include <system_error>
#include <vector>

#include "store/icon_reader.h"
#include "store/portable/file_system_portable.h"

namespace korvanta::store {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kWindowsFolder = "C:\\windows";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '"')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '"')) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace

std::optional<fs::path> FindIconFile(const MachineFolder& machine, std::string_view file) {
  std::string name = Trimmed(file);
  for (std::string_view variable : {"%SystemRoot%", "%windir%"}) {
    if (StartsWithNoCase(name, variable))
      name = std::string(kWindowsFolder) + name.substr(variable.size());
  }
  if (name.empty()) return std::nullopt;
  std::vector<std::string> candidates;
  if (name.find(':') != std::string::npos || name.front() == '\\') {
    candidates.push_back(name);
  } else {
    for (std::string_view folder : {"\\system32\\", "\\system\\", "\\"}) {
      candidates.push_back(std::string(kWindowsFolder) + std::string(folder) + name);
    }
  }
  for (const std::string& candidate : candidates) {
    std::optional<fs::path> host = machine.HostPath(candidate);
    std::error_code ec;
    if (host && fs::is_regular_file(*host, ec)) return host;
  }
  return std::nullopt;
}

std::optional<std::string> ReadIconFile(const MachineFolder& machine, std::string_view file) {
  std::optional<fs::path> host = FindIconFile(machine, file);
  std::string bytes;
  if (!host || ReadHostFile(*host, bytes) != kSuccess) return std::nullopt;
  return bytes;
}

std::optional<std::string> LoadIcon(const MachineFolder& machine, std::string_view file,
                                    int index) {
  std::optional<std::string> bytes = ReadIconFile(machine, file);
  return bytes ? IconAt(*bytes, index) : std::nullopt;
}

int CountIcons(const MachineFolder& machine, std::string_view file) {
  std::optional<std::string> bytes = ReadIconFile(machine, file);
  return bytes ? CountIcons(*bytes) : 0;
}

std::vector<int> IconNumbers(const MachineFolder& machine, std::string_view file) {
  std::optional<std::string> bytes = ReadIconFile(machine, file);
  return bytes ? IconNumbers(*bytes) : std::vector<int>{};
}

bool PortableShellIcons::HasIcon(std::string_view file, int index) {
  return LoadIcon(machine_, file, index).has_value();
}

}  // namespace korvanta::store
