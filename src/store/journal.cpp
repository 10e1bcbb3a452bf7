#include "store/journal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace korvanta::store {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// The length of the UTF-8 sequence at s[i], or 0 when none starts there.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size() || (n == 2 && c < 0xc2)) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) return 0;
  }
  return n;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t at = 0;
  while (at < line.size()) {
    std::size_t space = line.find(' ', at);
    if (space == std::string_view::npos) space = line.size();
    if (space > at) tokens.push_back(line.substr(at, space - at));
    at = space + 1;
  }
  return tokens;
}

std::string Line(std::string_view head, const std::vector<std::string>& fields) {
  std::string line(head);
  for (const std::string& f : fields) line += " " + EncodeField(f);
  return line + "\r\n";
}

std::vector<std::string> Decoded(const std::vector<std::string_view>& tokens, std::size_t from) {
  std::vector<std::string> fields;
  for (std::size_t i = from; i < tokens.size(); ++i) fields.push_back(DecodeField(tokens[i]));
  return fields;
}

}  // namespace

std::string EncodeField(std::string_view field) {
  if (field.empty()) return "%";
  std::string out;
  for (std::size_t i = 0; i < field.size();) {
    const auto c = static_cast<unsigned char>(field[i]);
    std::size_t n = Utf8Length(field, i);
    if (c == '%' || c <= ' ' || c == 0x7f || n == 0) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
      ++i;
    } else {
      out.append(field.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string DecodeField(std::string_view token) {
  if (token == "%") return {};
  std::string out;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (token[i] == '%' && i + 2 < token.size() && HexDigit(token[i + 1]) >= 0 &&
        HexDigit(token[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(token[i + 1]) * 16 + HexDigit(token[i + 2]));
      i += 2;
    } else {
      out += token[i];
    }
  }
  return out;
}

std::string FormatRecord(const JournalRecord& record) {
  // The blank line first: a record torn before it never runs into this one.
  std::string text = "\r\naction " + std::to_string(record.id) + " " + record.time + "\r\n";
  text += Line("place", {record.place});
  for (const std::string& entry : record.log) text += Line("log", {entry});
  for (const JournalChange& c : record.changes) {
    text += Line(c.kind, c.where);
    text += Line(" before", c.before);
    text += Line(" after", c.after);
  }
  return text + "end " + std::to_string(record.id) + "\r\n";
}

std::vector<JournalRecord> ParseJournal(std::string_view text) {
  std::vector<JournalRecord> records;
  JournalRecord record;
  bool open = false;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t eol = text.find('\n', at);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = text.substr(at, eol - at);
    at = eol + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool change_state = !line.empty() && line.front() == ' ';
    std::vector<std::string_view> tokens = Split(line);
    if (tokens.empty()) continue;
    if (tokens[0] == "action") {
      // An action line always begins a record: one still open was torn.
      record = JournalRecord{};
      open = tokens.size() >= 2;
      if (!open) continue;
      record.id = std::strtol(std::string(tokens[1]).c_str(), nullptr, 10);
      for (std::size_t i = 2; i < tokens.size(); ++i)
        record.time += (i > 2 ? " " : "") + std::string(tokens[i]);
      continue;
    }
    if (!open) continue;
    if (tokens[0] == "end") {
      if (tokens.size() == 2 &&
          std::strtol(std::string(tokens[1]).c_str(), nullptr, 10) == record.id)
        records.push_back(std::move(record));
      record = JournalRecord{};
      open = false;
    } else if (tokens[0] == "place" && !change_state) {
      record.place = tokens.size() > 1 ? DecodeField(tokens[1]) : "";
    } else if (tokens[0] == "log" && !change_state) {
      record.log.push_back(tokens.size() > 1 ? DecodeField(tokens[1]) : "");
    } else if (change_state && tokens[0] == "before" && !record.changes.empty()) {
      record.changes.back().before = Decoded(tokens, 1);
    } else if (change_state && tokens[0] == "after" && !record.changes.empty()) {
      record.changes.back().after = Decoded(tokens, 1);
    } else if (!change_state) {
      record.changes.push_back({std::string(tokens[0]), Decoded(tokens, 1), {}, {}});
    }
  }
  return records;
}

namespace {

// What ParseJournal would give as the number of whole records and the last
// one's number, from the action and end lines alone: a long journal is counted
// without decoding every change it holds.
void CountRecords(std::string_view text, std::size_t& count, long& last_id) {
  count = 0;
  long open = 0;
  bool is_open = false;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t eol = text.find('\n', at);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = text.substr(at, eol - at);
    at = eol + 1;
    if (!line.starts_with("action") && !line.starts_with("end")) continue;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> tokens = Split(line);
    if (tokens.empty()) continue;
    const long id =
        tokens.size() >= 2 ? std::strtol(std::string(tokens[1]).c_str(), nullptr, 10) : 0;
    if (tokens[0] == "action") {
      is_open = tokens.size() >= 2;
      open = id;
    } else if (tokens[0] == "end" && is_open) {
      if (tokens.size() == 2 && id == open) {
        ++count;
        last_id = open;
      }
      is_open = false;
    }
  }
}

}  // namespace

bool ParseRecord(std::string_view text, JournalRecord& record) {
  std::vector<JournalRecord> records = ParseJournal(text);
  if (records.size() != 1) return false;
  record = std::move(records.front());
  return true;
}

std::vector<JournalRecord> Journal::Load() {
  std::string text;
  if (files_.ReadFile(File(), text) != kSuccess) text.clear();
  std::vector<JournalRecord> records = ParseJournal(text);
  counted_ = true;
  records_ = records.size();
  last_id_ = records.empty() ? 0 : std::max(last_id_, records.back().id);
  return records;
}

void Journal::Count() {
  if (counted_) return;
  std::string text;
  if (files_.ReadFile(File(), text) != kSuccess) text.clear();
  long last = 0;
  CountRecords(text, records_, last);
  last_id_ = std::max(last_id_, last);
  counted_ = true;
}

long Journal::NextId() {
  Count();
  return last_id_ + 1;
}

Status Journal::Append(const JournalRecord& record, std::size_t keep) {
  Count();
  files_.CreateDirectory(folder_);
  Status s = files_.AppendFile(File(), FormatRecord(record));
  if (s != kSuccess) return s;
  s = files_.FlushFiles({File()});
  ++records_;
  last_id_ = std::max(last_id_, record.id);
  if (records_ > keep + std::max<std::size_t>(10, keep / 10)) Drop(keep);
  return s;
}

// The newest records stay, whole; the copies the others kept go after the
// journal no longer names them.
void Journal::Drop(std::size_t keep) {
  std::vector<JournalRecord> records = Load();
  if (records.size() <= keep) return;
  std::string text;
  const std::size_t first = records.size() - keep;
  for (std::size_t i = first; i < records.size(); ++i) text += FormatRecord(records[i]);
  if (files_.WriteFile(File(), text) != kSuccess) return;
  records_ = keep;
  for (std::size_t i = 0; i < first; ++i) {
    std::vector<FileEntry> copies;
    files_.List(folder_ + "\\" + std::to_string(records[i].id) + "-*", copies);
    for (const FileEntry& copy : copies) files_.DeleteFile(folder_ + "\\" + copy.name, true);
  }
}

}  // namespace korvanta::store
