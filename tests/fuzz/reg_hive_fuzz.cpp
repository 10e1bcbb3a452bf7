// Fuzz target: a registry file loaded, edited, saved and loaded again must hold
// what the edited hive held; saved unchanged it must come back byte for byte,
// and with every key written anew by our writer it must load to the same keys
// and values. Link walks through the file must end, whatever the file holds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/portable/reg_hive.h"

namespace korvanta {
namespace {

constexpr std::uint64_t kNow = 0x1d9fbfedb152000ull;

// A small generator seeded from the input, so each input edits its own way.
class Choices {
 public:
  explicit Choices(std::string_view bytes) {
    for (unsigned char c : bytes) state_ = (state_ ^ c) * 0x100000001b3ull;
  }
  std::uint32_t Below(std::uint32_t n) {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return n ? static_cast<std::uint32_t>((state_ >> 33) % n) : 0;
  }

 private:
  std::uint64_t state_ = 0xcbf29ce484222325ull;
};

void Keys(store::RegKey& key, std::vector<store::RegKey*>& out) {
  out.push_back(&key);
  for (store::RegKey* sub : key.subkeys()) Keys(*sub, out);
}

// Everything a hive tells about its keys, in order: names as spelled, values,
// classes, links and times.
std::string Content(store::RegHive& hive) {
  std::vector<store::RegKey*> keys;
  Keys(hive.root(), keys);
  std::string out;
  for (store::RegKey* key : keys) {
    for (const std::u16string& name : hive.PathOf(*key)) {
      out += store::Utf16ToBytes(name);
      out += '\\';
    }
    out += hive.IsLink(*key) ? "L" : "-";
    const std::u16string* cls = hive.Class(*key);
    if (cls) out += "C" + store::Utf16ToBytes(*cls);
    // A key the file only implies (no values, subkeys, no class) has no time of its own.
    if (!hive.Values(*key).empty() || key->subkeys().empty() || cls || hive.IsLink(*key)) {
      out += std::to_string(hive.ModificationTime(*key));
    }
    out += "\n";
    for (const store::RegValue& v : hive.Values(*key)) {
      out += store::Utf16ToBytes(v.name) + "=" + std::to_string(v.type) + ":" + v.data + "\n";
    }
  }
  return out;
}

std::u16string SomeName(Choices& choose) {
  static const char16_t kLetters[] = u"aAbB_z\x4e2d\x00e9 [\"]";
  std::u16string name;
  const std::uint32_t length = 1 + choose.Below(6);
  for (std::uint32_t i = 0; i < length; ++i) name.push_back(kLetters[choose.Below(13)]);
  return name;
}

void Edit(store::RegHive& hive, Choices& choose) {
  std::vector<store::RegKey*> keys;
  Keys(hive.root(), keys);
  store::RegKey& key = *keys[choose.Below(static_cast<std::uint32_t>(keys.size()))];
  const auto& values = hive.Values(key);
  switch (choose.Below(5)) {
    case 0: {
      const std::u16string name = SomeName(choose);
      if (!hive.Subkey(key, name)) hive.CreateSubkey(key, name, kNow);
      break;
    }
    case 1:
      hive.DeleteKey(key, kNow);
      break;
    case 2:
      if (!values.empty()) {
        const std::u16string name = values[choose.Below(values.size())].name;
        hive.DeleteValue(key, name, kNow);
      }
      break;
    default: {
      std::u16string name = SomeName(choose);
      if (!values.empty() && choose.Below(2)) name = values[choose.Below(values.size())].name;
      static const std::uint32_t kTypes[] = {
          store::kRegSz,    store::kRegExpandSz, store::kRegMultiSz, store::kRegBinary,
          store::kRegDword, store::kRegNone,     store::kRegLink,    0x1234};
      std::string data;
      const std::uint32_t length = choose.Below(200);
      for (std::uint32_t i = 0; i < length; ++i)
        data.push_back(static_cast<char>(choose.Below(256)));
      if (choose.Below(2)) data.append(2, '\0');
      hive.SetValue(key, name, kTypes[choose.Below(8)], data, kNow + choose.Below(1000));
      break;
    }
  }
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "reg_hive_fuzz: %s\n", what);
    std::abort();
  }
}

// Checks two texts are equal, showing the first line where they differ.
void CheckSame(const std::string& got, const std::string& expected, const char* what) {
  if (got == expected) return;
  std::size_t at = 0;
  while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
  const std::size_t line =
      expected.rfind('\n', at) == std::string::npos ? 0 : expected.rfind('\n', at) + 1;
  std::fprintf(stderr, "reg_hive_fuzz: expected \"%s\"\n  got \"%s\"\n",
               expected.substr(line, 160).c_str(), got.substr(line, 160).c_str());
  Check(false, what);
}

}  // namespace
}  // namespace korvanta

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvanta;
  const std::string text(reinterpret_cast<const char*>(data), size);
  {
    store::RegHive hive(text);
    const std::string content = Content(hive);
    Check(hive.Save() == text, "a hive saved unchanged differs from its file");

    // Walks through whatever links the file holds end, and find keys of this hive.
    store::RegNamespace space;
    space.Mount(hive.branch(), hive);
    std::vector<store::RegKey*> keys;
    Keys(hive.root(), keys);
    for (std::size_t i = 1; i < keys.size() && i < 64; ++i) {
      const std::vector<std::u16string> path = hive.PathOf(*keys[i]);
      const std::vector<std::u16string_view> names(path.begin(), path.end());
      const store::RegNamespace::Walk walk = space.Descend({&hive, &hive.root()}, names);
      Check(!walk.key || walk.key.hive == &hive, "a walk left the only hive");
    }

    // Every key written by our writer: the same keys and values come back.
    for (store::RegKey* key : keys) {
      const std::uint64_t t = hive.ModificationTime(*key);
      if (hive.SetValue(*key, u"\x01probe", store::kRegNone, "", t))
        hive.DeleteValue(*key, u"\x01probe", t);
    }
    if (hive.valid()) {
      store::RegHive again(hive.Save());
      CheckSame(Content(again), content, "a hive written anew loads to other content");
    }
  }
  {
    store::RegHive hive(text);
    Choices choose(text);
    const std::uint32_t edits = 1 + choose.Below(8);
    for (std::uint32_t i = 0; i < edits; ++i) Edit(hive, choose);
    if (hive.valid()) {
      const std::string saved = hive.Save();
      store::RegHive again(saved);
      CheckSame(Content(again), Content(hive), "an edited hive loads to other content");
      Check(again.Save() == saved, "a saved hive saved unchanged differs from its file");
    }
  }
  return 0;
}
