// The profile scenarios through kernel32 (under Wine) and through the portable
// engine in the same process: same transcripts, same files, same registry values.
// Both sides use the live registry; the keys a scenario touches are reset before
// each side runs and put back afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "diff/profile_scenarios.h"
#include "store/portable/profile_portable.h"
#include "store/win32/file_system_win32.h"
#include "store/win32/profile_win32.h"
#include "store/win32/registry_win32.h"
#include "store/win32/windows_api.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {

namespace fs = std::filesystem;

std::string SystemWindowsFolder() {
  char buffer[MAX_PATH];
  UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
  return std::string(buffer, n);
}

// Every file under a folder, by its path below it, with its bytes.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).generic_string()] = ReadBytes(entry.path());
    }
  }
  return files;
}

std::optional<std::string> FileBytes(const fs::path& file) {
  if (!fs::exists(file)) return std::nullopt;
  return ReadBytes(file);
}

void PutFile(const fs::path& file, const std::optional<std::string>& bytes) {
  if (bytes) {
    WriteBytes(file, *bytes);
  } else {
    std::error_code ec;
    fs::remove(file, ec);
  }
}

std::string Show(const std::optional<std::string>& bytes) {
  return bytes ? Escape(*bytes) : "(missing)";
}

class ProfileDiffUnderWine : public ::testing::TestWithParam<std::string> {};

TEST_P(ProfileDiffUnderWine, EngineMatchesTheSystem) {
  const ProfileScenario* scenario = FindProfileScenario(GetParam());
  ASSERT_NE(scenario, nullptr);
  // A 32-bit program on a 64-bit system sees two HKLM\Software, and Wine reads
  // IniFileMapping in the 64-bit one; the mappings this scenario writes land in
  // the 32-bit one. A 32-bit Windows, where the release runs, has one.
  BOOL wow64 = FALSE;
  if (scenario->name == "custom-mapping" && IsWow64Process(GetCurrentProcess(), &wow64) && wow64)
    GTEST_SKIP() << "IniFileMapping of a 32-bit program under WoW64";
  TempDir temp;
  const fs::path system_dir = temp.path() / "system";
  const fs::path engine_dir = temp.path() / "engine";
  const fs::path engine_windows = temp.path() / "engine-windows";
  const fs::path windows = SystemWindowsFolder();
  fs::create_directories(system_dir);
  fs::create_directories(engine_dir);
  fs::create_directories(engine_windows);

  store::Win32Registry registry;
  store::Win32FileSystem files;
  RegistryBackup registry_backup(*scenario, registry);
  std::map<std::string, std::optional<std::string>> bare_backup;
  for (const std::string& name : ScenarioFiles(*scenario)) {
    if (IsBareName(name)) bare_backup[LowerAscii(name)] = FileBytes(windows / LowerAscii(name));
  }

  for (const StartFile& start : scenario->files) {
    if (IsBareName(start.name)) {
      WriteBytes(windows / LowerAscii(start.name), start.bytes);
      WriteBytes(engine_windows / LowerAscii(start.name), start.bytes);
    } else {
      std::string below = start.name.substr(kScenarioDir.size() + 1);
      WriteBytes(system_dir / below, start.bytes);
      WriteBytes(engine_dir / below, start.bytes);
    }
  }
  // Bare names the scenario does not create start out as the system has them.
  for (const auto& [name, bytes] : bare_backup) {
    if (!fs::exists(engine_windows / name)) PutFile(engine_windows / name, bytes);
  }

  ResetRegistry(*scenario, registry);
  store::Win32Profiles system;
  std::string system_transcript = RunProfileScenario(*scenario, system, system_dir.string());
  std::string system_registry = RegistrySnapshot(*scenario, registry);

  ResetRegistry(*scenario, registry);
  store::PortableProfiles engine(files, registry, [&] { return engine_windows.string(); });
  std::string engine_transcript = RunProfileScenario(*scenario, engine, engine_dir.string());
  std::string engine_registry = RegistrySnapshot(*scenario, registry);

  std::map<std::string, std::pair<std::optional<std::string>, std::optional<std::string>>> bare;
  for (const auto& [name, saved] : bare_backup) {
    bare[name] = {FileBytes(windows / name), FileBytes(engine_windows / name)};
    PutFile(windows / name, saved);
  }
  registry_backup.Restore();

  EXPECT_EQ(engine_transcript, system_transcript);
  EXPECT_EQ(engine_registry, system_registry);
  auto system_files = Tree(system_dir), engine_files = Tree(engine_dir);
  for (const auto& [name, bytes] : system_files) {
    auto it = engine_files.find(name);
    EXPECT_TRUE(it != engine_files.end()) << name << " only written by the system";
    if (it != engine_files.end()) {
      EXPECT_EQ(Escape(it->second), Escape(bytes)) << name;
    }
  }
  for (const auto& [name, bytes] : engine_files) {
    EXPECT_TRUE(system_files.count(name)) << name << " only written by the engine";
  }
  for (const auto& [name, both] : bare) {
    EXPECT_EQ(Show(both.second), Show(both.first)) << "Windows folder: " << name;
  }
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const ProfileScenario& s : ProfileScenarios()) names.push_back(s.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ProfileDiffUnderWine, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& param_info) {
                           std::string name = param_info.param;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace korvanta::test
