#include "store/portable/machine_portable.h"

#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "store/portable/cp936.h"
#include "store/portable/file_system_portable.h"
#include "store/portable/file_tools_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/profile_portable.h"
#include "store/portable/registry_portable.h"
#include "store/portable/server_lock.h"
#include "store/portable/shell_icons_portable.h"
#include "store/portable/shell_portable.h"
#include "store/portable/system_facts_portable.h"
#include "store/reg.h"
#include "store/utf.h"

namespace korvanta::store {
namespace {

constexpr const char* kUserSid = "S-1-5-21-0-0-0-1000";

class PortableMachine final : public MachineBackend {
 public:
  PortableMachine(const std::filesystem::path& root, MachineFolderOptions options)
      : options_(std::move(options)),
        folder_(root, options_.host_drives),
        registry_(root, [root] { return WineserverWriteRefusal(root); }),
        files_(folder_, registry_),
        profiles_(files_, registry_, [this] { return WindowsDirectory(); }),
        shell_(folder_),
        facts_(folder_),
        tools_(folder_, registry_, codepage_),
        icons_(folder_),
        reg_(registry_, codepage_) {}

  const Codepage& codepage() const override { return codepage_; }
  RegistryBackend& registry() override { return registry_; }
  ProfileBackend& profiles() override { return profiles_; }
  FileSystem& files() override { return files_; }
  Shell& shell() override { return shell_; }
  SystemFacts& facts() override { return facts_; }
  FileTools& file_tools() override { return tools_; }
  ShellIcons& icons() override { return icons_; }

  std::string WindowsDirectory() override {
    std::string root = ReadText(RegRoot::kLocalMachine,
                                "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
    return root.empty() ? "C:\\WINDOWS" : root;
  }
  std::string SystemDirectory() override { return WindowsDirectory() + "\\system32"; }
  std::string TempPath() override {
    std::string temp = Expand(ReadText(RegRoot::kCurrentUser, "Environment", "TEMP"));
    if (temp.empty() || temp.find('%') != std::string::npos) temp = WindowsDirectory() + "\\Temp";
    if (temp.back() != '\\') temp.push_back('\\');
    return temp;
  }
  // A machine folder's files have only the names the host gives them.
  std::optional<std::string> ShortPathName(std::string_view) override { return std::nullopt; }
  std::string ProgramFolder() override {
    static constexpr const char* kFolder = "C:\\Program Files\\Korvanta";
    if (!program_folder_made_ && !options_.untouched) {
      std::optional<std::filesystem::path> host = folder_.HostPath(kFolder);
      std::error_code ec;
      const bool existed = host && std::filesystem::is_directory(*host, ec);
      program_folder_made_ = files_.CreateDirectory(kFolder) == kSuccess;
      if (program_folder_made_ && host && !existed) InstallShippedSettings(*host);
    }
    return kFolder;
  }
  std::string Describe() const override {
    // The user should see that the host's own files are within reach.
    // The name goes at the end with the host's files: a long path loses its
    // middle in the title bar, never its ends.
    return folder_.root().string() + (options_.title.empty() ? "" : "（" + options_.title + "）") +
           (folder_.host_drives() ? "（含本机的全部文件）" : "");
  }

  void BeginAction() override { registry_.BeginAction(); }
  void EndAction() override { registry_.EndAction(); }
  Status SaveChanges() override { return registry_.SaveChanges(); }
  std::string TakeWriteError() override { return registry_.TakeWriteError(); }
  std::string WriteRefusal() override { return registry_.WriteRefusal(); }

 private:
  // The first run on a machine starts from the options shipped with the program.
  // A copy that fails leaves no set.ini, which the cleaner reads as no options.
  void InstallShippedSettings(const std::filesystem::path& program_folder) {
    if (options_.shipped_settings.empty()) return;
    std::error_code ec;
    std::filesystem::copy_file(options_.shipped_settings, program_folder / "set.ini",
                               std::filesystem::copy_options::skip_existing, ec);
  }

  std::string ReadText(RegRoot root, std::string_view key, std::string_view name) {
    Variant value;
    reg_.QueryValue(root, key, name, value);
    return value.ToText();
  }

  // Expands %NAME% as the machine's environment would: the user's variables, the
  // system's, then the few the system derives itself.
  std::string Expand(std::string text, int depth = 0) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t open = text.find('%', i);
      std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
      if (close == std::string::npos) {
        out += text.substr(i);
        break;
      }
      out += text.substr(i, open - i);
      std::string name = text.substr(open + 1, close - open - 1);
      std::string value = Variable(name);
      if (value.empty() || depth > 8) {
        out += text.substr(open, close - open + 1);
      } else {
        out += Expand(value, depth + 1);
      }
      i = close + 1;
    }
    return out;
  }

  std::string Variable(const std::string& name) {
    std::string value = ReadText(RegRoot::kCurrentUser, "Environment", name);
    if (value.empty()) {
      value = ReadText(RegRoot::kLocalMachine,
                       "System\\CurrentControlSet\\Control\\Session Manager\\Environment", name);
    }
    if (!value.empty()) return value;
    auto is = [&](std::string_view n) { return EqualsIgnoreCase(name, n); };
    if (is("SystemRoot") || is("windir")) return WindowsDirectory();
    if (is("SystemDrive")) return WindowsDirectory().substr(0, 2);
    if (is("USERPROFILE")) {
      return ReadText(
          RegRoot::kLocalMachine,
          std::string("Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\") + kUserSid,
          "ProfileImagePath");
    }
    return {};
  }

  MachineFolderOptions options_;
  MachineFolder folder_;
  Cp936 codepage_;
  PortableRegistry registry_;
  PortableFileSystem files_;
  PortableProfiles profiles_;
  PortableShell shell_;
  PortableSystemFacts facts_;
  PortableFileTools tools_;
  PortableShellIcons icons_;
  Registry reg_;
  bool program_folder_made_ = false;
};

}  // namespace

std::unique_ptr<MachineBackend> OpenMachineFolder(const std::filesystem::path& root) {
  return OpenMachineFolder(root, MachineFolderOptions{});
}

std::unique_ptr<MachineBackend> OpenMachineFolder(const std::filesystem::path& root,
                                                  const MachineFolderOptions& options) {
  return std::make_unique<PortableMachine>(root, options);
}

}  // namespace korvanta::store
