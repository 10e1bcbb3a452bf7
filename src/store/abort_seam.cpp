#include "store/abort_seam.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace korvanta {
namespace {

class Countdown {
 public:
  explicit Countdown(long k) : left_(k) {}
  void Step() {
    if (--left_ > 0) return;
    std::fflush(stdout);  // what the scenario printed so far, not what the program wrote
    std::_Exit(kAbortSeamExit);
  }
  // A registry change that the back end may hold until the action's end.
  void RegistryStep() {
    Step();
    registry_changed_ = true;
  }
  // The end of an action saves what it held back: a step only when there is
  // something to save.
  void SaveStep() {
    if (std::exchange(registry_changed_, false)) Step();
  }

 private:
  long left_;
  bool registry_changed_ = false;
};

class CountingFiles final : public FileSystem {
 public:
  CountingFiles(FileSystem& inner, Countdown& countdown) : in_(inner), c_(countdown) {}
  std::optional<FileEntry> Stat(std::string_view path) override { return in_.Stat(path); }
  Status List(std::string_view pattern, std::vector<FileEntry>& entries) override {
    return in_.List(pattern, entries);
  }
  Status ReadFile(std::string_view path, std::string& bytes) override {
    return in_.ReadFile(path, bytes);
  }
  Status WriteFile(std::string_view path, std::string_view bytes) override {
    c_.Step();
    return in_.WriteFile(path, bytes);
  }
  Status AppendFile(std::string_view path, std::string_view bytes) override {
    c_.Step();
    return in_.AppendFile(path, bytes);
  }
  Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override {
    c_.Step();
    return in_.CopyFile(from, to, overwrite);
  }
  Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) override {
    c_.Step();
    return in_.CopyFileUnflushed(from, to, overwrite);
  }
  Status FlushFiles(const std::vector<std::string>& paths) override {
    c_.Step();
    return in_.FlushFiles(paths);
  }
  Status DeleteFile(std::string_view path, bool force_read_only) override {
    c_.Step();
    return in_.DeleteFile(path, force_read_only);
  }
  Status CreateDirectory(std::string_view path) override {
    c_.Step();
    return in_.CreateDirectory(path);
  }
  Status RemoveDirectory(std::string_view path) override {
    c_.Step();
    return in_.RemoveDirectory(path);
  }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    c_.Step();
    return in_.SetAttributes(path, attributes);
  }
  std::uint32_t DriveType(std::string_view root) override { return in_.DriveType(root); }
  bool LeadsOutside(std::string_view path) override { return in_.LeadsOutside(path); }

 private:
  FileSystem& in_;
  Countdown& c_;
};

class CountingRegistry final : public RegistryBackend {
 public:
  CountingRegistry(RegistryBackend& inner, Countdown& countdown) : in_(inner), c_(countdown) {}
  Status OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                 KeyHandle& key) override {
    return in_.OpenKey(root, path, access, key);
  }
  Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) override {
    c_.RegistryStep();
    return in_.CreateKey(root, path, key);
  }
  Status CloseKey(KeyHandle key) override { return in_.CloseKey(key); }
  Status DeleteKey(RegRoot root, std::string_view path) override {
    c_.RegistryStep();
    return in_.DeleteKey(root, path);
  }
  Status QueryValue(KeyHandle key, std::string_view name, RegData& data) override {
    return in_.QueryValue(key, name, data);
  }
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override {
    c_.RegistryStep();
    return in_.SetValue(key, name, type, bytes);
  }
  Status DeleteValue(KeyHandle key, std::string_view name) override {
    c_.RegistryStep();
    return in_.DeleteValue(key, name);
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name, RegData& data) override {
    return in_.EnumValue(key, index, name, data);
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override {
    return in_.EnumKey(key, index, name);
  }

 private:
  RegistryBackend& in_;
  Countdown& c_;
};

class CountingProfiles final : public ProfileBackend {
 public:
  CountingProfiles(ProfileBackend& inner, Countdown& countdown) : in_(inner), c_(countdown) {}
  std::uint32_t GetPrivateProfileString(const char* section, const char* key,
                                        const char* default_value, std::span<char> buffer,
                                        const char* file) override {
    return in_.GetPrivateProfileString(section, key, default_value, buffer, file);
  }
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override {
    c_.Step();
    return in_.WritePrivateProfileString(section, key, value, file);
  }
  bool WritePrivateProfileSection(const char* section, const char* data,
                                  const char* file) override {
    c_.Step();
    return in_.WritePrivateProfileSection(section, data, file);
  }

 private:
  ProfileBackend& in_;
  Countdown& c_;
};

class AbortingBackend final : public MachineBackend {
 public:
  AbortingBackend(std::unique_ptr<MachineBackend> inner, long k)
      : in_(std::move(inner)),
        countdown_(k),
        files_(in_->files(), countdown_),
        registry_(in_->registry(), countdown_),
        profiles_(in_->profiles(), countdown_) {}

  const Codepage& codepage() const override { return in_->codepage(); }
  RegistryBackend& registry() override { return registry_; }
  ProfileBackend& profiles() override { return profiles_; }
  FileSystem& files() override { return files_; }
  Shell& shell() override { return in_->shell(); }
  SystemFacts& facts() override { return in_->facts(); }
  FileTools& file_tools() override { return in_->file_tools(); }
  ShellIcons& icons() override { return in_->icons(); }
  std::string WindowsDirectory() override { return in_->WindowsDirectory(); }
  std::string SystemDirectory() override { return in_->SystemDirectory(); }
  std::string TempPath() override { return in_->TempPath(); }
  std::optional<std::string> ShortPathName(std::string_view path) override {
    return in_->ShortPathName(path);
  }
  std::string ProgramFolder() override { return in_->ProgramFolder(); }
  std::string Describe() const override { return in_->Describe(); }
  void BeginAction() override { in_->BeginAction(); }
  void EndAction() override {
    countdown_.SaveStep();
    in_->EndAction();
  }
  Status SaveChanges() override {
    countdown_.SaveStep();
    return in_->SaveChanges();
  }
  std::string WriteRefusal() override { return in_->WriteRefusal(); }
  std::string TakeWriteError() override { return in_->TakeWriteError(); }

 private:
  std::unique_ptr<MachineBackend> in_;
  Countdown countdown_;
  CountingFiles files_;
  CountingRegistry registry_;
  CountingProfiles profiles_;
};

}  // namespace

std::unique_ptr<MachineBackend> AbortAfter(std::unique_ptr<MachineBackend> inner, long k) {
  return std::make_unique<AbortingBackend>(std::move(inner), k);
}

}  // namespace korvanta
