#include "store/portable/shell_portable.h"

#include <cctype>
#include <string>

#include "store/portable/spawn.h"
#include "store/portable/trash.h"

namespace korvanta {
namespace {

bool IsAddress(std::string_view file) {
  for (std::string_view scheme : {"http://", "https://", "mailto:", "ftp://"}) {
    if (file.substr(0, scheme.size()) == scheme) return true;
  }
  return false;
}

}  // namespace

void PortableShell::RecycleFile(std::string_view path) {
  if (auto host = machine_.HostPath(path)) MoveToTrash(*host);
}

void PortableShell::Execute(std::string_view, std::string_view file, std::string_view parameters,
                            std::uintptr_t) {
  if (IsAddress(file)) {
    SpawnDetached({"xdg-open", std::string(file)}, {});
    return;
  }
  std::optional<std::filesystem::path> host = machine_.HostPath(file);
  std::error_code ec;
  if (!host || !std::filesystem::exists(*host, ec)) return;  // as ShellExecute, nothing happens
  // Wine's own shell opens the machine's files as Windows would.
  if (FindProgram("wine")) {
    std::vector<std::string> argv = {"wine", "start", "/unix", host->string()};
    if (!parameters.empty()) argv.emplace_back(parameters);
    SpawnDetached(argv, {"WINEPREFIX=" + machine_.root().string()});
    return;
  }
  std::string extension = host->extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".exe" && extension != ".com" && extension != ".bat" && extension != ".scr") {
    SpawnDetached({"xdg-open", host->string()}, {});
  }
}

bool PortableShell::StartsPrograms() const {
  return FindProgram("wine").has_value();
}

// Wine runs the program itself; a window manager decides how it first shows.
void PortableShell::RunMinimized(std::string_view program) {
  std::optional<std::filesystem::path> host = machine_.HostPath(program);
  std::error_code ec;
  if (!host || !std::filesystem::exists(*host, ec) || !FindProgram("wine")) return;
  SpawnDetached({"wine", host->string()}, {"WINEPREFIX=" + machine_.root().string()});
}

void PortableShell::RequestRestart() {
  SpawnDetached({"wineboot", "--restart"}, {"WINEPREFIX=" + machine_.root().string()});
}

// A machine folder has no desktop of its own to show or hide.
void PortableShell::ShowDesktopIconView(bool) {}

}  // namespace korvanta
