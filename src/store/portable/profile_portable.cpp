#include "store/portable/profile_portable.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "store/portable/cp936.h"
#include "store/utf.h"

// The engine follows the order of operations of Wine 8's dlls/kernel32/profile.c
// closely, because callers see its accidents: which buffer positions get written,
// which comparisons trim their arguments and which do not, and what the ...A
// wrappers make of a wide result that no longer fits once converted to GBK.

namespace korvanta {
namespace {

using Text = std::u16string;
using TextView = std::u16string_view;
// A wide argument as the W calls get it; nothing stands for NULL.
using Arg = std::optional<Text>;

constexpr std::string_view kMappingRoot =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping";

// --- text ----------------------------------------------------------------------

// Not iswspace: the ideographic space U+3000 is part of a value.
bool IsProfileSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20;
}

// Wine's wcsicmp folds ASCII letters only: fullwidth, Greek and Cyrillic letters
// name different sections in each case.
char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

bool SameName(TextView a, TextView b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

TextView SkipSpaces(TextView s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  return s;
}

TextView Trim(TextView s) {
  s = SkipSpaces(s);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Names and values are C strings in Wine's tree: a zero in the file ends them.
Text CString(TextView s) {
  return Text(s.substr(0, s.find(u'\0')));
}

Arg Widen(const char* ansi) {
  if (!ansi) return std::nullopt;
  return Cp936::ToUtf16(ansi);
}

// One character of MultiByteToWideChar(CP_UTF8) as Wine decodes it, from the
// byte after the lead byte ch: the continuation bytes that still fit are consumed
// and the whole malformed prefix is one U+FFFD (nothing returned); overlong forms,
// encoded surrogates and values past U+10FFFF are malformed; a sequence cut by the
// end of the text takes the rest of it.
std::optional<unsigned> DecodeUtf8Char(unsigned ch, std::string_view bytes, std::size_t& i) {
  const int len = ch >= 0xc2 && ch < 0xe0   ? 1
                  : ch >= 0xe0 && ch < 0xf0 ? 2
                  : ch >= 0xf0 && ch < 0xf5 ? 3
                                            : 0;
  unsigned value = ch & (len == 1 ? 0x1f : len == 2 ? 0x0f : 0x07);
  if (i + static_cast<std::size_t>(len) > bytes.size()) {
    i = bytes.size();
    return std::nullopt;
  }
  auto next = [&](unsigned& c) {
    c = static_cast<unsigned char>(bytes[i]) ^ 0x80u;
    return c < 0x40;
  };
  unsigned c = 0;
  switch (len) {
    case 3:
      if (!next(c)) return std::nullopt;
      value = (value << 6) | c;
      ++i;
      if (value < 0x10) return std::nullopt;
      [[fallthrough]];
    case 2:
      if (!next(c)) return std::nullopt;
      value = (value << 6) | c;
      if (value >= (0x110000 >> 6)) return std::nullopt;
      ++i;
      if (value < 0x20 || (value >= (0xd800 >> 6) && value <= (0xdfff >> 6))) return std::nullopt;
      [[fallthrough]];
    case 1:
      if (!next(c)) return std::nullopt;
      value = (value << 6) | c;
      ++i;
      if (value < 0x80) return std::nullopt;
      return value;
    default:
      return std::nullopt;
  }
}

Text DecodeUtf8(std::string_view bytes) {
  Text out;
  for (std::size_t i = 0; i < bytes.size();) {
    unsigned ch = static_cast<unsigned char>(bytes[i++]);
    std::optional<unsigned> value = ch < 0x80 ? ch : DecodeUtf8Char(ch, bytes, i);
    if (!value) {
      out.push_back(u'\xfffd');
    } else if (*value >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xd800 | ((*value - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xdc00 | (*value & 0x3ff)));
    } else {
      out.push_back(static_cast<char16_t>(*value));
    }
  }
  return out;
}

// --- the file as a tree ----------------------------------------------------------

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

Text DecodeFile(std::string_view bytes, Encoding& encoding) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && at(0) == 0xef && at(1) == 0xbb && at(2) == 0xbf) {
    encoding = Encoding::kUtf8;
    return DecodeUtf8(bytes.substr(3));
  }
  if (bytes.size() >= 2 && ((at(0) == 0xff && at(1) == 0xfe) || (at(0) == 0xfe && at(1) == 0xff))) {
    bool little = at(0) == 0xff;
    encoding = little ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    Text text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      unsigned lo = little ? at(i) : at(i + 1), hi = little ? at(i + 1) : at(i);
      text.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    return text;
  }
  encoding = Encoding::kAnsi;
  return Cp936::ToUtf16(bytes);
}

std::vector<Section> Parse(TextView text) {
  std::vector<Section> sections(1);  // lines before the first header
  bool has_previous = false, previous_named = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t start = pos;
    while (pos < text.size() && text[pos] != u'\n' && text[pos] != u'\r') ++pos;
    TextView line = Trim(text.substr(start, pos - start));
    while (pos < text.size() && (text[pos] == u'\n' || text[pos] == u'\r')) ++pos;
    if (line.empty()) continue;
    if (line.front() == u'[') {
      std::size_t close = line.rfind(u']');
      if (close != TextView::npos) {
        sections.push_back({CString(Trim(line.substr(1, close - 1))), {}});
        has_previous = false;
        continue;
      }
    }
    TextView name = line;
    std::optional<Text> value;
    if (std::size_t eq = line.find(u'='); eq != TextView::npos) {
      name = line.substr(0, eq);
      while (!name.empty() && IsProfileSpace(name.back())) name.remove_suffix(1);
      value = CString(SkipSpaces(line.substr(eq + 1)));
    }
    // A nameless line right after another nameless one is dropped.
    if (!name.empty() || !has_previous || previous_named) {
      sections.back().keys.push_back({CString(name), std::move(value)});
      has_previous = true;
      previous_named = !sections.back().keys.back().name.empty();
    }
  }
  return sections;
}

