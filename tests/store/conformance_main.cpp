// Opens the machine the conformance suite runs against, per build.

#include <cstdlib>
#include <filesystem>

#include "store/conformance.h"
#include "support/test_support.h"

#ifdef _WIN32
#include "store/win32/machine_win32.h"
#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"
// After windows.h, which it needs.
#include <winioctl.h>
#else
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "store/portable/file_tools_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/machine_portable.h"
#endif

namespace korvanta::test {

#ifdef _WIN32

ConformanceMachine OpenConformanceMachine() {
  static TempDir scratch;  // C:\users\...\Temp\korvanta-test-N under Wine
  std::string folder = scratch.path().string();
  std::filesystem::create_directories(scratch.path() / "program");
  return {std::make_unique<store::Machine>(store::OpenLiveMachine(folder + "\\program")), folder,
          "win32"};
}

void ChangeUserTemp(store::Machine&, const std::string& folder) {
  // GetTempPath answers from the process environment.
  SetEnvironmentVariableA("TMP", folder.c_str());
  SetEnvironmentVariableA("TEMP", folder.c_str());
}

bool MakeHardLink(store::Machine&, const std::string& existing, const std::string& link) {
  return CreateHardLinkW(store::Widen(link).c_str(), store::Widen(existing).c_str(), nullptr);
}

bool MakeSparseFile(store::Machine&, const std::string& path, const std::string& data,
                    std::int64_t size) {
  HANDLE h = CreateFileW(store::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD bytes = 0;
  bool ok = DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr) &&
            WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &bytes, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = size;
  ok = ok && SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  return ok;
}

const char* WriteProtectionGap() {
  if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return nullptr;
  return "Wine leaves read-only to the host's permission bits, which do not stop root";
}

bool MakeSymbolicLink(store::Machine&, const std::string& target, const std::string& link,
                      bool folder) {
  // Looked up, not linked: XP has no symbolic links.
  using Create = BOOLEAN(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
  auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkW")));
  std::wstring w = store::Widen(link);
  if (!create || !create(w.c_str(), store::Widen(target).c_str(), folder ? 1 : 0)) return false;
  // Wine answers TRUE and makes nothing.
  DWORD attributes = GetFileAttributesW(w.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Wine opens a folder as the Unix user the tests run as, whatever its security.
bool MakeUnopenable(store::Machine&, const std::string&) {
  return false;
}

Unprivileged::Unprivileged() = default;
Unprivileged::~Unprivileged() = default;

std::unique_ptr<store::FolderWalk> WalkAbovePseudoFolder(store::Machine&, std::string&) {
  return nullptr;
}

std::optional<std::uint64_t> DiskBytes(store::Machine&, const std::string& path) {
  DWORD high = 0;
  DWORD low = GetCompressedFileSizeW(store::Widen(path).c_str(), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return std::nullopt;
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

#else

ConformanceMachine OpenConformanceMachine() {
  static TempDir scratch;
  std::filesystem::path prefix = CopyFreshPrefix(scratch.path());
  auto machine = std::make_unique<store::Machine>(store::OpenMachineFolder(prefix));
  return {std::move(machine), "C:\\korvanta-tests", "portable"};
}

void ChangeUserTemp(store::Machine& machine, const std::string& folder) {
  // The portable machine reads the user's TEMP from its registry.
  machine.reg().SetValue(store::RegRoot::kCurrentUser, "Environment", "TEMP", store::kRegSz,
                         store::Variant(folder));
}

namespace {
std::filesystem::path Host(store::Machine& machine, const std::string& path) {
  return store::MachineFolder(machine.Describe()).HostPath(path).value_or("");
}
}  // namespace

bool MakeHardLink(store::Machine& machine, const std::string& existing, const std::string& link) {
  return ::link(Host(machine, existing).c_str(), Host(machine, link).c_str()) == 0;
}

bool MakeSparseFile(store::Machine& machine, const std::string& path, const std::string& data,
                    std::int64_t size) {
  int fd = open(Host(machine, path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = write(fd, data.data(), data.size()) == static_cast<ssize_t>(data.size()) &&
            ftruncate(fd, size) == 0;
  close(fd);
  return ok;
}

const char* WriteProtectionGap() {
  return nullptr;
}

bool MakeSymbolicLink(store::Machine& machine, const std::string& target, const std::string& link,
                      bool) {
  return symlink(Host(machine, target).c_str(), Host(machine, link).c_str()) == 0;
}

bool MakeUnopenable(store::Machine& machine, const std::string& folder) {
  return chmod(Host(machine, folder).c_str(), 0) == 0;
}

Unprivileged::Unprivileged() {
  if (geteuid() == 0) was_ = setfsuid(65534);
}
Unprivileged::~Unprivileged() {
  if (was_ >= 0) setfsuid(static_cast<uid_t>(was_));
}

// The folder above the first cgroup mount: a pseudo file system full of
// regular files, mounted wherever the host chose.
std::unique_ptr<store::FolderWalk> WalkAbovePseudoFolder(store::Machine& machine,
                                                         std::string& pseudo) {
  std::ifstream mounts("/proc/self/mountinfo");
  std::filesystem::path mount;
  for (std::string line; mount.empty() && std::getline(mounts, line);) {
    std::istringstream fields(line);
    std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
    auto dash = std::find(f.begin(), f.end(), "-");
    if (f.size() > 4 && dash + 1 < f.end() && (dash[1] == "cgroup" || dash[1] == "cgroup2"))
      mount = f[4];
  }
  // Above a mount at the top, the walk would be the whole host.
  if (mount.empty() || mount.parent_path() == mount.root_path()) return nullptr;
  const std::filesystem::path prefix = store::MachineFolder(machine.Describe()).root();
  const std::filesystem::path drive = prefix / "dosdevices" / "p:";
  std::filesystem::remove(drive);
  std::filesystem::create_directory_symlink(mount.parent_path(), drive);
  store::MachineFolder folder(prefix, /*host_drives=*/true);
  store::PortableFileTools tools(folder, machine.backend().registry(), machine.codepage());
  pseudo = "P:\\" + mount.filename().string();
  return tools.Walk("P:\\");
}

std::optional<std::uint64_t> DiskBytes(store::Machine& machine, const std::string& path) {
  struct stat st;
  if (stat(Host(machine, path).c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_blocks) * 512;
}

#endif

}  // namespace korvanta::test
