#pragma once
// The backup index, filebak.ini in the program folder: one entry per file saved
// before deletion, numbered from 1. Older readers find an entry's copy as
// Bakpath + Name; as copies never replace each other, each entry also names its
// own copy in [bakfile] File<k>, which this reader prefers.
//
// The index is read whole and stored whole: a group of entries, Bakpath and the
// Filesum that makes them count reach the disk in one replace of the file, so a
// reader sees all of a group or none of it.

#include <optional>
#include <string>
#include <vector>

#include "store/profile_file.h"

namespace korvanta::cleaner {

struct BackupEntry {
  std::string name;    // the file's name
  std::string folder;  // the folder it was deleted from
  std::string size;    // the size text of the result list
  std::string copy;    // the full path of its copy
};

class BackupIndex {
 public:
  BackupIndex(store::FileSystem& files, std::string file)
      : files_(files), file_(files, std::move(file)) {}

  // Reads the file as it is now; false when it exists and cannot be read.
  bool Load() { return file_.Load(); }

  // The number Filesum holds (the whole-number part of its text); nothing when
  // the file or the key is absent or holds no number.
  std::optional<int> StoredNext() const;
  // The number the next entry gets: 1 when none is stored.
  int NextNumber() const { return StoredNext().value_or(1); }
  // The backup folder of the latest backup, ending in "\".
  std::string Bakpath() const;
  BackupEntry Entry(int k, const std::string& bakpath) const;

  // Appends entries after the last one, with the backup folder then in force,
  // and stores the index: false when it could not be stored (the file on disk,
  // and this index, are then as they were).
  bool Append(const std::vector<BackupEntry>& entries, const std::string& bakpath);
  // Entries at or after Filesum whose copies exist, left by a writer that died
  // before it counted them: taken back, Filesum moved past them and stored.
  // The count taken back.
  int Recover();
  // Empties the index: its entries go and Filesum is "1".
  bool Clear();

 private:
  std::string Value(const char* section, const std::string& key) const {
    return file_.Get(section, key).value_or("");
  }
  void Put(int k, const BackupEntry& entry);

  store::FileSystem& files_;
  store::ProfileFile file_;
};

}  // namespace korvanta::cleaner
