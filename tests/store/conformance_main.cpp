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
#include <sys/stat.h>
#include <unistd.h>

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

std::optional<std::uint64_t> DiskBytes(store::Machine& machine, const std::string& path) {
  struct stat st;
  if (stat(Host(machine, path).c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_blocks) * 512;
}

#endif

}  // namespace korvanta::test