std::string Serialize(const std::vector<Section>& sections, Encoding encoding) {
  Text text;
  for (const Section& section : sections) {
    if (!section.name.empty()) text += u"[" + section.name + u"]\r\n";
    for (const Entry& key : section.keys) {
      text += key.name;
      if (key.value) text += u"=" + *key.value;
      text += u"\r\n";
    }
  }
  std::string bytes;
  switch (encoding) {
    case Encoding::kAnsi:
      return Cp936::FromUtf16(text);
    case Encoding::kUtf8:
      return "\xef\xbb\xbf" + Utf16ToUtf8(text);
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be: {
      bool little = encoding == Encoding::kUtf16Le;
      bytes = little ? "\xff\xfe" : "\xfe\xff";
      for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xff), hi = static_cast<char>(c >> 8);
        bytes.push_back(little ? lo : hi);
        bytes.push_back(little ? hi : lo);
      }
      break;
    }
  }
  return bytes;
}

// PROFILE_Find without creating: both names trimmed, only the first section of
// that name searched.
const Entry* FindKey(const std::vector<Section>& sections, TextView section, TextView key) {
  section = Trim(section);
  key = Trim(key);
  for (const Section& s : sections) {
    if (!SameName(s.name, section)) continue;
    for (const Entry& e : s.keys) {
      if (SameName(e.name, key)) return &e;
    }
    return nullptr;
  }
  return nullptr;
}

// PROFILE_Find creating: new names keep their trailing blanks, only leading ones go.
Entry& FindOrAddKey(std::vector<Section>& sections, TextView section, TextView key,
                    bool always_add) {
  for (Section& s : sections) {
    if (!SameName(s.name, Trim(section))) continue;
    if (!always_add) {
      for (Entry& e : s.keys) {
        if (SameName(e.name, Trim(key))) return e;
      }
    }
    s.keys.push_back({Text(SkipSpaces(key)), std::nullopt});
    return s.keys.back();
  }
  sections.push_back({Text(SkipSpaces(section)), {{Text(SkipSpaces(key)), std::nullopt}}});
  return sections.back().keys.back();
}

// PROFILE_DeleteKey: untrimmed names, and every section of that name is searched.
bool DeleteKey(std::vector<Section>& sections, TextView section, TextView key) {
  for (Section& s : sections) {
    if (!SameName(s.name, section)) continue;
    auto it = std::find_if(s.keys.begin(), s.keys.end(),
                           [&](const Entry& e) { return SameName(e.name, key); });
    if (it != s.keys.end()) {
      s.keys.erase(it);
      return true;
    }
  }
  return false;
}

