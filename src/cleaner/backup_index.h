#pragma once
// The backup index, filebak.ini in the program folder: one entry per file saved
// before deletion, numbered from 1. Older readers find an entry's copy as
// Bakpath + Name; as copies never replace each other, each entry also names its
// own copy in [bakfile] File<k>, which this reader prefers.

#include <optional>
#include <string>

#include "store/settings_store.h"

namespace korvanta::cleaner {

struct BackupEntry {
  std::string name;    // the file's name
  std::string folder;  // the folder it was deleted from
  std::string size;    // the size text of the result list
  std::string copy;    // the full path of its copy
};

class BackupIndex {
 public:
  BackupIndex(SettingsStore& ini, std::string file) : ini_(ini), file_(std::move(file)) {}

  // The number Filesum holds (the whole-number part of its text); nothing when
  // the file or the key is absent or holds no number.
  std::optional<int> StoredNext();
  // The number the next entry gets: 1 when none is stored.
  int NextNumber() { return StoredNext().value_or(1); }
  // The backup folder of the latest backup, ending in "\".
  std::string Bakpath();
  BackupEntry Entry(int k, const std::string& bakpath);

  void WriteEntry(int k, const BackupEntry& entry);
  // Filesum after a backup: the number preceded by one space, as always stored.
  void WriteNext(int next);
  void WriteBakpath(const std::string& folder_with_backslash);
  // Empties the index: its entries go and Filesum is "1".
  void Clear();

 private:
  std::string Read(const char* section, const std::string& key, std::uint32_t capacity);

  SettingsStore& ini_;
  std::string file_;
};

}  // namespace korvanta::cleaner
