#include "store/portable/machine_files_portable.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "store/paths.h"
#include "store/portable/file_system_portable.h"
#include "store/portable/shell_icons_portable.h"

namespace korvanta::store {
namespace fs = std::filesystem;

std::vector<char> PortableMachineFiles::Drives() const {
  std::vector<char> drives;
  for (char letter = 'C'; letter != 'B';) {
    if (machine_.DriveFolder(letter)) drives.push_back(letter);
    letter = letter == 'Z' ? 'A' : static_cast<char>(letter + 1);
  }
  return drives;
}

std::vector<MachineFiles::Entry> PortableMachineFiles::List(std::string_view folder) const {
  std::vector<Entry> entries;
  const std::optional<fs::path> host = machine_.HostPath(folder);
  if (!host) return entries;
  std::error_code error;
  for (fs::directory_iterator it(*host, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    // A link is listed only when it stays inside the machine.
    std::error_code link_error;
    if (it->is_symlink(link_error) && !machine_.HostPath(JoinPath(std::string(folder), name)))
      continue;
    struct stat st {};
    if (::stat(it->path().c_str(), &st) != 0) continue;
    entries.push_back({std::move(name), S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size),
                       static_cast<std::int64_t>(st.st_mtime)});
  }
  return entries;
}

std::optional<MachineFiles::Place> PortableMachineFiles::Find(std::string_view path) const {
  const std::optional<fs::path> host = machine_.HostPath(path);
  struct stat st {};
  if (!host || ::stat(host->c_str(), &st) != 0) return std::nullopt;
  std::optional<std::string> spelt = machine_.WindowsPath(*host);
  if (!spelt) return std::nullopt;
  return Place{std::move(*spelt), S_ISDIR(st.st_mode)};
}

std::optional<std::string> PortableMachineFiles::Read(std::string_view path) const {
  const std::optional<fs::path> host = machine_.HostPath(path);
  std::string bytes;
  if (!host || ReadHostFile(*host, bytes) != kSuccess) return std::nullopt;
  return bytes;
}

std::optional<std::string> PortableMachineFiles::ReadIconFile(std::string_view file) const {
  return korvanta::store::ReadIconFile(machine_, file);
}

}  // namespace korvanta::store