// PROFILE_SetString; a null value deletes the key.
void SetString(Profile& profile, TextView section, TextView key, const Arg& value,
               bool always_add) {
  if (!value) {
    profile.changed = DeleteKey(profile.sections, section, key) || profile.changed;
    return;
  }
  Entry& entry = FindOrAddKey(profile.sections, section, key, always_add);
  TextView stripped = SkipSpaces(*value);
  if (entry.value && *entry.value == stripped) return;
  entry.value = Text(stripped);
  profile.changed = true;
}

// --- the wide buffer of the ...A wrappers -------------------------------------------

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
void CopyEntry(WideBuffer& buffer, TextView value, std::uint32_t len) {
  char16_t quote = 0;
  if (!value.empty() && (value.front() == u'\'' || value.front() == u'"') && value.size() > 1 &&
      value.back() == value.front()) {
    quote = value.front();
    value.remove_prefix(1);
  }
  buffer.CopyN(0, value, len);
  if (quote && len >= value.size()) buffer.Put(buffer.Length(0) - 1, 0);
}

std::int64_t Append(WideBuffer& buffer, std::int64_t ret, TextView name) {
  std::uint32_t size = buffer.size();
  buffer.CopyN(ret, name, static_cast<std::uint32_t>(size - ret - 1));
  return std::min<std::int64_t>(ret + static_cast<std::int64_t>(name.size()) + 1, size - 1);
}

// --- IniFileMapping ---------------------------------------------------------------

struct RegPath {
  RegRoot root;
  std::string path;  // ANSI, as the registry back end takes it
};

// A sub key as RegOpenKeyEx names it: a null or empty name is the key itself.
RegPath Child(const RegPath& key, const Arg& name) {
  if (!name || name->empty()) return key;
  return {key.root, key.path + "\\" + Cp936::FromUtf16(*name)};
}

enum class Access { kRead, kWrite, kCreate };

class ScopedKey {
 public:
  ScopedKey(RegistryBackend& registry, const RegPath& path, Access access) : registry_(registry) {
    Status status =
        access == Access::kCreate
            ? registry.CreateKey(path.root, path.path, key_)
            : registry.OpenKey(path.root, path.path,
                               access == Access::kRead ? kKeyRead : kKeyRead | kKeyWrite, key_);
    if (status != kSuccess) key_ = {};
  }
  ~ScopedKey() {
    if (key_) registry_.CloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  explicit operator bool() const { return static_cast<bool>(key_); }
  KeyHandle get() const { return key_; }

 private:
  RegistryBackend& registry_;
  KeyHandle key_;
};

struct MappedKey {
  bool mapped = false;
  std::optional<RegPath> key;  // nothing when the target key would not open
};

// The mapping as Wine 8 reads it: IniFileMapping\<file name> holds a sub key per
// section (its named or default value gives the target) or a value per section, or
// a default value that the section name is appended to.
class IniMapping {
 public:
  explicit IniMapping(RegistryBackend& registry) : registry_(registry) {}

  bool Exists(const RegPath& key) {
    return static_cast<bool>(ScopedKey(registry_, key, Access::kRead));
  }

  // RegGetValueW with RRF_RT_REG_SZ: other types do not count.
  std::optional<Text> GetString(const RegPath& key, TextView name) {
    ScopedKey k(registry_, key, Access::kRead);
    RegData data;
    if (!k || registry_.QueryValue(k.get(), Cp936::FromUtf16(name), data) != kSuccess ||
        data.type != kRegSz) {
      return std::nullopt;
    }
    return CString(Cp936::ToUtf16(data.bytes));
  }

  std::optional<Text> ValueName(const RegPath& key, std::uint32_t index) {
    ScopedKey k(registry_, key, Access::kRead);
    std::string name;
    RegData data;
    if (!k || registry_.EnumValue(k.get(), index, name, data) != kSuccess) return std::nullopt;
    return Cp936::ToUtf16(name);
  }

  bool SetString(const RegPath& key, TextView name, TextView value) {
    ScopedKey k(registry_, key, Access::kWrite);
    std::string bytes = Cp936::FromUtf16(value);
    bytes.push_back('\0');
    return k && registry_.SetValue(k.get(), Cp936::FromUtf16(name), kRegSz, bytes) == kSuccess;
  }

