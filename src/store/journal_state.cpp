#include "store/journal_state.h"

#include <cstdint>
#include <cstdio>

#include "store/utf.h"

namespace korvanta::store {
namespace {

constexpr char kHex[] = "0123456789abcdef";
// A default no profile file holds: what GetPrivateProfileString gives for a key
// that is not there.
constexpr char kAbsent[] = "\x01\x02korvanta-absent\x02\x01";

std::string Hex(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::optional<std::string> Unhex(std::string_view hex) {
  if (hex.size() % 2) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    auto digit = [](char c) {
      return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    int hi = digit(hex[i]), lo = digit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

// ANSI text as the journal writes it: readable where it reads back unchanged.
std::string TextToken(const Codepage& codepage, std::string_view ansi) {
  if (ansi.find('\0') == std::string_view::npos) {
    std::string utf8 = codepage.FromAnsi(ansi);
    if (codepage.ToAnsi(utf8) == ansi) return "t:" + utf8;
  }
  return "x:" + Hex(ansi);
}

std::optional<std::string> TextOfToken(const Codepage& codepage, std::string_view token) {
  if (token.rfind("t:", 0) == 0) return codepage.ToAnsi(token.substr(2));
  if (token.rfind("x:", 0) == 0) return Unhex(token.substr(2));
  return std::nullopt;
}

const char* TypeName(std::uint32_t type) {
  switch (type) {
    case kRegNone:
      return "none";
    case kRegSz:
      return "sz";
    case kRegExpandSz:
      return "expand_sz";
    case kRegBinary:
      return "binary";
    case kRegDword:
      return "dword";
    case kRegMultiSz:
      return "multi_sz";
    default:
      return nullptr;
  }
}

std::optional<std::uint32_t> TypeOfName(std::string_view name) {
  for (std::uint32_t t : {kRegNone, kRegSz, kRegExpandSz, kRegBinary, kRegDword, kRegMultiSz}) {
    if (name == TypeName(t)) return t;
  }
  if (name.empty() || name.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(std::string(name)));
}

class Key {
 public:
  Key(RegistryBackend& registry, RegRoot root, std::string_view path, bool create)
      : registry_(registry) {
    Status s = create ? registry.CreateKey(root, path, key_)
                      : registry.OpenKey(root, path, kKeyRead | kKeyWrite, key_);
    if (s != kSuccess) key_ = {};
  }
  ~Key() {
    if (key_) registry_.CloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  KeyHandle get() const { return key_; }
  explicit operator bool() const { return static_cast<bool>(key_); }

 private:
  RegistryBackend& registry_;
  KeyHandle key_;
};

std::string ProfileString(ProfileBackend& profiles, const char* section, const char* key,
                          const char* file) {
  std::string buffer(1 << 16, '\0');
  std::uint32_t n = profiles.GetPrivateProfileString(section, key, kAbsent, buffer, file);
  buffer.resize(n);
  return buffer;
}

// The names of a list GetPrivateProfileString gives for a null section or key.
std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at < list.size();) {
    std::size_t zero = list.find('\0', at);
    if (zero == std::string::npos) zero = list.size();
    if (zero > at) names.push_back(list.substr(at, zero - at));
    at = zero + 1;
  }
  return names;
}

JournalState FileState(FileSystem& files, const std::string& path) {
  std::optional<FileEntry> e = files.Stat(path);
  if (!e) return {"absent"};
  if (e->is_directory()) return {"folder"};
  return {"present", std::to_string(e->size), std::to_string(e->modified)};
}

}  // namespace

std::string ShortRootName(RegRoot root) {
  switch (root) {
    case RegRoot::kClassesRoot:
      return "HKCR";
    case RegRoot::kCurrentUser:
      return "HKCU";
    case RegRoot::kLocalMachine:
      return "HKLM";
  }
  return "?";
}

std::optional<RegRoot> RootOfShortName(std::string_view name) {
  for (RegRoot r : {RegRoot::kClassesRoot, RegRoot::kCurrentUser, RegRoot::kLocalMachine}) {
    if (name == ShortRootName(r)) return r;
  }
  return std::nullopt;
}

JournalState ValueState(const Codepage& codepage, const std::optional<RegData>& data) {
  if (!data) return {"absent"};
  const char* name = TypeName(data->type);
  std::string type = name ? name : std::to_string(data->type);
  const std::string& b = data->bytes;
  if ((data->type == kRegSz || data->type == kRegExpandSz) && !b.empty() && b.back() == '\0') {
    std::string token = TextToken(codepage, std::string_view(b).substr(0, b.size() - 1));
    if (token.rfind("t:", 0) == 0) return {type, token};
  }
  if (data->type == kRegDword && b.size() == 4) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return {type, "d:" + std::to_string(v)};
  }
  return {type, "x:" + Hex(b)};
}

std::optional<RegData> ValueOfState(const Codepage& codepage, const JournalState& state) {
  if (state.size() != 2) return std::nullopt;
  std::optional<std::uint32_t> type = TypeOfName(state[0]);
  if (!type) return std::nullopt;
  RegData data{*type, {}};
  const std::string& token = state[1];
  if (token.rfind("t:", 0) == 0) {
    data.bytes = codepage.ToAnsi(token.substr(2)) + '\0';
  } else if (token.rfind("d:", 0) == 0) {
    std::uint32_t v = static_cast<std::uint32_t>(std::stoul(token.substr(2)));
    for (int i = 0; i < 4; ++i) data.bytes += static_cast<char>((v >> (8 * i)) & 0xff);
  } else if (std::optional<std::string> bytes = TextOfToken(codepage, token)) {
    data.bytes = *bytes;  // hex: the bytes as they are
  } else {
    return std::nullopt;
  }
  return data;
}

JournalState EntryState(const Codepage& codepage, const std::optional<std::string>& ansi) {
  if (!ansi) return {"absent"};
  return {TextToken(codepage, *ansi)};
}

JournalState CurrentState(MachineBackend& machine, const JournalChange& c) {
  const Codepage& cp = machine.codepage();
  auto field = [&](std::size_t i) { return i < c.where.size() ? cp.ToAnsi(c.where[i]) : ""; };
  if (c.kind == "value" || c.kind == "key") {
    std::optional<RegRoot> root = RootOfShortName(c.where.empty() ? "" : c.where[0]);
    if (!root) return {};
    KeyHandle key;
    if (machine.registry().OpenKey(*root, field(1), kKeyRead, key) != kSuccess) return {"absent"};
    JournalState state{"present"};
    if (c.kind == "value") {
      RegData data;
      Status s = machine.registry().QueryValue(key, field(2), data);
      state = ValueState(cp, s == kSuccess ? std::optional<RegData>(data) : std::nullopt);
    }
    machine.registry().CloseKey(key);
    return state;
  }
  if (c.kind == "entry") {
    std::string file = field(0), section = field(1), key = field(2);
    std::string value =
        ProfileString(machine.profiles(), section.c_str(), key.c_str(), file.c_str());
    return EntryState(cp, value == kAbsent ? std::nullopt : std::optional<std::string>(value));
  }
  if (c.kind == "section") {
    std::string file = field(0), section = field(1);
    for (const std::string& name :
         Names(ProfileString(machine.profiles(), nullptr, nullptr, file.c_str()))) {
      if (EqualsIgnoreCase(cp.FromAnsi(name), c.where[1])) return {"present"};
    }
    return {"absent"};
  }
  const std::string path = c.where.empty() ? "" : c.where[0];
  if (c.kind == "file") return FileState(machine.files(), path);
  if (c.kind == "folder") {
    std::optional<FileEntry> e = machine.files().Stat(path);
    return {e && e->is_directory() ? "present" : "absent"};
  }
  if (c.kind == "attributes") {
    std::optional<FileEntry> e = machine.files().Stat(path);
    return {e ? std::to_string(e->attributes) : "absent"};
  }
  return {};
}

bool RestoreBefore(MachineBackend& machine, const JournalChange& c) {
  const Codepage& cp = machine.codepage();
  auto field = [&](std::size_t i) { return i < c.where.size() ? cp.ToAnsi(c.where[i]) : ""; };
  const std::string before = c.before.empty() ? "" : c.before[0];
  RegistryBackend& reg = machine.registry();
  if (c.kind == "value") {
    std::optional<RegRoot> root = RootOfShortName(c.where.empty() ? "" : c.where[0]);
    if (!root) return false;
    if (before == "absent") {
      Key key(reg, *root, field(1), false);
      if (!key) return true;
      Status s = reg.DeleteValue(key.get(), field(2));
      return s == kSuccess || s == kFileNotFound;
    }
    std::optional<RegData> data = ValueOfState(cp, c.before);
    Key key(reg, *root, field(1), true);
    return data && key && reg.SetValue(key.get(), field(2), data->type, data->bytes) == kSuccess;
  }
  if (c.kind == "key") {
    std::optional<RegRoot> root = RootOfShortName(c.where.empty() ? "" : c.where[0]);
    if (!root) return false;
    if (before == "absent") {
      Status s = reg.DeleteKey(*root, field(1));
      return s == kSuccess || s == kFileNotFound;
    }
    Key key(reg, *root, field(1), true);
    return static_cast<bool>(key);
  }
  if (c.kind == "entry") {
    std::string file = field(0), section = field(1), key = field(2);
    if (before == "absent")
      return machine.profiles().WritePrivateProfileString(section.c_str(), key.c_str(), nullptr,
                                                          file.c_str());
    std::optional<std::string> value = TextOfToken(cp, before);
    return value && machine.profiles().WritePrivateProfileString(section.c_str(), key.c_str(),
                                                                 value->c_str(), file.c_str());
  }
  if (c.kind == "section") {
    std::string file = field(0), section = field(1);
    if (before == "absent")
      return machine.profiles().WritePrivateProfileString(section.c_str(), nullptr, nullptr,
                                                          file.c_str());
    if (CurrentState(machine, c) == JournalState{"present"}) return true;
    return machine.profiles().WritePrivateProfileSection(section.c_str(), "\0", file.c_str());
  }
  FileSystem& files = machine.files();
  const std::string path = c.where.empty() ? "" : c.where[0];
  if (c.kind == "file") {
    if (before == "absent") {
      Status s = files.DeleteFile(path, true);
      return s == kSuccess || s == kFileNotFound;
    }
    if (before == "copy" && c.before.size() == 2)
      return files.CopyFile(c.before[1], path, true) == kSuccess;
    return false;
  }
  if (c.kind == "folder") {
    if (before == "absent") return files.RemoveDirectory(path) == kSuccess || !files.Stat(path);
    return files.CreateDirectory(path) == kSuccess;
  }
  if (c.kind == "attributes" && before != "absent") {
    return files.SetAttributes(path, static_cast<std::uint32_t>(std::stoul(before))) == kSuccess;
  }
  return false;
}

std::string DescribeTarget(const JournalChange& c) {
  auto at = [&](std::size_t i) { return i < c.where.size() ? c.where[i] : std::string(); };
  if (c.kind == "value")
    return at(0) + "\\" + at(1) + "\\" + (at(2).empty() ? std::string("(默认)") : at(2));
  if (c.kind == "key") return at(0) + "\\" + at(1);
  if (c.kind == "entry") return at(0) + " [" + at(1) + "] " + at(2);
  if (c.kind == "section") return at(0) + " [" + at(1) + "]";
  if (c.kind == "attributes") return at(0) + " 的属性";
  return at(0);
}

std::string DescribeState(const JournalChange& c, const JournalState& s) {
  if (s.empty()) return "(未知)";
  if (s[0] == "absent") return "(无)";
  if (s[0] == "present" && s.size() == 1) return "(有)";
  if (s[0] == "present" && s.size() >= 2) return "(" + s[1] + " 字节)";
  if (s[0] == "copy" && s.size() == 2) return "(副本 " + s[1] + ")";
  if (s[0] == "lost") return "(未保存副本)";
  if (s[0] == "folder") return "(文件夹)";
  if (c.kind == "attributes") return s[0];
  const std::string& token = s.back();
  std::string shown = token.rfind("t:", 0) == 0   ? "\"" + token.substr(2) + "\""
                      : token.rfind("d:", 0) == 0 ? token.substr(2)
                      : token.rfind("x:", 0) == 0 ? token.substr(2)
                                                  : token;
  return s.size() == 2 ? s[0] + " " + shown : shown;
}

}  // namespace korvanta::store
