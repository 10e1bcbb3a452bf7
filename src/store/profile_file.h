#pragma once
// A profile file of the program's own held whole in memory: read once, looked up
// and changed with the rules of the system's profile calls, and stored back in
// one replace of the file (written aside, flushed, moved over). For a file that
// changes by many keys at a time, where one profile call per key would rewrite
// the whole file each time and leave it half-written when the program dies.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/file_system.h"

namespace korvanta::store {

namespace profile {
struct Section;
}

class ProfileFile {
 public:
  ProfileFile(FileSystem& files, std::string path);
  ~ProfileFile();
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

  // Reads the file as it is now; a missing file reads as empty. False when it
  // exists and cannot be read.
  bool Load();
  // What GetPrivateProfileString gives: names compared without case, only the
  // first section and the first key of a name, one pair of outer quotes gone.
  // Nothing when the key is absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // WritePrivateProfileString in memory: the key's value replaced, or the key
  // added at the end of its section, or the section at the end of the file.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // WritePrivateProfileSection with no data: the first section of that name goes.
  void RemoveSection(std::string_view section);
  bool changed() const { return changed_; }
  // Stores the file when something changed. False when it could not be stored:
  // the file on disk is then as it was.
  bool Save();

 private:
  struct Place {
    std::size_t section;
    std::size_t key;
  };
  static std::u16string Fold(std::u16string_view name);
  void Reindex();

  FileSystem& files_;
  std::string path_;
  std::vector<profile::Section> sections_;
  int encoding_ = 0;
  bool changed_ = false;
  std::unordered_map<std::u16string, std::size_t> section_index_;  // first of each name
  std::unordered_map<std::u16string, Place> key_index_;            // section + '\n' + key, folded
};

}  // namespace korvanta::store