  bool DeleteValue(const RegPath& key, TextView name) {
    ScopedKey k(registry_, key, Access::kWrite);
    return k && registry_.DeleteValue(k.get(), Cp936::FromUtf16(name)) == kSuccess;
  }

  void DeleteAllValues(const RegPath& key) {
    while (auto name = ValueName(key, 0)) {
      if (!DeleteValue(key, *name)) break;
    }
  }

  // open_file_mapping_key: by the last component of the name as the caller gave it.
  std::optional<RegPath> FileKey(const Arg& file) {
    RegPath key{RegRoot::kLocalMachine, std::string(kMappingRoot)};
    if (file) {
      std::size_t last = 0;
      for (std::size_t i = 0; i + 1 < file->size(); ++i) {
        char16_t c = (*file)[i], next = (*file)[i + 1];
        if ((c == u'\\' || c == u'/' || c == u':') && next != u'\\' && next != u'/') last = i + 1;
      }
      key = Child(key, file->substr(last));
    }
    if (!Exists(key)) return std::nullopt;
    return key;
  }

  // open_mapped_key: "USR:" is under HKEY_CURRENT_USER, "SYS:" under
  // HKEY_LOCAL_MACHINE\Software; the !, # and @ modifiers are ignored.
  std::optional<RegPath> Target(TextView path, bool write) {
    while (!path.empty() &&
           (path.front() == u'!' || path.front() == u'#' || path.front() == u'@')) {
      path.remove_prefix(1);
    }
    RegPath target;
    if (path.starts_with(u"USR:")) {
      target = {RegRoot::kCurrentUser, Cp936::FromUtf16(path.substr(4))};
    } else if (path.starts_with(u"SYS:")) {
      target = {RegRoot::kLocalMachine, "Software\\" + Cp936::FromUtf16(path.substr(4))};
    } else {
      return std::nullopt;
    }
    if (!ScopedKey(registry_, target, write ? Access::kCreate : Access::kRead)) return std::nullopt;
    return target;
  }

  // get_mapped_section_key.
  MappedKey SectionKey(const Arg& file, const Arg& section, const Arg& name, bool write) {
    auto file_key = FileKey(file);
    if (!file_key) return {};
    std::optional<Text> path;
    RegPath sub = Child(*file_key, section);
    if (Exists(sub)) {
      if (name) path = GetString(sub, *name);
      if (!path) path = GetString(sub, u"");
    } else {
      path = GetString(*file_key, section.value_or(Text()));
      if (!path) {
        path = GetString(*file_key, u"");
        if (path) *path += u"\\" + section.value_or(Text());
      }
    }
    if (!path) return {};
    return {true, Target(*path, write)};
  }

  // get_mapped_section without values: the target key's value names.
  std::int64_t ListValues(const RegPath& key, WideBuffer& buffer) {
    std::int64_t ret = 0;
    for (std::uint32_t i = 0; auto name = ValueName(key, i); ++i) ret = Append(buffer, ret, *name);
    return ret;
  }

 private:
  RegistryBackend& registry_;
};

// --- the W calls --------------------------------------------------------------------

// GetFullPathName for drive paths: separators unified, "." and ".." resolved, and
// the trailing dots and blanks of the last component dropped.
Text FullPath(TextView path) {
  Text p(path);
  std::replace(p.begin(), p.end(), u'/', u'\\');
  if (p.size() < 3 || p[1] != u':' || p[2] != u'\\') return p;
  std::vector<Text> parts;
  std::size_t start = 3;
  while (start <= p.size()) {
    std::size_t end = std::min(p.find(u'\\', start), p.size());
    Text part = p.substr(start, end - start);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  Text out = p.substr(0, 3);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    Text part = parts[i];
    if (i + 1 < parts.size()) {
      if (part.back() == u'.') part.pop_back();
    } else {
      while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.pop_back();
    }
    out += part;
    if (i + 1 < parts.size() || p.back() == u'\\') out += u'\\';
  }
  return out;
}

class Engine {
 public:
  Engine(FileSystem& files, RegistryBackend& registry,
         const std::function<std::string()>& windows_directory)
      : files_(files), mapping_(registry), windows_directory_(windows_directory) {}

