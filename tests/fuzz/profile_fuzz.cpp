// Fuzz target: the profile engine on a real machine folder. The input is a
// section, a key and a value, one a line, then the bytes of a profile file.
// Made legal, the value is written and must read back as written, and every
// other key that reads as plain text must read as it did before.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "store/portable/cp936.h"
#include "store/portable/file_system_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/profile_portable.h"
#include "store/portable/registry_portable.h"

namespace korvanta {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFile = "C:\\windows\\fuzz.ini";

fs::path NewMachineFolder() {
  std::string pattern = (fs::temp_directory_path() / "korvanta-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  fs::create_directories(fs::path(pattern) / "drive_c" / "windows");
  return pattern;
}

// A machine folder of its own for the whole run, removed at exit.
struct FuzzMachine {
  ~FuzzMachine() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root = NewMachineFolder();
  store::MachineFolder folder{root};
  store::PortableRegistry registry{root};
  store::PortableFileSystem files{folder, registry};
  store::PortableProfiles profiles{files, registry, [] { return std::string("C:\\windows"); }};
};

FuzzMachine& Machine() {
  static FuzzMachine machine;
  return machine;
}

void Check(bool ok, const char* what, const std::string& detail = "") {
  if (!ok) {
    std::fprintf(stderr, "profile_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
  }
}

// Printable ASCII without outer blanks: text a rewrite keeps as it reads. (A
// zero after blanks ends a value with them, and Wine's rewrite then drops them.)
bool Plain(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return text.empty() || (text.front() != ' ' && text.back() != ' ');
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

// Keeps letters, digits and inner blanks and dots: a name that reads back as written.
std::string LegalName(std::string_view raw, char fallback) {
  std::string name;
  for (char c : raw.substr(0, 40)) {
    const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '.' || c == '-' || c == ' ';
    name.push_back(word ? c : '_');
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(0, 1);
  return name.empty() ? std::string(1, fallback) : name;
}

// Printable ASCII and whole GBK characters that map both ways; no outer blanks
// and no quotes, which reading strips.
std::string LegalValue(std::string_view raw) {
  std::string value;
  raw = raw.substr(0, 200);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (c >= 0x81 && i + 1 < raw.size()) {
      const std::string pair(raw.substr(i, 2));
      const std::u16string wide = store::Cp936::ToUtf16(pair);
      if (wide.size() == 1 && wide[0] != u'?' && store::Cp936::FromUtf16(wide) == pair) {
        value += pair;
        ++i;
        continue;
      }
    }
    value.push_back(c >= 0x20 && c <= 0x7e && c != '"' && c != '\'' ? static_cast<char>(c) : 'x');
  }
  while (!value.empty() && value.back() == ' ') value.pop_back();
  while (!value.empty() && value.front() == ' ') value.erase(0, 1);
  return value;
}

std::vector<std::string> List(const char* section) {
  std::vector<char> buffer(1 << 16);
  const std::uint32_t n = Machine().profiles.GetPrivateProfileString(
      section, nullptr, "", std::span<char>(buffer), kFile);
  std::vector<std::string> names;
  if (n + 2 >= buffer.size()) return names;  // cut short: not a list to compare
  for (std::size_t start = 0; start < n;) {
    const std::string name(buffer.data() + start);
    names.push_back(name);
    start += name.size() + 1;
  }
  return names;
}

std::string Read(const char* section, const char* key) {
  std::vector<char> buffer(4096);
  const std::uint32_t n = Machine().profiles.GetPrivateProfileString(
      section, key, "\x01missing", std::span<char>(buffer), kFile);
  return std::string(buffer.data(), std::min<std::size_t>(n, buffer.size()));
}

}  // namespace
}  // namespace korvanta

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvanta;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view fields[3];
  for (std::string_view& field : fields) {
    const std::size_t nl = input.find('\n');
    field = input.substr(0, nl);
    input = nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1);
  }
  const std::string section = LegalName(fields[0], 's');
  std::string key = LegalName(fields[1], 'k');
  if (key[0] == ';' || key[0] == '[') key[0] = 'k';
  const std::string value = LegalValue(fields[2]);

  FuzzMachine& machine = Machine();
  {
    std::ofstream out(machine.root / "drive_c" / "windows" / "fuzz.ini", std::ios::binary);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  struct Known {
    std::string section, key, value;
  };
  std::map<std::pair<std::string, std::string>, Known> before;
  for (const std::string& s : List(nullptr)) {
    if (!Plain(s)) continue;
    for (const std::string& k : List(s.c_str())) {
      if (before.size() >= 64) break;
      if (!Plain(k) || (Lower(s) == Lower(section) && Lower(k) == Lower(key))) continue;
      const std::string v = Read(s.c_str(), k.c_str());
      if (Plain(v)) before.try_emplace({Lower(s), Lower(k)}, Known{s, k, v});
    }
  }

  Check(machine.profiles.WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(),
                                                   kFile),
        "a write failed");
  const std::string back = Read(section.c_str(), key.c_str());
  Check(back == value, "a value reads back otherwise:", value + " -> " + back);
  for (const auto& [where, was] : before) {
    const std::string now = Read(was.section.c_str(), was.key.c_str());
    Check(now == was.value, "another key changed:",
          "[" + was.section + "] " + was.key + "=" + was.value + " -> " + now);
  }
  return 0;
}
