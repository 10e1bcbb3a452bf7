#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace korvanta::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device rd;
  std::mt19937_64 gen(rd());
  fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("korvanta-test-" + std::to_string(gen() % 1000000000));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
  return bytes;
}

fs::path PrefixTemplate() {
  const char* env = std::getenv("KORVANTA_PREFIX_TEMPLATE");
  return env ? fs::path(env) : fs::path(KORVANTA_SOURCE_DIR) / "build/prefix-template";
}

namespace {

// Mirrors the template cheaply: the registry and every small file are copied, the
// large ones (Wine's program and library files, which nobody writes) are linked.
void Mirror(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& e : fs::directory_iterator(from)) {
    fs::path target = to / e.path().filename();
    if (e.is_symlink()) {
      fs::create_symlink(fs::read_symlink(e.path()), target);
    } else if (e.is_directory()) {
      Mirror(e.path(), target);
    } else if (e.file_size() > 256 * 1024 && e.path().extension() != ".reg") {
      fs::create_symlink(e.path(), target);
    } else {
      fs::copy_file(e.path(), target);
    }
  }
}

}  // namespace

fs::path CopyFreshPrefix(const fs::path& dir, const std::string& name) {
  const fs::path templ = PrefixTemplate();
  if (!fs::exists(templ / "system.reg")) {
    ADD_FAILURE() << "no Wine prefix template at " << templ << " (run scripts/make-prefix)";
    return {};
  }
  fs::path target = dir / name;
  Mirror(templ, target);
  fs::remove(target / "wineserver");
  fs::remove(target / ".wine-version");
  return target;
}

std::string ShellQuote(const std::string& word) {
  std::string out = "'";
  for (char c : word) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

RunResult Run(const std::string& command) {
  RunResult result;
#ifdef _WIN32
  (void)command;
#else
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return result;
}

RunResult RunUnderWine(const fs::path& prefix, const std::vector<std::string>& args) {
  std::string command = "KORVANTA_WINEPREFIX=" + ShellQuote(prefix.string()) + " " +
                        ShellQuote(std::string(KORVANTA_SOURCE_DIR) + "/scripts/wine-run");
  for (const auto& a : args) command += " " + ShellQuote(a);
  return Run(command);
}

void WaitForWineserver(const fs::path& prefix) {
  Run("WINEPREFIX=" + ShellQuote(prefix.string()) + " wineserver -w");
}

std::optional<long> ProcessWorkingIn(const fs::path& dir) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc", ec)) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (fs::read_symlink(entry.path() / "cwd", ec) == dir) return std::stol(pid);
  }
  return std::nullopt;
}

#ifndef _WIN32

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  ::setenv(name, value.c_str(), 1);
}

ScopedEnv::ScopedEnv(const char* name) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (old_)
    ::setenv(name_, old_->c_str(), 1);
  else
    ::unsetenv(name_);
}

FileSizeLimit::FileSizeLimit(rlim_t limit) {
  ::getrlimit(RLIMIT_FSIZE, &saved_);
  old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit lower = saved_;
  lower.rlim_cur = limit;
  ::setrlimit(RLIMIT_FSIZE, &lower);
}

FileSizeLimit::~FileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &saved_);
  std::signal(SIGXFSZ, old_handler_);
}

#endif

}  // namespace korvanta::test
