#include "store/win32/machine_win32.h"

#include "store/machine_backend.h"
#include "store/paths.h"
#include "store/win32/codepage_win32.h"
#include "store/win32/file_system_win32.h"
#include "store/win32/file_tools_win32.h"
#include "store/win32/profile_win32.h"
#include "store/win32/registry_win32.h"
#include "store/win32/shell_icons_win32.h"
#include "store/win32/shell_win32.h"
#include "store/win32/system_facts_win32.h"
#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"

namespace korvanta::store {
namespace {

// The live machine: every call goes straight to the system, which saves as it goes.
class Win32Machine final : public MachineBackend {
 public:
  explicit Win32Machine(std::optional<std::string> program_folder)
      : program_folder_(std::move(program_folder)) {}

  const Codepage& codepage() const override { return codepage_; }
  RegistryBackend& registry() override { return registry_; }
  ProfileBackend& profiles() override { return profiles_; }
  FileSystem& files() override { return files_; }
  Shell& shell() override { return shell_; }
  SystemFacts& facts() override { return facts_; }
  FileTools& file_tools() override { return tools_; }
  ShellIcons& icons() override { return icons_; }

  std::string WindowsDirectory() override { return Ask(GetWindowsDirectoryA); }
  std::string SystemDirectory() override { return Ask(GetSystemDirectoryA); }
  std::string TempPath() override {
    return Ask([](LPSTR buffer, UINT size) { return GetTempPathA(size, buffer); });
  }
  std::optional<std::string> ShortPathName(std::string_view path) override {
    const std::string ansi = codepage_.ToAnsi(path);
    std::string buffer(MAX_PATH, '\0');
    DWORD n = GetShortPathNameA(ansi.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size()) {
      buffer.assign(n, '\0');
      n = GetShortPathNameA(ansi.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (n == 0 || n >= buffer.size()) return std::nullopt;
    buffer.resize(n);
    return codepage_.FromAnsi(buffer);
  }
  std::string ProgramFolder() override {
    if (program_folder_) return *program_folder_;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n < path.size()) {
        path.resize(n);
        break;
      }
      path.resize(path.size() * 2);
    }
    program_folder_ = GetFolder(Narrow(path));
    return *program_folder_;
  }
  std::string Describe() const override { return {}; }

  void BeginAction() override {}
  void EndAction() override {}
  Status SaveChanges() override { return kSuccess; }
  std::string TakeWriteError() override { return {}; }

 private:
  // Calls a folder query with a buffer that grows until the answer fits (a 50-byte
  // buffer used to lose folders of 50 characters or more).
  template <typename Query>
  std::string Ask(Query query) {
    std::string buffer(MAX_PATH, '\0');
    UINT n = query(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n >= buffer.size()) {
      buffer.assign(n + 1, '\0');
      n = query(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (n == 0 || n >= buffer.size()) return {};
    buffer.resize(n);
    return codepage_.FromAnsi(buffer);
  }

  std::optional<std::string> program_folder_;
  Win32Codepage codepage_;
  Win32Registry registry_;
  Win32Profiles profiles_;
  Win32FileSystem files_;
  Win32Shell shell_;
  Win32SystemFacts facts_{codepage_};
  Win32FileTools tools_;
  Win32ShellIcons icons_;
};

}  // namespace

std::unique_ptr<MachineBackend> OpenLiveMachine(std::optional<std::string> program_folder) {
  return std::make_unique<Win32Machine>(std::move(program_folder));
}

}  // namespace korvanta::store
