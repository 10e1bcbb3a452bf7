#include "cleaner/backup_index.h"

namespace korvanta::cleaner {

std::optional<int> BackupIndex::StoredNext() const {
  std::string text = Value("filesum", "Filesum");
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos || text[i] < '0' || text[i] > '9') return std::nullopt;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100000000; ++i)
    value = value * 10 + (text[i] - '0');
  return static_cast<int>(value);
}

std::string BackupIndex::Bakpath() const {
  return Value("bakpath", "Bakpath");
}

BackupEntry BackupIndex::Entry(int k, const std::string& bakpath) const {
  std::string number = std::to_string(k);
  BackupEntry e{Value("filename", "Name" + number), Value("filepath", "Path" + number),
                Value("filesize", "Size" + number), Value("bakfile", "File" + number)};
  if (e.copy.empty()) e.copy = bakpath + e.name;
  return e;
}

void BackupIndex::Put(int k, const BackupEntry& entry) {
  std::string number = std::to_string(k);
  file_.Set("filename", "Name" + number, entry.name);
  file_.Set("filepath", "Path" + number, entry.folder);
  file_.Set("filesize", "Size" + number, entry.size);
  file_.Set("bakfile", "File" + number, entry.copy);
}

bool BackupIndex::Append(const std::vector<BackupEntry>& entries, const std::string& bakpath) {
  int n = NextNumber();
  for (const BackupEntry& e : entries) Put(n++, e);
  // Filesum as the deleter has always written it: the number after one space.
  file_.Set("filesum", "Filesum", " " + std::to_string(n));
  file_.Set("bakpath", "Bakpath", bakpath);
  if (file_.Save()) return true;
  Load();
  return false;
}

int BackupIndex::Recover() {
  std::optional<int> stored = StoredNext();
  if (!stored) return 0;
  int n = *stored;
  const std::string bakpath = Bakpath();
  for (;; ++n) {
    std::string number = std::to_string(n);
    if (!file_.Get("filename", "Name" + number) || !file_.Get("filepath", "Path" + number) ||
        !file_.Get("filesize", "Size" + number))
      break;
    BackupEntry e = Entry(n, bakpath);
    std::optional<store::FileEntry> copy = e.name.empty() ? std::nullopt : files_.Stat(e.copy);
    if (!copy || copy->is_directory()) break;
  }
  if (n == *stored) return 0;
  file_.Set("filesum", "Filesum", " " + std::to_string(n));
  if (!file_.Save()) {
    Load();
    return 0;
  }
  return n - *stored;
}

bool BackupIndex::Clear() {
  for (const char* section : {"filename", "filepath", "filesize", "bakpath", "bakfile"})
    file_.RemoveSection(section);
  file_.Set("filesum", "Filesum", "1");
  return file_.Save();
}

}  // namespace korvanta::cleaner
