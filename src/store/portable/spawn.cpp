#include "store/portable/spawn.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace korvanta::store {
namespace fs = std::filesystem;

std::optional<fs::path> FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
    if (access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

bool SpawnDetached(const std::vector<std::string>& argv, const std::vector<std::string>& extra) {
  if (argv.empty()) return false;
  std::optional<fs::path> program = FindProgram(argv[0]);
  if (!program) return false;
  // Everything the child needs is prepared before fork.
  std::vector<std::string> env_strings;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    bool replaced = false;
    for (const auto& x : extra) {
      std::size_t eq = x.find('=');
      if (entry.compare(0, eq + 1, x, 0, eq + 1) == 0) replaced = true;
    }
    if (!replaced) env_strings.push_back(entry);
  }
  env_strings.insert(env_strings.end(), extra.begin(), extra.end());
  std::vector<char*> envp, args;
  for (auto& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> arg_strings = argv;
  for (auto& s : arg_strings) args.push_back(s.data());
  args.push_back(nullptr);
  std::string exe = program->string();

  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    // Twice, so the program is nobody's child of ours and leaves no zombie.
    setsid();
    pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 0);
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    execve(exe.c_str(), args.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace korvanta::store
