#pragma once
// The text of Wine registry files (system.reg, user.reg) exactly as wineserver
// writes and reads it: escaped names and strings, value lines, key lines and the
// line rules of its reader. Wine must read what we write and we must read what
// Wine wrote, so every quirk of its reader and writer is kept here.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_system.h"
#include "store/registry_backend.h"
#include "store/utf.h"

namespace korvanta::store {

inline constexpr std::uint32_t kRegLink = 6;
// The longest value name wineserver stores, in UTF-16 code units.
inline constexpr std::size_t kMaxRegValueName = 16383;
inline constexpr std::string_view kRegFileSignature = "WINE REGISTRY Version 2";

// A value as wineserver stores it: strings are UTF-16LE bytes with whatever
// terminators the writer gave them. An empty name is the default value.
struct RegValue {
  std::u16string name;
  std::uint32_t type = kRegNone;
  std::string data;
  bool operator==(const RegValue&) const = default;
};

// The order of subkeys and values in wineserver: lower-cased code units, a
// prefix before the longer name. Negative, zero or positive.
int CompareRegNames(std::u16string_view a, std::u16string_view b);
inline bool RegNamesEqual(std::u16string_view a, std::u16string_view b) {
  return EqualsIgnoreCase(a, b);
}

// String data as wineserver stores it: UTF-16 code units as little-endian byte
// pairs. BytesToUtf16 takes size() / 2 units; an odd last byte is dropped.
std::string Utf16ToBytes(std::u16string_view text);
std::u16string BytesToUtf16(std::string_view bytes);

// Which characters besides the backslash get a backslash in front.
enum class RegQuotes { kKeyName, kString };  // [ and ] / "
// Appends text escaped as wineserver writes it; returns the characters appended.
std::size_t AppendRegEscaped(std::string& out, std::u16string_view text, RegQuotes quotes);
// Parses escaped text up to the first unescaped `end` character, as wineserver
// reads it (raw bytes of 0x80 and above are UTF-8). Returns the bytes consumed,
// the end character included, or nothing when the end character is missing.
std::optional<std::size_t> ParseRegEscaped(std::string_view src, char end, std::u16string& out);

// Appends one value line (and its continuation lines) as wineserver writes it.
void AppendRegValue(std::string& out, const RegValue& value);
// Appends the head of a key block: blank line, "[path] seconds", "#time=",
// then "#class=" and "#link" when present. path holds the names from the
// hive's root; modified is a FILETIME.
void AppendRegKeyHead(std::string& out, const std::vector<const std::u16string*>& path,
                      std::uint64_t modified, const std::u16string* key_class, bool link);

// Reads lines as wineserver does: a line ends at LF, a CR before the LF is
// dropped, and a NUL byte ends the line's text. wineserver reads through a
// buffer that starts at 4 bytes and grows by half whenever a line fills it;
// a line with a NUL byte that does not fit it is cut at the buffer's end and
// the rest is read as a line of its own. So the buffer's size is kept here,
// and a reader that starts inside a file takes the size it had there.
class RegLineReader {
 public:
  static constexpr std::uint32_t kFirstBufferSize = 4;
  explicit RegLineReader(std::string_view text, std::uint32_t buffer_size = kFirstBufferSize)
      : text_(text), buffer_size_(buffer_size) {}
  // The reader keeps a view of its text: a temporary string would be freed
  // before the first line is read.
  template <std::same_as<std::string> Temporary>
  RegLineReader(Temporary&&, std::uint32_t = kFirstBufferSize) = delete;
  bool Next(std::string_view& line);
  std::size_t offset() const { return pos_; }
  std::uint32_t buffer_size() const { return buffer_size_; }
  // Whether a line was asked for after the last one.
  bool ran_out() const { return ran_out_; }

 private:
  void GrowWhileBelow(std::size_t needed);

  std::string_view text_;
  std::size_t pos_ = 0;
  std::uint32_t buffer_size_;
  bool ran_out_ = false;
};

// The characters wineserver's reader skips as white space (C isspace).
inline bool IsRegSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
std::string_view SkipRegSpace(std::string_view s);

enum class RegValueParse {
  kOk,
  kBadName,  // wineserver skips the line: nothing is stored
  kBadData,  // wineserver stores the name as REG_NONE without data
};
// Parses a value line (after its leading white space, starting at '"' or '@'),
// taking continuation lines of hex data from `more`. A name longer than
// wineserver keeps is a bad name, and then no continuation line is taken.
RegValueParse ParseRegValue(std::string_view line, RegLineReader& more, RegValue& value);

// A "[path] seconds" line, from the character after '['.
struct RegKeyLine {
  std::u16string path;
  std::optional<std::uint32_t> seconds;
};
bool ParseRegKeyLine(std::string_view after_bracket, RegKeyLine& out);
// Splits a key path into names at runs of backslashes; false when the path
// starts with a backslash, which wineserver rejects.
bool SplitRegPath(std::u16string_view path, std::vector<std::u16string_view>& names);
// The hex number of a "#time=" option.
std::uint64_t ParseRegTime(std::string_view digits);

}  // namespace korvanta::store
