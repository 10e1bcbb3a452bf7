#pragma once
// The junk-type catalogue and the cleaner's options as set.ini stores them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/settings_store.h"

namespace korvanta::cleaner {

struct JunkType {
  std::string pattern;
  std::string description;
};

// A type every catalogue starts with.
struct BuiltInType {
  std::string_view pattern;
  std::string_view description;
};

// The built-in types, in their order; a new one is one more row.
inline constexpr auto kBuiltInTypes = std::to_array<BuiltInType>({
    {"*.tmp", "临时文件"},
    {"*.chk", "丢失簇的恢复文件"},
    {"*.old", "备份文件"},
    {"*.gid", "帮助的索引临时文件"},
    {"*.prv", "备份文件"},
    {"*.err", "备份文件"},
    {"chklist.*", "丢失簇的恢复文件"},
    {"mscreate.dir", "安装临时文件"},
    {"Thumbs.db", "图片预览缩略图缓冲文件"},
});

// Why a folder the user typed is neither scanned nor written: it leads out of
// the machine to the files of the computer the program runs on.
std::string OutsideMachineText(std::string_view folder);

// set.ini in the program folder, as the cleaner reads and writes it.
class CleanerSettings {
 public:
  CleanerSettings(store::SettingsStore& ini, std::string file)
      : ini_(ini), file_(std::move(file)) {}

  // A flag is set only when its text is the number 1.
  bool Flag(std::string_view section, std::string_view key);
  void WriteFlag(std::string_view section, std::string_view key, bool on);
  // A value of at most 99 bytes of stored text.
  std::string Text(std::string_view section, std::string_view key);
  // A folder path, read whole: it is stored whole, and a cut one would send the
  // next backup into a folder nobody chose.
  std::string Path(std::string_view section, std::string_view key);
  void Write(std::string_view section, std::string_view key, std::string_view text);
  void Delete(std::string_view section, std::string_view key);

  // How many user types there are. Lxsum holds one digit, which older readers
  // take as the count; past nine types it says 9 and Lxsumall holds the count.
  int UserTypeCount();
  void WriteUserTypeCount(int count);
  // The user types, in their order: a missing key gives an empty text.
  std::vector<JunkType> UserTypes();
  // Stores user type n; the count is written apart.
  void WriteUserType(int n, const JunkType& type);
  // Forgets user type n and the tick of its pattern.
  void DeleteUserType(int n, std::string_view pattern);

 private:
  store::SettingsStore& ini_;
  std::string file_;
};

}  // namespace korvanta::cleaner