  // GetPrivateProfileStringW.
  std::int64_t GetString(const Arg& section, const Arg& entry, const Arg& default_value,
                         WideBuffer& buffer, const Arg& file) {
    std::uint32_t len = buffer.size();
    if (!len) return 0;
    Text def = default_value.value_or(Text());
    if (!section) return SectionNames(buffer, file);
    if (!entry) {
      std::int64_t ret = GetSection(file, *section, buffer);
      if (!buffer.At(0)) {
        CopyEntry(buffer, def, len);
        ret = buffer.Length(0);
      }
      return ret;
    }
    // Only blanks, and never the first character.
    std::size_t keep = def.size();
    while (keep > 1 && def[keep - 1] == u' ') --keep;
    def.resize(keep);

    MappedKey mapped = mapping_.SectionKey(file, section, entry, false);
    if (mapped.mapped) {
      std::optional<Text> value;
      if (mapped.key) value = mapping_.GetString(*mapped.key, *entry);
      buffer.CopyN(0, value ? *value : def, len);
      return buffer.Length(0);
    }
    Profile profile;
    if (!Open(file, false, profile)) {
      buffer.CopyN(0, def, len);
      return buffer.Length(0);
    }
    const Entry* key = FindKey(profile.sections, *section, *entry);
    CopyEntry(buffer, key && key->value ? *key->value : def, len);
    return buffer.Length(0);
  }

  // WritePrivateProfileStringW.
  bool WriteString(const Arg& section, const Arg& entry, const Arg& value, const Arg& file) {
    if (!section && !entry && !value) return false;  // the "flush the cache" call
    if (!entry) return DeleteSection(file, section);
    MappedKey mapped = mapping_.SectionKey(file, section, entry, true);
    if (mapped.mapped) {
      if (!mapped.key) return false;
      return value ? mapping_.SetString(*mapped.key, *entry, *value)
                   : mapping_.DeleteValue(*mapped.key, *entry);
    }
    Profile profile;
    if (!Open(file, true, profile) || !section) return false;
    SetString(profile, *section, *entry, value, false);
    return Flush(profile);
  }

  // WritePrivateProfileSectionW; entries is the list without its final terminator.
  bool WriteSection(const Arg& section, const Arg& entries, const Arg& file) {
    if (!section && !entries) return false;
    if (!entries) return DeleteSection(file, section);
    if (!section) return false;  // Wine dereferences the null name
    std::vector<std::pair<Text, Text>> pairs;
    for (std::size_t start = 0; start < entries->size() && (*entries)[start];) {
      std::size_t end = std::min(entries->find(u'\0', start), entries->size());
      TextView item = TextView(*entries).substr(start, end - start);
      if (std::size_t eq = item.find(u'='); eq != TextView::npos) {
        pairs.emplace_back(item.substr(0, eq), item.substr(eq + 1));
      }
      start = end + 1;
    }
    // A mapped file takes only the mapped names, deletes nothing and never
    // touches the file, whatever the section.
    if (mapping_.FileKey(file)) {
      for (const auto& [name, value] : pairs) {
        MappedKey mapped = mapping_.SectionKey(file, section, name, true);
        if (mapped.mapped && (!mapped.key || !mapping_.SetString(*mapped.key, name, value))) {
          return false;
        }
      }
      return true;
    }
    Profile profile;
    if (!Open(file, true, profile)) return false;
    for (Section& s : profile.sections) {
      if (SameName(s.name, *section) && !s.keys.empty()) {
        s.keys.clear();
        profile.changed = true;
      }
    }
    for (const auto& [name, value] : pairs) SetString(profile, *section, name, value, true);
    return Flush(profile);
  }

 private:
  // PROFILE_Open: a bare name lives in the Windows folder. A missing file opens
  // empty (it is created by the first write that changes something); a file that
  // cannot be read, or written when that is asked, does not open.
  bool Open(const Arg& file, bool write_access, Profile& profile) {
    Text name = file.value_or(u"win.ini");
    Text path;
    bool drive = name.size() >= 2 && name[1] == u':';
    if (!drive && name.find_first_of(u"\\/") == Text::npos) {
      path = Utf8ToUtf16(windows_directory_()) + u"\\" + name;
    } else {
      path = FullPath(name);
    }
    profile.path = Utf16ToUtf8(path);
    std::string bytes;
    Status status = files_.ReadFile(profile.path, bytes);
    if (status == kSuccess) {
      if (write_access) {
        auto entry = files_.Stat(profile.path);
        if (entry && (entry->attributes & kAttrReadOnly)) return false;
      }
      if (!bytes.empty()) profile.sections = Parse(DecodeFile(bytes, profile.encoding));
      return true;
    }
    return status == kFileNotFound && FolderExists(profile.path);
  }

