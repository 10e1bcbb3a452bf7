#pragma once
// Profile-call scenarios that run unchanged through any ProfileBackend: starting
// files, starting registry state, a list of calls, and a transcript of what each
// call returned and left in the caller's buffer. The differential tests run them
// through the system under Wine and through the portable engine and compare.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/profile_backend.h"
#include "store/registry_backend.h"

namespace korvanta::test {

// Every text is ANSI (code page 936). Nothing stands for a NULL argument.
using OptText = std::optional<std::string>;

// File names in scenarios: "{dir}\name" is in the scenario's own folder, a bare
// name is left to the system (it resolves to the Windows folder).
inline constexpr std::string_view kScenarioDir = "{dir}";

struct ProfileCall {
  enum class Kind { kGet, kWrite, kWriteSection };
  Kind kind = Kind::kGet;
  OptText section;
  OptText key;
  // kGet: the default; kWrite: the value; kWriteSection: the "k=v" texts, each
  // followed by a zero (the list's final zero is added by the runner).
  OptText text;
  std::uint32_t capacity = 0;  // kGet only
  std::string file;
};

ProfileCall Get(OptText section, OptText key, OptText default_value, std::uint32_t capacity,
                std::string file);
ProfileCall Write(OptText section, OptText key, OptText value, std::string file);
ProfileCall WriteSection(OptText section, OptText data, std::string file);

struct StartFile {
  std::string name;  // as in calls: "{dir}\x.ini" or a bare name
  std::string bytes;
};

// A registry key the scenario sets up before it runs and compares afterwards.
struct StartKey {
  enum class Mode {
    kAbsent,   // deleted (when it has no sub keys left)
    kExactly,  // holds exactly the REG_SZ values given
    kWithout,  // kept as it is, minus the watched values
  };
  store::RegRoot root = store::RegRoot::kCurrentUser;
  std::string path;
  Mode mode = Mode::kAbsent;
  std::vector<std::pair<std::string, std::string>> values;  // kExactly
  std::vector<std::string> watched;  // kWithout: the values compared (others: all of them)
};

StartKey Absent(store::RegRoot root, std::string path);
StartKey Exactly(store::RegRoot root, std::string path,
                 std::vector<std::pair<std::string, std::string>> values);
StartKey Without(store::RegRoot root, std::string path, std::vector<std::string> watched);

// Wine keeps a file's tree in memory between calls and reads the file again only
// when it changed or is less than 2.1 s old. A read that follows a write leaving
// blanks at the end of a name or value (kept in memory, trimmed on reading) would
// depend on timing, so no scenario makes one.
struct ProfileScenario {
  std::string name;
  std::vector<StartFile> files;
  std::vector<StartKey> registry;
  std::vector<ProfileCall> calls;
};

const std::vector<ProfileScenario>& ProfileScenarios();
// The two halves of the list: plain files, and files the registry maps.
std::vector<ProfileScenario> FileScenarios();
std::vector<ProfileScenario> MappedScenarios();
const ProfileScenario* FindProfileScenario(std::string_view name);

// The scenario's folder and Windows-folder file names as the calls and the start
// files name them, each once.
std::vector<std::string> ScenarioFiles(const ProfileScenario& scenario);
// Whether a file name is bare (left to the Windows folder).
bool IsBareName(const std::string& name);
// A bare name as the Windows folder matches it: ASCII letters in lower case.
std::string LowerAscii(std::string name);
// A file name with "{dir}" replaced by the folder's Windows path.
std::string ResolveFile(const std::string& name, const std::string& dir);

// Runs the calls; dir is the Windows path of the scenario's folder. The buffer of
// every read is prefilled with a marker (and guarded past its end), so bytes the
// call leaves alone show in the transcript.
std::string RunProfileScenario(const ProfileScenario& scenario, store::ProfileBackend& profiles,
                               const std::string& dir);

// Puts the scenario's keys into their starting state.
void ResetRegistry(const ProfileScenario& scenario, store::RegistryBackend& registry);
// The compared registry state of the scenario's keys, one line per value.
std::string RegistrySnapshot(const ProfileScenario& scenario, store::RegistryBackend& registry);

// The full state of the scenario's keys, to put back what the scenario changed on
// a machine that outlives the test.
class RegistryBackup {
 public:
  RegistryBackup(const ProfileScenario& scenario, store::RegistryBackend& registry);
  void Restore();

 private:
  struct Saved {
    StartKey key;
    bool existed = false;
    std::vector<std::pair<std::string, store::RegData>> values;
  };
  store::RegistryBackend& registry_;
  std::vector<Saved> saved_;
};

// Scenario texts are written in UTF-8 here and given to the calls in code page 936.
std::string Ansi(std::string_view utf8);
// A file's bytes in UTF-16 (with its byte-order mark) from UTF-8 text.
std::string Utf16File(std::string_view utf8, bool big_endian);

// Bytes as printable text: ASCII as is, everything else (and '\') as \xHH.
std::string Escape(std::string_view bytes);

}  // namespace korvanta::test
