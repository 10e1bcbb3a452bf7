#pragma once
// The text side of the profile engine: Wine's notion of blanks and names, a
// profile file as a tree of sections, and the wide buffer the ...A wrappers hand
// to the W calls. Only the profile engine uses it.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::store::profile {

using Text = std::u16string;
using TextView = std::u16string_view;
// A wide argument as the W calls get it; nothing stands for NULL.
using Arg = std::optional<Text>;

// Wine's wcsicmp folds ASCII letters only.
bool SameName(TextView a, TextView b);
// Names and values are C strings in Wine's tree: a zero in the file ends them.
Text CString(TextView s);
// An ANSI argument as the ...A wrappers widen it; null stays null.
Arg Widen(const char* ansi);

struct Entry {
  Text name;
  std::optional<Text> value;  // nothing: a line without '='
};

struct Section {
  Text name;
  std::vector<Entry> keys;
};

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// One profile file while a call runs on it (Wine's CurProfile).
struct Profile {
  std::string path;
  std::vector<Section> sections;  // empty for a missing or empty file
  Encoding encoding = Encoding::kAnsi;
  bool changed = false;
};

// The file's text by its byte-order mark (ANSI 936 without one).
Text DecodeFile(std::string_view bytes, Encoding& encoding);
std::vector<Section> Parse(TextView text);
std::string Serialize(const std::vector<Section>& sections, Encoding encoding);
// PROFILE_Find without creating: both names trimmed, only the first section of
// that name searched.
const Entry* FindKey(const std::vector<Section>& sections, TextView section, TextView key);
// PROFILE_SetString; a null value deletes the key.
void SetString(Profile& profile, TextView section, TextView key, const Arg& value, bool always_add);

// The wide buffer Wine's ...A wrappers hand to the W call, len characters. Wine
// does not clear it; here the places the W code never writes stay zero. Writes
// outside it (Wine's off-by-one writes) are dropped.
class WideBuffer {
 public:
  explicit WideBuffer(std::uint32_t size) : data_(size, u'\0') {}
  std::uint32_t size() const { return static_cast<std::uint32_t>(data_.size()); }
  char16_t At(std::int64_t i) const { return Inside(i) ? data_[static_cast<std::size_t>(i)] : 0; }
  void Put(std::int64_t i, char16_t c) {
    if (Inside(i)) data_[static_cast<std::size_t>(i)] = c;
  }
  // lstrcpynW(buffer + pos, source, count).
  void CopyN(std::int64_t pos, TextView source, std::uint32_t count) {
    std::size_t i = 0;
    for (; count > 1 && i < source.size() && source[i]; ++i, --count)
      Put(pos + static_cast<std::int64_t>(i), source[i]);
    if (count) Put(pos + static_cast<std::int64_t>(i), 0);
  }
  // lstrlenW(buffer + pos).
  std::int64_t Length(std::int64_t pos) const {
    std::int64_t n = 0;
    while (Inside(pos + n) && At(pos + n)) ++n;
    return n;
  }
  TextView Head(std::int64_t count) const {
    return TextView(data_).substr(
        0, static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, size())));
  }

 private:
  bool Inside(std::int64_t i) const {
    return i >= 0 && i < static_cast<std::int64_t>(data_.size());
  }
  Text data_;
};

// PROFILE_CopyEntry: one pair of outer quotes goes, and when the buffer is about the
// value's size the last character copied goes with it.
void CopyEntry(WideBuffer& buffer, TextView value, std::uint32_t len);
// Appends name and its terminating zero to a list in buffer at ret; the new end.
std::int64_t Append(WideBuffer& buffer, std::int64_t ret, TextView name);

}  // namespace korvanta::store::profile
