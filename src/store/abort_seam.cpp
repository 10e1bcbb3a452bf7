#include "store/abort_seam.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "store/forwarding_backend.h"

namespace korvanta::store {
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

// Each call that changes the machine is a step; the rest pass on as they are.
class CountingFiles final : public ForwardingFileSystem {
 public:
  CountingFiles(FileSystem& inner, Countdown& countdown)
      : ForwardingFileSystem(inner), c_(countdown) {}
  Status WriteFile(std::string_view path, std::string_view bytes) override {
    c_.Step();
    return ForwardingFileSystem::WriteFile(path, bytes);
  }
  Status AppendFile(std::string_view path, std::string_view bytes) override {
    c_.Step();
    return ForwardingFileSystem::AppendFile(path, bytes);
  }
  Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override {
    c_.Step();
    return ForwardingFileSystem::CopyFile(from, to, overwrite);
  }
  Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) override {
    c_.Step();
    return ForwardingFileSystem::CopyFileUnflushed(from, to, overwrite);
  }
  Status FlushFiles(const std::vector<std::string>& paths) override {
    c_.Step();
    return ForwardingFileSystem::FlushFiles(paths);
  }
  Status DeleteFile(std::string_view path, bool force_read_only) override {
    c_.Step();
    return ForwardingFileSystem::DeleteFile(path, force_read_only);
  }
  Status CreateDirectory(std::string_view path) override {
    c_.Step();
    return ForwardingFileSystem::CreateDirectory(path);
  }
  Status RemoveDirectory(std::string_view path) override {
    c_.Step();
    return ForwardingFileSystem::RemoveDirectory(path);
  }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    c_.Step();
    return ForwardingFileSystem::SetAttributes(path, attributes);
  }

 private:
  Countdown& c_;
};

class CountingRegistry final : public ForwardingRegistry {
 public:
  CountingRegistry(RegistryBackend& inner, Countdown& countdown)
      : ForwardingRegistry(inner), c_(countdown) {}
  Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) override {
    c_.RegistryStep();
    return ForwardingRegistry::CreateKey(root, path, key);
  }
  Status DeleteKey(RegRoot root, std::string_view path) override {
    c_.RegistryStep();
    return ForwardingRegistry::DeleteKey(root, path);
  }
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override {
    c_.RegistryStep();
    return ForwardingRegistry::SetValue(key, name, type, bytes);
  }
  Status DeleteValue(KeyHandle key, std::string_view name) override {
    c_.RegistryStep();
    return ForwardingRegistry::DeleteValue(key, name);
  }

 private:
  Countdown& c_;
};

class CountingProfiles final : public ForwardingProfiles {
 public:
  CountingProfiles(ProfileBackend& inner, Countdown& countdown)
      : ForwardingProfiles(inner), c_(countdown) {}
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override {
    c_.Step();
    return ForwardingProfiles::WritePrivateProfileString(section, key, value, file);
  }
  bool WritePrivateProfileSection(const char* section, const char* data,
                                  const char* file) override {
    c_.Step();
    return ForwardingProfiles::WritePrivateProfileSection(section, data, file);
  }

 private:
  Countdown& c_;
};

class AbortingBackend final : public ForwardingBackend {
 public:
  AbortingBackend(std::unique_ptr<MachineBackend> backend, long k)
      : ForwardingBackend(std::move(backend)),
        countdown_(k),
        files_(inner().files(), countdown_),
        registry_(inner().registry(), countdown_),
        profiles_(inner().profiles(), countdown_) {}

  RegistryBackend& registry() override { return registry_; }
  ProfileBackend& profiles() override { return profiles_; }
  FileSystem& files() override { return files_; }
  void EndAction() override {
    countdown_.SaveStep();
    ForwardingBackend::EndAction();
  }
  Status SaveChanges() override {
    countdown_.SaveStep();
    return ForwardingBackend::SaveChanges();
  }

 private:
  Countdown countdown_;
  CountingFiles files_;
  CountingRegistry registry_;
  CountingProfiles profiles_;
};

}  // namespace

std::unique_ptr<MachineBackend> AbortAfter(std::unique_ptr<MachineBackend> inner, long k) {
  return std::make_unique<AbortingBackend>(std::move(inner), k);
}

}  // namespace korvanta::store
