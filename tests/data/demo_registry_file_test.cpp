// The demo machine's registry files are in wineserver's own format: our engine
// regenerates every block of them byte for byte, and Wine reads them and writes
// our values back unchanged.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "data/demo_copy.h"
#include "store/portable/cp936.h"
#include "store/portable/reg_hive.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {
namespace fs = std::filesystem;

const char* const kHives[] = {"system.reg", "user.reg"};

// Keys in wineserver's depth-first order, as the file's blocks must follow it.
void ForEachKey(store::RegKey& key, const std::function<void(store::RegKey&)>& visit) {
  for (store::RegKey* sub : key.subkeys()) {
    visit(*sub);
    ForEachKey(*sub, visit);
  }
}

// The first line where got differs from want, with its number; empty when equal.
std::string FirstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string la, lb;
  for (int line = 1;; ++line) {
    const bool more_a = static_cast<bool>(std::getline(a, la));
    const bool more_b = static_cast<bool>(std::getline(b, lb));
    if (!more_a && !more_b) return want == got ? "" : "the same lines, different line ends";
    if (!more_a || !more_b || la != lb) {
      return "line " + std::to_string(line) + "\n  want: " + (more_a ? la : "(end)") +
             "\n  got:  " + (more_b ? lb : "(end)");
    }
  }
}

bool HasBlock(store::RegHive& hive, store::RegKey& key) {
  return !hive.Values(key).empty() || key.subkeys().empty() || hive.Class(key) || hive.IsLink(key);
}

TEST(DemoRegistryFile, IsWrittenAsWineserverWritesIt) {
  for (const char* name : kHives) {
    SCOPED_TRACE(name);
    const std::string text = ReadBytes(DemoMachineTemplate() / name);
    store::RegHive hive(text);
    ASSERT_TRUE(hive.valid());
    EXPECT_EQ(hive.arch(), "win32") << "a Windows XP machine";

    // Header, then one block per key that needs one, in wineserver's order.
    std::string regenerated = store::RegHive::EmptyFile(hive.branch(), hive.arch());
    std::size_t keys = 0;
    ForEachKey(hive.root(), [&](store::RegKey& key) {
      if (!HasBlock(hive, key)) return;
      ++keys;
      std::vector<std::u16string> path = hive.PathOf(key);
      std::vector<const std::u16string*> names;
      for (const auto& n : path) names.push_back(&n);
      store::AppendRegKeyHead(regenerated, names, hive.ModificationTime(key), hive.Class(key),
                              hive.IsLink(key));
      for (const store::RegValue& value : hive.Values(key))
        store::AppendRegValue(regenerated, value);
    });
    EXPECT_GT(keys, 15u);
    EXPECT_EQ(FirstDifference(text, regenerated), "");
  }
}

TEST(DemoRegistryFile, EveryBlockRoundTripsThroughAChange) {
  for (const char* name : kHives) {
    SCOPED_TRACE(name);
    const std::string text = ReadBytes(DemoMachineTemplate() / name);
    store::RegHive hive(text);
    // Change every key and change it back at its own time: each block is then
    // written anew by the engine, and must come out as it was read.
    ForEachKey(hive.root(), [&](store::RegKey& key) {
      if (!HasBlock(hive, key)) return;
      const std::uint64_t time = hive.ModificationTime(key);
      std::vector<store::RegValue> values = hive.Values(key);
      if (values.empty()) {
        ASSERT_TRUE(hive.SetValue(key, u"probe", store::kRegDword, std::string(4, '\1'), time));
        ASSERT_TRUE(hive.DeleteValue(key, u"probe", time));
      }
      for (const store::RegValue& v : values) {
        ASSERT_TRUE(hive.SetValue(key, v.name, store::kRegBinary, v.data + "x", time));
        ASSERT_TRUE(hive.SetValue(key, v.name, v.type, v.data, time));
      }
    });
    ASSERT_TRUE(hive.modified());
    EXPECT_EQ(FirstDifference(text, hive.Save()), "");
  }
}

