#pragma once
// IniFileMapping as Wine 8 reads it: which registry key a section of a profile
// file lives in instead of the file. Only the profile engine uses it.

#include <optional>
#include <string>
#include <string_view>

#include "store/portable/cp936.h"
#include "store/portable/profile_text.h"
#include "store/registry_backend.h"

namespace korvanta::store::profile {

inline constexpr std::string_view kMappingRoot =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping";

struct RegPath {
  RegRoot root;
  std::string path;  // ANSI, as the registry back end takes it
};

// A sub key as RegOpenKeyEx names it: a null or empty name is the key itself.
inline RegPath Child(const RegPath& key, const Arg& name) {
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

  bool Exists(const RegPath& key) { return static_cast<bool>(Open(key)); }
  // The key opened for reading, for several reads in a row; false when it would
  // not open.
  ScopedKey Open(const RegPath& key) { return ScopedKey(registry_, key, Access::kRead); }

  // RegGetValueW with RRF_RT_REG_SZ: other types do not count.
  std::optional<Text> GetString(const ScopedKey& key, TextView name) {
    RegData data;
    if (!key || registry_.QueryValue(key.get(), Cp936::FromUtf16(name), data) != kSuccess ||
        data.type != kRegSz) {
      return std::nullopt;
    }
    return CString(Cp936::ToUtf16(data.bytes));
  }
  std::optional<Text> GetString(const RegPath& key, TextView name) {
    return GetString(Open(key), name);
  }

  std::optional<Text> ValueName(const ScopedKey& key, std::uint32_t index) {
    std::string name;
    RegData data;
    if (!key || registry_.EnumValue(key.get(), index, name, data) != kSuccess) return std::nullopt;
    return Cp936::ToUtf16(name);
  }
  std::optional<Text> ValueName(const RegPath& key, std::uint32_t index) {
    return ValueName(Open(key), index);
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
    if (ScopedKey sub = Open(Child(*file_key, section))) {
      if (name) path = GetString(sub, *name);
      if (!path) path = GetString(sub, u"");
    } else {
      ScopedKey file_values = Open(*file_key);
      path = GetString(file_values, section.value_or(Text()));
      if (!path) {
        path = GetString(file_values, u"");
        if (path) *path += u"\\" + section.value_or(Text());
      }
    }
    if (!path) return {};
    return {true, Target(*path, write)};
  }

  // get_mapped_section without values: the target key's value names.
  std::int64_t ListValues(const RegPath& key, WideBuffer& buffer) {
    std::int64_t ret = 0;
    ScopedKey k = Open(key);
    for (std::uint32_t i = 0; auto name = ValueName(k, i); ++i) ret = Append(buffer, ret, *name);
    return ret;
  }

 private:
  RegistryBackend& registry_;
};

}  // namespace korvanta::store::profile
