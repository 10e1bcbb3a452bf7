#pragma once
// Shared test helpers: temporary folders, fresh Wine prefixes, running programs
// under Wine, whole-file reads and writes.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvanta::test {

// A temporary folder, deleted with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// The prefix that wineboot made for this test run (scripts/make-prefix), copied to
// dir/name; returns the copy. Fails the test when there is no template.
std::filesystem::path CopyFreshPrefix(const std::filesystem::path& dir,
                                      const std::string& name = "prefix");

struct RunResult {
  int status = -1;
  std::string out;  // standard output
};
// Runs a command with a shell, capturing standard output.
RunResult Run(const std::string& command);
// Runs a program under Wine on the given prefix (scripts/wine-run), in code page 936.
RunResult RunUnderWine(const std::filesystem::path& prefix, const std::vector<std::string>& args);
// Waits until no wineserver runs on the prefix any more.
void WaitForWineserver(const std::filesystem::path& prefix);
// The pid of a process whose working folder is dir, from /proc.
std::optional<long> ProcessWorkingIn(const std::filesystem::path& dir);

// Quotes a word for /bin/sh.
std::string ShellQuote(const std::string& word);

}  // namespace korvanta::test