// The files under wine64: a 64-bit Wine refuses a prefix marked 32-bit, and 32-bit
// Wine cannot be installed here, so the copy differs from the template in its
// #arch line only. The copy lives in a prefix wineboot made, for Wine's own files.
class DemoRegistryUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = CopyFreshPrefix(dir_.path());
    ASSERT_FALSE(prefix_.empty());
    for (const char* name : kHives) {
      std::string text = ReadBytes(DemoMachineTemplate() / name);
      std::size_t arch = text.find("\n#arch=win32\n");
      ASSERT_NE(arch, std::string::npos);
      text.replace(arch, 13, "\n#arch=win64\n");
      fs::remove(prefix_ / name);
      WriteBytes(prefix_ / name, text);
    }
  }

  TempDir dir_;
  fs::path prefix_;
};

// Value lines of each block, by key line without its time.
std::map<std::string, std::set<std::string>> ValueLines(const std::string& text) {
  std::map<std::string, std::set<std::string>> keys;
  std::istringstream in(text);
  std::string line, key, value;
  auto flush = [&] {
    if (!value.empty()) keys[key].insert(value);
    value.clear();
  };
  while (std::getline(in, line)) {
    if (!value.empty() && value.back() == '\\') {
      value += "\n" + line;
      continue;
    }
    flush();
    if (line.rfind("[", 0) == 0) {
      key = line.substr(0, line.rfind(']') + 1);
      keys[key];
    } else if (!line.empty() && line[0] != '#' && line[0] != ';' && !key.empty()) {
      value = line;
    }
  }
  flush();
  return keys;
}

TEST_F(DemoRegistryUnderWine, WineReadsAndKeepsIt) {
  RunResult run = RunUnderWine(
      prefix_, {"reg", "query", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"});
  WaitForWineserver(prefix_);
  ASSERT_EQ(run.status, 0) << run.out;
  store::Cp936 gbk;
  EXPECT_NE(run.out.find(gbk.ToAnsi("输入法助手    REG_SZ    C:\\Program Files\\输入法助手\\"
                                    "imehelper.exe /tray")),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("UpdateCheck    REG_SZ    \"C:\\Program Files\\Common Files\\Shared "
                         "Update Service\\Update Agent\\updagent.exe\" /silent /schedule=daily "
                         "/time=12:30 /source=\"http://update.example.com/channels/stable/"
                         "windows-xp/x86/zh-cn/components/\" /log=\"C:\\Documents and "
                         "Settings\\All Users\\Application Data\\Update Agent\\Logs\\"
                         "updagent.log\" /retry=3"),
            std::string::npos)
      << "the long command line, whole";

  // wineserver saved both files at its exit. It sets what it measures on the host
  // itself (hardware, computer name, locale, keyboard, some shell folders); every
  // other value line of ours must come back as we wrote it.
  const std::set<std::string> kWineSetsItself = {
      "[HARDWARE\\\\DESCRIPTION\\\\System]",
      "[HARDWARE\\\\DESCRIPTION\\\\System\\\\CentralProcessor\\\\0]",
      "[HARDWARE\\\\DESCRIPTION\\\\System\\\\FloatingPointProcessor\\\\0]",
      "[SYSTEM\\\\CurrentControlSet\\\\Control\\\\ComputerName\\\\ComputerName]",
      "[SYSTEM\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment]",
      "[SYSTEM\\\\CurrentControlSet\\\\Services\\\\Tcpip\\\\Parameters]",
      "[Control Panel\\\\International]",
      "[Keyboard Layout\\\\Preload]",
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]",
  };
  for (const char* name : kHives) {
    SCOPED_TRACE(name);
    auto ours = ValueLines(ReadBytes(DemoMachineTemplate() / name));
    auto wines = ValueLines(ReadBytes(prefix_ / name));
    std::size_t kept = 0;
    for (const auto& [key, lines] : ours) {
      auto it = wines.find(key);
      ASSERT_NE(it, wines.end()) << key << " was lost";
      if (kWineSetsItself.count(key)) continue;
      for (const std::string& line : lines) {
        EXPECT_TRUE(it->second.count(line)) << key << "\n" << line;
        ++kept;
      }
    }
    EXPECT_GT(kept, 40u);
  }
}

}  // namespace
}  // namespace korvanta::test