  bool FolderExists(const std::string& path) {
    std::size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return true;
    std::string folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    auto entry = files_.Stat(folder);
    return entry && entry->is_directory();
  }

  // PROFILE_FlushFile: the whole file, in its encoding, only when something changed.
  bool Flush(Profile& profile) {
    if (!profile.changed) return true;
    profile.changed = false;
    return files_.WriteFile(profile.path, Serialize(profile.sections, profile.encoding)) ==
           kSuccess;
  }

  // GetPrivateProfileSectionNamesW: the mapped section names first.
  std::int64_t SectionNames(WideBuffer& buffer, const Arg& file) {
    std::int64_t ret = 0;
    if (auto key = mapping_.FileKey(file)) ret = mapping_.ListValues(*key, buffer);
    Profile profile;
    if (Open(file, false, profile)) ret += FileSectionNames(profile, buffer, ret);
    return ret;
  }

  // PROFILE_GetSectionNames on buffer + offset.
  static std::int64_t FileSectionNames(const Profile& profile, WideBuffer& buffer,
                                       std::int64_t offset) {
    auto len = static_cast<std::uint32_t>(buffer.size() - offset);
    if (!len) return 0;
    if (len == 1) {
      buffer.Put(offset, 0);
      return 0;
    }
    std::uint32_t room = len - 1;
    std::int64_t pos = offset;
    for (const Section& s : profile.sections) {
      if (s.name.empty()) continue;
      auto need = static_cast<std::uint32_t>(s.name.size() + 1);
      if (need >= room) {
        for (std::uint32_t i = 0; i + 1 < room; ++i) buffer.Put(pos++, s.name[i]);
        buffer.Put(pos++, 0);
        buffer.Put(pos, 0);
        return len - 2;
      }
      for (char16_t c : s.name) buffer.Put(pos++, c);
      buffer.Put(pos++, 0);
      room -= need;
    }
    buffer.Put(pos, 0);
    return pos - offset;
  }

  // get_section without values: a mapped section lists the mapped names that have
  // a value, or every value of the key the whole section maps to.
  std::int64_t GetSection(const Arg& file, const Text& section, WideBuffer& buffer) {
    std::int64_t ret = 0;
    bool from_file = true;
    if (auto file_key = mapping_.FileKey(file)) {
      RegPath sub = Child(*file_key, section);
      if (mapping_.Exists(sub)) {
        for (std::uint32_t i = 0; auto entry = mapping_.ValueName(sub, i); ++i) {
          auto path = mapping_.GetString(sub, *entry);
          auto target = path ? mapping_.Target(*path, false) : std::nullopt;
          if (!target) continue;
          if (!entry->empty()) {
            if (mapping_.GetString(*target, *entry)) ret = Append(buffer, ret, *entry);
          } else {
            ret = mapping_.ListValues(*target, buffer);  // sic: from the start again
            from_file = false;
          }
        }
      } else if (MappedKey mapped = mapping_.SectionKey(file, section, std::nullopt, false);
                 mapped.mapped) {
        ret = mapped.key ? mapping_.ListValues(*mapped.key, buffer) : 0;
        from_file = false;
      }
    }
    if (from_file) ret += FileSection(file, section, buffer, ret);
    return ret;
  }

  // PROFILE_GetSection without values on buffer + offset: the names of the keys
  // that have a value, comments left out; the section name is not trimmed.
  std::int64_t FileSection(const Arg& file, const Text& section, WideBuffer& buffer,
                           std::int64_t offset) {
    Profile profile;
    if (!Open(file, false, profile)) {
      buffer.Put(offset, 0);
      return 0;
    }
    for (const Section& s : profile.sections) {
      if (!SameName(s.name, section)) continue;
      auto len = static_cast<std::uint32_t>(buffer.size() - offset);
      const std::uint32_t old_len = len;
      std::int64_t pos = offset;
      for (const Entry& key : s.keys) {
        if (len <= 2) break;
        if (!key.value || (!key.name.empty() && key.name[0] == u';')) continue;
        buffer.CopyN(pos, key.name, len - 1);
        std::int64_t n = buffer.Length(pos);
        len -= static_cast<std::uint32_t>(n + 1);
        pos += n + 1;
        if (len < 2) break;
      }
      buffer.Put(pos, 0);
      if (len <= 1) {
        buffer.Put(pos - 1, 0);
        return static_cast<std::int32_t>(old_len - 2);
      }
      return old_len - len;
    }
    buffer.Put(offset, 0);
    buffer.Put(offset + 1, 0);
    return 0;
  }

