#include "diff/profile_scenarios.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "store/portable/cp936.h"
#include "store/utf.h"

namespace korvanta::test {
namespace {

constexpr char kMarker = '\x7e';  // '~': never a byte the calls produce in these scenarios
constexpr std::size_t kGuard = 8;

std::string Show(const OptText& text) {
  return text ? "\"" + Escape(*text) + "\"" : "NULL";
}

std::string RootName(store::RegRoot root) {
  switch (root) {
    case store::RegRoot::kClassesRoot:
      return "HKCR";
    case store::RegRoot::kCurrentUser:
      return "HKCU";
    case store::RegRoot::kLocalMachine:
      return "HKLM";
  }
  return "?";
}

class Key {
 public:
  Key(store::RegistryBackend& registry, const StartKey& start, bool create) : registry_(registry) {
    store::Status status =
        create ? registry.CreateKey(start.root, start.path, key_)
               : registry.OpenKey(start.root, start.path, store::kKeyRead | store::kKeyWrite, key_);
    if (status != store::kSuccess) key_ = {};
  }
  ~Key() {
    if (key_) registry_.CloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  explicit operator bool() const { return static_cast<bool>(key_); }
  store::KeyHandle get() const { return key_; }

  std::vector<std::pair<std::string, store::RegData>> Values() {
    std::vector<std::pair<std::string, store::RegData>> values;
    std::string name;
    store::RegData data;
    for (std::uint32_t i = 0; registry_.EnumValue(key_, i, name, data) == store::kSuccess; ++i) {
      values.emplace_back(name, data);
    }
    return values;
  }
  void DeleteAllValues() {
    for (const auto& [name, data] : Values()) registry_.DeleteValue(key_, name);
  }

 private:
  store::RegistryBackend& registry_;
  store::KeyHandle key_;
};

std::string ShowValue(const std::string& name, const store::RegData& data) {
  return "  \"" + Escape(name) + "\" type " + std::to_string(data.type) + " = " +
         Escape(data.bytes) + "\n";
}

}  // namespace

ProfileCall Get(OptText section, OptText key, OptText default_value, std::uint32_t capacity,
                std::string file) {
  return {ProfileCall::Kind::kGet,  std::move(section), std::move(key),
          std::move(default_value), capacity,           std::move(file)};
}

ProfileCall Write(OptText section, OptText key, OptText value, std::string file) {
  return {ProfileCall::Kind::kWrite,
          std::move(section),
          std::move(key),
          std::move(value),
          0,
          std::move(file)};
}

ProfileCall WriteSection(OptText section, OptText data, std::string file) {
  return {ProfileCall::Kind::kWriteSection,
          std::move(section),
          std::nullopt,
          std::move(data),
          0,
          std::move(file)};
}

const std::vector<ProfileScenario>& ProfileScenarios() {
  static const std::vector<ProfileScenario> all = [] {
    std::vector<ProfileScenario> list = FileScenarios();
    for (ProfileScenario& s : MappedScenarios()) list.push_back(std::move(s));
    return list;
  }();
  return all;
}

std::string Ansi(std::string_view utf8) {
  return store::Cp936().ToAnsi(utf8);
}

std::string Utf16File(std::string_view utf8, bool big_endian) {
  std::string bytes = big_endian ? "\xfe\xff" : "\xff\xfe";
  for (char16_t c : store::Utf8ToUtf16(utf8)) {
    char lo = static_cast<char>(c & 0xff), hi = static_cast<char>(c >> 8);
    bytes.push_back(big_endian ? hi : lo);
    bytes.push_back(big_endian ? lo : hi);
  }
  return bytes;
}

StartKey Absent(store::RegRoot root, std::string path) {
  return {root, std::move(path), StartKey::Mode::kAbsent, {}, {}};
}

StartKey Exactly(store::RegRoot root, std::string path,
                 std::vector<std::pair<std::string, std::string>> values) {
  return {root, std::move(path), StartKey::Mode::kExactly, std::move(values), {}};
}

StartKey Without(store::RegRoot root, std::string path, std::vector<std::string> watched) {
  return {root, std::move(path), StartKey::Mode::kWithout, {}, std::move(watched)};
}

const ProfileScenario* FindProfileScenario(std::string_view name) {
  for (const ProfileScenario& s : ProfileScenarios()) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

std::vector<std::string> ScenarioFiles(const ProfileScenario& scenario) {
  std::vector<std::string> names;
  auto add = [&](const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (const StartFile& f : scenario.files) add(f.name);
  for (const ProfileCall& c : scenario.calls) add(c.file);
  return names;
}

bool IsBareName(const std::string& name) {
  return name.rfind(kScenarioDir, 0) != 0;
}

std::string LowerAscii(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return name;
}

std::string ResolveFile(const std::string& name, const std::string& dir) {
  if (IsBareName(name)) return name;
  return dir + name.substr(kScenarioDir.size());
}

std::string Escape(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f && c != '\\') {
      out.push_back(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    }
  }
  return out;
}

std::string RunProfileScenario(const ProfileScenario& scenario, store::ProfileBackend& profiles,
                               const std::string& dir) {
  std::string transcript;
  for (const ProfileCall& call : scenario.calls) {
    std::string file = ResolveFile(call.file, dir);
    const char* section = call.section ? call.section->c_str() : nullptr;
    const char* key = call.key ? call.key->c_str() : nullptr;
    const char* text = call.text ? call.text->c_str() : nullptr;
    std::string line;
    switch (call.kind) {
      case ProfileCall::Kind::kGet: {
        std::string buffer(call.capacity + kGuard, kMarker);
        std::uint32_t ret = profiles.GetPrivateProfileString(
            section, key, text, std::span<char>(buffer.data(), call.capacity), file.c_str());
        line = "get(" + Show(call.section) + ", " + Show(call.key) + ", " + Show(call.text) + ", " +
               std::to_string(call.capacity) + ", " + Escape(call.file) +
               ") = " + std::to_string(ret) + " [" + Escape(buffer.substr(0, call.capacity)) + "]";
        if (buffer.find_first_not_of(kMarker, call.capacity) != std::string::npos) {
          line += " WROTE PAST THE BUFFER";
        }
        break;
      }
      case ProfileCall::Kind::kWrite:
        line = "write(" + Show(call.section) + ", " + Show(call.key) + ", " + Show(call.text) +
               ", " + Escape(call.file) + ") = " +
               std::to_string(profiles.WritePrivateProfileString(section, key, text, file.c_str()));
        break;
      case ProfileCall::Kind::kWriteSection:
        // c_str() ends the list: its own zero follows the last text's zero.
        line = "write_section(" + Show(call.section) + ", " + Show(call.text) + ", " +
               Escape(call.file) + ") = " +
               std::to_string(profiles.WritePrivateProfileSection(section, text, file.c_str()));
        break;
    }
    transcript += line + "\n";
  }
  return transcript;
}

void ResetRegistry(const ProfileScenario& scenario, store::RegistryBackend& registry) {
  // Children are listed after their parents: delete from the end, create from the start.
  for (auto it = scenario.registry.rbegin(); it != scenario.registry.rend(); ++it) {
    if (it->mode != StartKey::Mode::kAbsent) continue;
    {
      Key key(registry, *it, false);
      if (key) key.DeleteAllValues();
    }
    registry.DeleteKey(it->root, it->path);
  }
  for (const StartKey& start : scenario.registry) {
    if (start.mode == StartKey::Mode::kAbsent) continue;
    Key key(registry, start, start.mode == StartKey::Mode::kExactly);
    if (!key) continue;
    if (start.mode == StartKey::Mode::kWithout) {
      for (const std::string& name : start.watched) registry.DeleteValue(key.get(), name);
      continue;
    }
    key.DeleteAllValues();
    for (const auto& [name, text] : start.values) {
      registry.SetValue(key.get(), name, store::kRegSz, text + '\0');
    }
  }
}

std::string RegistrySnapshot(const ProfileScenario& scenario, store::RegistryBackend& registry) {
  std::string out;
  for (const StartKey& start : scenario.registry) {
    out += RootName(start.root) + "\\" + Escape(start.path) + ":";
    Key key(registry, start, false);
    if (!key) {
      out += " absent\n";
      continue;
    }
    out += "\n";
    if (start.mode == StartKey::Mode::kWithout) {
      for (const std::string& name : start.watched) {
        store::RegData data;
        if (registry.QueryValue(key.get(), name, data) == store::kSuccess) {
          out += ShowValue(name, data);
        } else {
          out += "  \"" + Escape(name) + "\" absent\n";
        }
      }
      continue;
    }
    for (const auto& [name, data] : key.Values()) out += ShowValue(name, data);
  }
  return out;
}

RegistryBackup::RegistryBackup(const ProfileScenario& scenario, store::RegistryBackend& registry)
    : registry_(registry) {
  for (const StartKey& start : scenario.registry) {
    Saved saved{start, false, {}};
    Key key(registry, start, false);
    if (key) {
      saved.existed = true;
      for (auto& [name, data] : key.Values()) {
        bool watched =
            start.mode != StartKey::Mode::kWithout ||
            std::find(start.watched.begin(), start.watched.end(), name) != start.watched.end();
        if (watched) saved.values.emplace_back(name, data);
      }
    }
    saved_.push_back(std::move(saved));
  }
}

void RegistryBackup::Restore() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->existed) continue;
    {
      Key key(registry_, it->key, false);
      if (key) key.DeleteAllValues();
    }
    registry_.DeleteKey(it->key.root, it->key.path);
  }
  for (const Saved& saved : saved_) {
    if (!saved.existed) continue;
    Key key(registry_, saved.key, true);
    if (!key) continue;
    if (saved.key.mode == StartKey::Mode::kWithout) {
      for (const std::string& name : saved.key.watched) registry_.DeleteValue(key.get(), name);
    } else {
      key.DeleteAllValues();
    }
    for (const auto& [name, data] : saved.values) {
      registry_.SetValue(key.get(), name, data.type, data.bytes);
    }
  }
}

}  // namespace korvanta::test
