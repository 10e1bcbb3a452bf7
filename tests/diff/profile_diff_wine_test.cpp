// The profile scenarios through Wine (a small Windows probe on a fresh prefix)
// and through the portable engine on a second fresh prefix laid out the same way:
// same transcripts, same files, and the same registry once both are saved.
//
// One Wine start runs every scenario (each in its own folder): a prefix copy and
// a Wine start per scenario would cost minutes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "diff/profile_scenarios.h"
#include "store/portable/file_system_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/profile_portable.h"
#include "store/portable/registry_portable.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFolder = "C:\\kvdiff";

void LayOut(const fs::path& prefix) {
  for (const ProfileScenario& scenario : ProfileScenarios()) {
    fs::create_directories(prefix / "drive_c/kvdiff" / scenario.name);
    for (const StartFile& start : scenario.files) {
      if (IsBareName(start.name)) {
        WriteBytes(prefix / "drive_c/windows" / LowerAscii(start.name), start.bytes);
      } else {
        std::string below = start.name.substr(kScenarioDir.size() + 1);
        std::replace(below.begin(), below.end(), '\\', '/');
        WriteBytes(prefix / "drive_c/kvdiff" / scenario.name / below, start.bytes);
      }
    }
  }
}

std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).generic_string()] = ReadBytes(entry.path());
    }
  }
  return files;
}

// A file of the Windows folder, found as Wine finds it: by name, case ignored.
std::string WindowsFile(const fs::path& prefix, const std::string& name) {
  for (const auto& entry : fs::directory_iterator(prefix / "drive_c/windows")) {
    if (LowerAscii(entry.path().filename().string()) == LowerAscii(name)) {
      return Escape(ReadBytes(entry.path()));
    }
  }
  return "(missing)";
}

// Every key any scenario sets up, once, for comparing the saved registries.
ProfileScenario AllKeys() {
  ProfileScenario all;
  std::set<std::pair<store::RegRoot, std::string>> seen;
  for (const ProfileScenario& scenario : ProfileScenarios()) {
    for (const StartKey& key : scenario.registry) {
      if (seen.insert({key.root, LowerAscii(key.path)}).second) all.registry.push_back(key);
    }
  }
  return all;
}

// The probe's output, by scenario name.
std::map<std::string, std::string> SplitByScenario(const std::string& out) {
  std::map<std::string, std::string> parts;
  std::string name;
  std::size_t pos = 0;
  while (pos < out.size()) {
    std::size_t end = out.find('\n', pos);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(pos, end - pos);
    if (line.rfind("=== ", 0) == 0) {
      name = line.substr(4);
    } else {
      parts[name] += line + "\n";
    }
    pos = end + 1;
  }
  return parts;
}

TEST(ProfileDiffAgainstWine, EveryScenarioMatchesWine) {
  TempDir temp;
  const fs::path wine = CopyFreshPrefix(temp.path(), "wine");
  const fs::path mine = CopyFreshPrefix(temp.path(), "engine");
  ASSERT_FALSE(wine.empty());
  ASSERT_FALSE(mine.empty());
  LayOut(wine);
  LayOut(mine);

  std::vector<std::string> args = {KORVANTA_PROFILE_PROBE, kFolder};
  for (const ProfileScenario& scenario : ProfileScenarios()) args.push_back(scenario.name);
  RunResult probe = RunUnderWine(wine, args);
  WaitForWineserver(wine);
  ASSERT_EQ(probe.status, 0) << probe.out;
  std::map<std::string, std::string> from_wine = SplitByScenario(probe.out);

  {
    store::MachineFolder folder(mine);
    store::PortableRegistry registry(mine);
    store::PortableFileSystem files(folder, registry);
    store::PortableProfiles engine(files, registry, [] { return std::string("C:\\windows"); });
    for (const ProfileScenario& scenario : ProfileScenarios()) {
      SCOPED_TRACE(scenario.name);
      registry.BeginAction();  // one save per scenario, not one per value
      ResetRegistry(scenario, registry);
      std::string out =
          RunProfileScenario(scenario, engine, std::string(kFolder) + "\\" + scenario.name);
      out += "--registry--\n" + RegistrySnapshot(scenario, registry);
      registry.EndAction();
      EXPECT_EQ(registry.TakeWriteError(), "");
      EXPECT_EQ(out, from_wine[scenario.name]);
    }
  }

  // The registries as saved: Wine's by its wineserver, ours by the engine's writes.
  ProfileScenario all = AllKeys();
  store::PortableRegistry wine_saved(wine), engine_saved(mine);
  EXPECT_EQ(RegistrySnapshot(all, engine_saved), RegistrySnapshot(all, wine_saved));

  auto wine_files = Tree(wine / "drive_c/kvdiff"), engine_files = Tree(mine / "drive_c/kvdiff");
  for (const auto& [name, bytes] : wine_files) {
    auto it = engine_files.find(name);
    EXPECT_TRUE(it != engine_files.end()) << name << " only written by Wine";
    if (it != engine_files.end()) {
      EXPECT_EQ(Escape(it->second), Escape(bytes)) << name;
    }
  }
  for (const auto& [name, bytes] : engine_files) {
    EXPECT_TRUE(wine_files.count(name)) << name << " only written by the engine";
  }
  for (const ProfileScenario& scenario : ProfileScenarios()) {
    for (const std::string& name : ScenarioFiles(scenario)) {
      if (IsBareName(name)) {
        EXPECT_EQ(WindowsFile(mine, name), WindowsFile(wine, name)) << "Windows folder: " << name;
      }
    }
  }
}

}  // namespace
}  // namespace korvanta::test
