#include "store/portable/shell_portable.h"

#include <cctype>
#include <string>
#include <utility>

#include "store/portable/spawn.h"
#include "store/portable/trash.h"

namespace korvanta::store {
namespace {

bool IsAddress(std::string_view file) {
  for (std::string_view scheme : {"http://", "https://", "mailto:", "ftp://"}) {
    if (file.substr(0, scheme.size()) == scheme) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false, quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if ((c == ' ' || c == '\t') && !quoted) {
      if (in_word) words.push_back(std::exchange(word, {}));
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '\\') {
      std::size_t run = 0;
      while (i < line.size() && line[i] == '\\') ++run, ++i;
      if (i < line.size() && line[i] == '"') {
        // 2n backslashes and a quote: n backslashes, and the quote groups;
        // 2n + 1: n backslashes and a quote of the text.
        word.append(run / 2, '\\');
        if (run % 2 == 1) {
          word.push_back('"');
          continue;
        }
      } else {
        word.append(run, '\\');
      }
      --i;
      continue;
    }
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    word.push_back(c);
  }
  if (in_word) words.push_back(word);
  return words;
}

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
    // start quotes each argument that holds a blank: the parameters go as the
    // words they are, or "a,b c" would reach the program as one quoted word.
    std::vector<std::string> argv = {"wine", "start", "/unix", host->string()};
    for (std::string& word : SplitCommandLine(parameters)) argv.push_back(std::move(word));
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

}  // namespace korvanta::store
