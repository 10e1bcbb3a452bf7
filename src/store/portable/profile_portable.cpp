#include "store/portable/profile_portable.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "store/portable/cp936.h"
#include "store/portable/profile_mapping.h"
#include "store/portable/profile_text.h"
#include "store/utf.h"

// The engine follows the order of operations of Wine 8's dlls/kernel32/profile.c
// closely, because callers see its accidents: which buffer positions get written,
// which comparisons trim their arguments and which do not, and what the ...A
// wrappers make of a wide result that no longer fits once converted to GBK.

namespace korvanta::store {
namespace {

using namespace profile;

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
      if (ScopedKey sub = mapping_.Open(Child(*file_key, section))) {
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
      if (ScopedKey sub = mapping_.Open(Child(*file_key, section))) {
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

}  // namespace korvanta::store
