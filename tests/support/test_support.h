#pragma once
// Shared test helpers: temporary folders, fresh Wine prefixes, running programs
// under Wine, whole-file reads and writes, a fixed clock, and on Linux changes
// to the environment and the file size limit that undo themselves.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "store/clock.h"

namespace korvanta::test {

// A clock stopped at one moment, so that dates in logs and titles are known.
class FixedClock final : public store::Clock {
 public:
  store::LocalTime Now() const override { return {2026, 12, 3, 22, 55, 0}; }
};

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
// The names of the entries of a folder, sorted.
std::vector<std::string> Names(const std::filesystem::path& dir);
// The UTF-16LE bytes of text, no terminator added.
std::string Utf16Le(std::u16string_view text);

// The prefix that wineboot made for this test run (scripts/make-prefix).
std::filesystem::path PrefixTemplate();
// That prefix copied to dir/name; returns the copy. Fails the test when there is
// no template.
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

#ifndef _WIN32

// Sets an environment variable, or unsets it, until the object goes; then the
// variable is as it was before.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  explicit ScopedEnv(const char* name);  // unsets it
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Makes writing files larger than limit bytes fail (EFBIG), as a full disk
// would, until the object goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*old_handler_)(int) = nullptr;
};

#endif

}  // namespace korvanta::test
