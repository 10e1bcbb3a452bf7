// An apply of a settings page the user opened and did not change leaves every
// setting meaning what it meant: the whole registry (HKLM and HKCU, so HKCR too)
// and the profile files are compared before and after each page's "设置", on a
// fresh wineboot prefix and, in the Linux build, on the demo machine. What may
// differ is in kAllowed, each with its reason.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/driven_program.h"
#include "support/test_machine.h"

#ifndef _WIN32
#include "data/demo_copy.h"
#endif

namespace korvanta::test {
namespace {

constexpr auto HKLM = store::RegRoot::kLocalMachine;
constexpr auto HKCU = store::RegRoot::kCurrentUser;

struct PageApply {
  const char* page;
  const char* tab;     // the label that shows the page
  const char* button;  // its "设置"
};
constexpr PageApply kPages[] = {
    {"personalisation", "Label3(1)", "Commandszgxh"}, {"desktop", "Label3(2)", "Commandszzm"},
    {"network", "Label3(3)", "Commandszwl"},          {"filesystem", "Label3(5)", "Commandszwj"},
    {"security", "Label3(6)", "Commandszaq"},         {"other", "Label3(7)", "Commandszqt"},
};

// A value an untouched apply may change from before to after (meanings, or
// kAbsent); kAny before: whatever it was; kAny after: what it meant before, in
// another type.
constexpr const char* kAny = nullptr;
constexpr const char* kAbsent = "(absent)";
struct Allowance {
  const char* page;
  store::RegRoot root;
  const char* key;
  const char* name;
  const char* before;
  const char* after;
  const char* reason;
};
constexpr const char* kPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kNetTrans = "SYSTEM\\CurrentControlSet\\Services\\Class\\NetTrans\\0000";
constexpr const char* kFileSystem = "System\\CurrentControlSet\\Control\\FileSystem";
const Allowance kAllowed[] = {
    {"personalisation", HKLM,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\{645FF040-5081-"
     "101B-9F08-00AA002F954E}",
     "", kAny, "回收站",
     "a shown icon's key gets the page's name back; the shell names the icon from its class"},
    {"personalisation", HKLM,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\{450D8FBA-AD25-"
     "11D0-98A8-0800361B1103}",
     "", kAny, "我的文档", "as above"},
    {"personalisation", HKLM, "Software\\Classes\\lnkfile", "IsShortCut", "yes", kAbsent,
     "Wine has it but not piffile's: with one of the two the arrow box loads ticked, and the "
     "Part deletes both"},
    {"personalisation", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "Link",
     kAny, kAbsent,
     "other than 0, like absent, it gives new shortcuts the prefix: unticked deletes it"},
    {"personalisation", HKCU, "Control panel\\Desktop", "PaintDesktopVersion", kAbsent, "0",
     "unticked writes 0, what absent means"},
    {"personalisation", HKCU, kPolicies, "NoInternetIcon", kAbsent, "0",
     "unticked writes 0, what absent means"},
    {"desktop", HKCU, "Control Panel\\desktop", "MenuShowDelay", kAny, kAny,
     "a slider writes its number as REG_DWORD"},
    {"desktop", HKCU, "Control Panel\\desktop\\WindowMetrics", "Shell Icon Size", kAbsent, "32",
     "absent, the slider stands at the standard size and writes it"},
    {"desktop", HKCU, "Control Panel\\desktop\\WindowMetrics", "Shell Icon Size", kAny, kAny,
     "a slider writes its number as REG_DWORD"},
    {"network", HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
     "NoNetAutodial", kAbsent, "0", "unticked writes 0, what absent means"},
    {"network", HKLM, "System\\CurrentControlSet\\Services\\Tcpip\\Parameters", "IPEnableRouter",
     kAbsent, "0", "unticked writes 0, what absent means"},
    {"network", HKLM, kNetTrans, "MaxMTU", kAny, "1500",
     "a stored receive window selects its preset, and the Part writes the preset's four values"},
    {"network", HKLM, kNetTrans, "IPMTU", kAny, "1500", "as above"},
    {"network", HKCU,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Content",
     "CacheLimit", kAbsent, "83173", "absent, the Part writes the default size"},
    {"filesystem", HKLM, kFileSystem, "Win31FileSystem", kAbsent, "0",
     "unticked writes 0, what absent means"},
    {"filesystem", HKLM, kFileSystem, "NameNumericTail", kAbsent, "1",
     "absent means numeric tails on: the box loads ticked and writes 1"},
    {"filesystem", HKCU, "Console", "QuickEdit", kAbsent, "0",
     "unticked writes 0, what absent means"},
    {"security", HKLM, "SOFTWARE\\CLASSES\\.reg", "", kAny, "regfile",
     "the Part: other than txtfile, unticked writes regfile"},
    {"security", HKCU, kPolicies, "NoDriveTypeAutoRun", kAbsent, "149",
     "unticked writes 149, the system's own mask"},
    {"other", HKLM, "System\\CurrentControlSet\\Control\\Shutdown", "FastReboot", kAbsent, "0",
     "unticked writes the text 0, what absent means"},
    {"other", HKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\WinLogon",
     "DontDisplayLastUserName", "0", kAbsent, "unticked deletes it; 0 meant what absent means"},
};

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// What a value means to the pages: the number of a REG_DWORD or a short
// REG_BINARY, the text of a string (a text that spells a number means it); the
// snapshot holds strings as UTF-8 up to their first zero.
std::string Meaning(const store::RegData& data) {
  if (data.type == store::kRegDword || (data.type == store::kRegBinary && data.bytes.size() <= 4)) {
    std::int32_t n = 0;
    std::memcpy(&n, data.bytes.data(), data.bytes.size());
    return std::to_string(n);
  }
  if (data.type == store::kRegSz || data.type == store::kRegExpandSz) return data.bytes;
  return "type " + std::to_string(data.type) + ": " + data.bytes;
}

// Every key and value of the machine's registry, by lower-cased path.
struct Snapshot {
  std::map<std::string, store::RegData> values;  // "root\key\\name"
  std::map<std::string, std::string> keys;
  std::map<std::string, std::optional<std::string>> files;
};

void Walk(store::RegistryBackend& reg, const store::Codepage& cp, store::RegRoot root,
          const std::string& path, Snapshot& shot) {
  store::KeyHandle key;
  if (reg.OpenKey(root, path, store::kKeyRead, key) != store::kSuccess) return;
  const std::string prefix = std::to_string(static_cast<std::uint32_t>(root)) + "\\" + Lower(path);
  shot.keys[prefix] = path;
  std::string name;
  store::RegData data;
  for (std::uint32_t i = 0; reg.EnumValue(key, i, name, data) == store::kSuccess; ++i) {
    if (data.type == store::kRegSz || data.type == store::kRegExpandSz) {
      data.bytes = cp.FromAnsi(data.bytes.substr(0, data.bytes.find('\0')));
    }
    shot.values[prefix + "\\\\" + Lower(name)] = data;
  }
  std::vector<std::string> subkeys;
  for (std::uint32_t i = 0; reg.EnumKey(key, i, name) == store::kSuccess; ++i)
    subkeys.push_back(name);
  reg.CloseKey(key);
  for (const std::string& sub : subkeys) {
    Walk(reg, cp, root, path.empty() ? sub : path + "\\" + sub, shot);
  }
}

Snapshot Take(store::Machine& machine) {
  Snapshot shot;
  for (store::RegRoot root : {HKLM, HKCU}) {
    Walk(machine.backend().registry(), machine.codepage(), root, "", shot);
  }
  const std::string w = machine.paths().WinDir(), s = machine.paths().SysDir();
  const std::string a = machine.paths().ProgramFolder() + "\\";
  for (const std::string& file : {w + "win.ini", w + "system.ini", w + "control.ini", w + "hosts",
                                  w + "hosts.sam", s + "drivers\\etc\\hosts", s + "oeminfo.ini",
                                  std::string("C:\\msdos.sys"), a + "set.ini", a + "filebak.ini"}) {
    std::string bytes;
    shot.files[file] = machine.files().ReadFile(file, bytes) == store::kSuccess
                           ? std::optional(bytes)
                           : std::nullopt;
  }
  return shot;
}

std::string ValuePath(store::RegRoot root, const std::string& key, const std::string& name) {
  return std::to_string(static_cast<std::uint32_t>(root)) + "\\" + Lower(key) + "\\\\" +
         Lower(name);
}

bool Allowed(const char* page, const std::string& path, const std::string& then,
             const std::string& now) {
  for (const Allowance& a : kAllowed) {
    if (std::strcmp(a.page, page) != 0 || ValuePath(a.root, a.key, a.name) != path) continue;
    if ((!a.before || then == a.before) &&
        (a.after ? now == a.after : then != kAbsent && then == now)) {
      return true;
    }
  }
  return false;
}

// The differences no allowance explains, one line each.
std::vector<std::string> Unexplained(const char* page, const Snapshot& before,
                                     const Snapshot& after) {
  std::vector<std::string> found;
  std::map<std::string, std::pair<const store::RegData*, const store::RegData*>> changed;
  for (const auto& [path, data] : before.values) changed[path].first = &data;
  for (const auto& [path, data] : after.values) changed[path].second = &data;
  std::vector<std::string> allowed_keys;
  for (const auto& [path, pair] : changed) {
    const auto [was, is] = pair;
    if (was && is && was->type == is->type && was->bytes == is->bytes) continue;
    const std::string then = was ? Meaning(*was) : kAbsent, now = is ? Meaning(*is) : kAbsent;
    if (!Allowed(page, path, then, now)) {
      found.push_back(path + ": " + then + " -> " + now);
    } else {
      allowed_keys.push_back(path.substr(0, path.find("\\\\")));
    }
  }
  // Keys come and go only with the values allowed in them.
  for (const auto* side : {&before.keys, &after.keys}) {
    const auto* other = side == &before.keys ? &after.keys : &before.keys;
    for (const auto& [path, key] : *side) {
      if (other->count(path)) continue;
      bool explained = false;
      for (const std::string& k : allowed_keys) explained |= k.rfind(path, 0) == 0;
      if (!explained) found.push_back(path + (side == &before.keys ? ": key gone" : ": key new"));
    }
  }
  for (const auto& [file, bytes] : before.files) {
    if (after.files.at(file) != bytes) found.push_back(file + ": changed");
  }
  return found;
}

// Starts the program on machine and applies every page untouched, one after the
// other; each page answers for what changed during its own apply.
void ApplyEveryPageUntouched(store::Machine& machine) {
  DrivenProgram driven(machine);
  driven.Drive("start\n");
  for (const PageApply& page : kPages) {
    SCOPED_TRACE(page.page);
    Snapshot before = Take(machine);
    driven.Drive(std::string("click ") + page.tab + "\nclick " + page.button + "\n");
    Snapshot after = Take(machine);
    for (const std::string& change : Unexplained(page.page, before, after)) ADD_FAILURE() << change;
  }
}

TEST(UntouchedApply, ChangesNothingOnAFreshPrefix) {
  TempDir dir;
  std::unique_ptr<store::Machine> machine = OpenTestMachine(dir);
  machine->reg().DeleteValue(HKLM, "SOFTWARE\\qrmtze", "password");
  ApplyEveryPageUntouched(*machine);
}

#ifndef _WIN32
TEST(UntouchedApply, ChangesNothingOnTheDemoMachine) {
  TempDir dir;
  store::Machine machine(store::OpenMachineFolder(CopyDemoMachine(dir.path())));
  ApplyEveryPageUntouched(machine);
}
#endif

}  // namespace
}  // namespace korvanta::test