  // delete_section: the mapped values go (the keys they live in are created if
  // need be), then the first section of that exact name in the file.
  bool DeleteSection(const Arg& file, const Arg& section) {
    if (!section) return false;  // Wine dereferences the null name
    if (auto file_key = mapping_.FileKey(file)) {
      RegPath sub = Child(*file_key, section);
      if (mapping_.Exists(sub)) {
        for (std::uint32_t i = 0; auto entry = mapping_.ValueName(sub, i); ++i) {
          auto path = mapping_.GetString(sub, *entry);
          auto target = path ? mapping_.Target(*path, true) : std::nullopt;
          if (!target) continue;
          if (!entry->empty()) {
            mapping_.DeleteValue(*target, *entry);
          } else {
            mapping_.DeleteAllValues(*target);
          }
        }
      } else if (MappedKey mapped = mapping_.SectionKey(file, section, std::nullopt, true);
                 mapped.key) {
        mapping_.DeleteAllValues(*mapped.key);
      }
    }
    Profile profile;
    if (!Open(file, true, profile)) return false;
    auto it = std::find_if(profile.sections.begin(), profile.sections.end(),
                           [&](const Section& s) { return SameName(s.name, *section); });
    if (it != profile.sections.end()) {
      profile.sections.erase(it);
      profile.changed = true;
      Flush(profile);  // Wine reports success whether or not the save worked
    }
    return true;
  }

  FileSystem& files_;
  IniMapping mapping_;
  const std::function<std::string()>& windows_directory_;
};

}  // namespace

PortableProfiles::PortableProfiles(FileSystem& files, RegistryBackend& registry,
                                   std::function<std::string()> windows_directory)
    : files_(files), registry_(registry), windows_directory_(std::move(windows_directory)) {}

// GetPrivateProfileStringA: the W call on a wide buffer of the same count, then
// its first ret characters converted into size - 1 bytes. When they do not fit
// the whole characters that did are kept, the rest of the buffer is untouched and
// size - 1 is reported.
std::uint32_t PortableProfiles::GetPrivateProfileString(const char* section, const char* key,
                                                        const char* default_value,
                                                        std::span<char> buffer, const char* file) {
  auto len = static_cast<std::uint32_t>(buffer.size());
  if (!buffer.data() || !len) return 0;
  WideBuffer wide(len);
  Engine engine(files_, registry_, windows_directory_);
  std::int64_t wide_count =
      engine.GetString(Widen(section), Widen(key), Widen(default_value), wide, Widen(file));
  std::uint32_t ret = 0;
  if (wide_count > 0) {
    bool fitted = false;
    std::size_t n = Cp936::FromUtf16Into(wide.Head(wide_count), buffer.data(), len - 1, fitted);
    ret = fitted ? static_cast<std::uint32_t>(n) : len - 1;
  }
  buffer[ret] = '\0';
  return ret;
}

bool PortableProfiles::WritePrivateProfileString(const char* section, const char* key,
                                                 const char* value, const char* file) {
  Engine engine(files_, registry_, windows_directory_);
  return engine.WriteString(Widen(section), Widen(key), Widen(value), Widen(file));
}

bool PortableProfiles::WritePrivateProfileSection(const char* section, const char* data,
                                                  const char* file) {
  Arg entries;
  if (data) {
    // The list through its final terminator, converted in one piece.
    const char* end = data;
    while (*end) end += std::string_view(end).size() + 1;
    entries = Cp936::ToUtf16(std::string_view(data, static_cast<std::size_t>(end - data) + 1));
    entries->pop_back();
  }
  Engine engine(files_, registry_, windows_directory_);
  return engine.WriteSection(Widen(section), entries, Widen(file));
}

}  // namespace korvanta
