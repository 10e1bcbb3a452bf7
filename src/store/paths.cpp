#include "store/paths.h"

namespace korvanta::store {

std::string GetName(std::string_view path) {
  std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(path.substr(slash + 1));
}

std::string GetFolder(std::string_view path) {
  std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(path.substr(0, slash));
}

std::string StripNull(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

std::string FolderText(std::string_view path) {
  std::string folder(path);
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::string JoinPath(std::string folder, std::string_view name) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  folder += name;
  return folder;
}

namespace {

// The folder queries' result as the pages use it: cut at a NUL, trailing spaces
// gone, one backslash at the end; "" when the system reported nothing.
std::string AsFolder(std::string text) {
  text = StripNull(text);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return text;
  if (text.back() != '\\') text.push_back('\\');
  return text;
}

}  // namespace

const std::string& SystemPaths::DirTemp() {
  if (!temp_) {
    std::string temp = StripNull(backend_.TempPath());
    if (temp.empty() || temp.back() != '\\') temp.push_back('\\');
    temp_ = std::move(temp);
  }
  return *temp_;
}

std::string SystemPaths::WinDir() {
  return AsFolder(backend_.WindowsDirectory());
}

std::string SystemPaths::SysDir() {
  return AsFolder(backend_.SystemDirectory());
}

std::string SystemPaths::ProgramFolder() {
  return backend_.ProgramFolder();
}

}  // namespace korvanta::store
