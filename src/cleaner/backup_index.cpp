#include "cleaner/backup_index.h"

namespace korvanta::cleaner {

std::string BackupIndex::Read(const char* section, const std::string& key, std::uint32_t capacity) {
  return ini_.INIReadKey(section, key, file_, capacity);
}

std::optional<int> BackupIndex::StoredNext() {
  std::string text = Read("filesum", "Filesum", 100);
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos || text[i] < '0' || text[i] > '9') return std::nullopt;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100000000; ++i)
    value = value * 10 + (text[i] - '0');
  return static_cast<int>(value);
}

std::string BackupIndex::Bakpath() {
  return Read("bakpath", "Bakpath", 1000);
}

BackupEntry BackupIndex::Entry(int k, const std::string& bakpath) {
  std::string number = std::to_string(k);
  BackupEntry e{Read("filename", "Name" + number, 1000), Read("filepath", "Path" + number, 1000),
                Read("filesize", "Size" + number, 1000), Read("bakfile", "File" + number, 1000)};
  if (e.copy.empty()) e.copy = bakpath + e.name;
  return e;
}

void BackupIndex::WriteEntry(int k, const BackupEntry& entry) {
  std::string number = std::to_string(k);
  ini_.INIWriteKey("filename", "Name" + number, Variant(entry.name), file_);
  ini_.INIWriteKey("filepath", "Path" + number, Variant(entry.folder), file_);
  ini_.INIWriteKey("filesize", "Size" + number, Variant(entry.size), file_);
  ini_.INIWriteKey("bakfile", "File" + number, Variant(entry.copy), file_);
}

void BackupIndex::WriteNext(int next) {
  ini_.INIWriteKey("filesum", "Filesum", Variant(" " + std::to_string(next)), file_);
}

void BackupIndex::WriteBakpath(const std::string& folder_with_backslash) {
  ini_.INIWriteKey("bakpath", "Bakpath", Variant(folder_with_backslash), file_);
}

void BackupIndex::Clear() {
  for (const char* section : {"filename", "filepath", "filesize", "bakpath", "bakfile"})
    ini_.INIDeleteSectionAll(section, file_);
  ini_.INIWriteKey("filesum", "Filesum", Variant("1"), file_);
}

}  // namespace korvanta::cleaner
