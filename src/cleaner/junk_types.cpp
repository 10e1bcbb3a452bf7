#include "cleaner/junk_types.h"

#include <charconv>

namespace korvanta::cleaner {
namespace {

constexpr std::uint32_t kTextCapacity = 100;
// Room for any folder path Windows takes (32767 characters and the NUL).
constexpr std::uint32_t kPathCapacity = 32768;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The whole-number value of a text, as a conversion that ignores the blanks
// around it; nothing for any other text.
std::optional<double> NumberOf(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string OutsideMachineText(std::string_view folder) {
  return "文件夹 " + std::string(folder) +
         " 不在这台计算机的磁盘上，而是本机系统自己的文件，Korvanta不会扫描或改动它！"
         "如确需清理本机的文件，请用 --host-drives 选项启动Korvanta。";
}

bool CleanerSettings::Flag(std::string_view section, std::string_view key) {
  std::optional<double> n = NumberOf(Text(section, key));
  return n && *n == 1;
}

void CleanerSettings::WriteFlag(std::string_view section, std::string_view key, bool on) {
  Write(section, key, on ? "1" : "0");
}

std::string CleanerSettings::Text(std::string_view section, std::string_view key) {
  return ini_.INIReadKey(section, key, file_, kTextCapacity);
}

std::string CleanerSettings::Path(std::string_view section, std::string_view key) {
  return ini_.INIReadKey(section, key, file_, kPathCapacity);
}

void CleanerSettings::Write(std::string_view section, std::string_view key, std::string_view text) {
  ini_.INIWriteKey(section, key, store::Variant(std::string(text)), file_);
}

void CleanerSettings::Delete(std::string_view section, std::string_view key) {
  ini_.INIDeleteKey(section, key, file_);
}

int CleanerSettings::UserTypeCount() {
  std::optional<double> all = NumberOf(Text("addlx", "Lxsumall"));
  if (all && *all > 9 && *all < 100000) return static_cast<int>(*all);
  // One character: a count of 12 stored by another writer reads as 1.
  std::string digit = ini_.INIReadKey("addlx", "Lxsum", file_, 2);
  return !digit.empty() && digit[0] >= '0' && digit[0] <= '9' ? digit[0] - '0' : 0;
}

void CleanerSettings::WriteUserTypeCount(int count) {
  if (count < 0) count = 0;
  Write("addlx", "Lxsum", std::to_string(count > 9 ? 9 : count));
  if (count > 9) {
    Write("addlx", "Lxsumall", std::to_string(count));
  } else if (!Text("addlx", "Lxsumall").empty()) {
    Delete("addlx", "Lxsumall");
  }
}

std::vector<JunkType> CleanerSettings::UserTypes() {
  std::vector<JunkType> types;
  int count = UserTypeCount();
  for (int n = 0; n < count; ++n) {
    std::string number = std::to_string(n);
    types.push_back({Text("addlx", "Filelx" + number), Text("addlx", "Filesm" + number)});
  }
  return types;
}

void CleanerSettings::WriteUserType(int n, const JunkType& type) {
  std::string number = std::to_string(n);
  Write("addlx", "Filelx" + number, type.pattern);
  Write("addlx", "Filesm" + number, type.description);
}

void CleanerSettings::DeleteUserType(int n, std::string_view pattern) {
  std::string number = std::to_string(n);
  Delete("addlx", "Filelx" + number);
  Delete("addlx", "Filesm" + number);
  Delete("filelx", pattern);
}

}  // namespace korvanta::cleaner
