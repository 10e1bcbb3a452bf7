#pragma once
// A file system, registry, profile engine and machine back end that pass every
// call on to another one: the base of a back end that changes a few calls of a
// real one and keeps the rest (the crash seam, the change journal, a test's disk
// that garbles its copies).

#include <memory>
#include <utility>

#include "store/machine_backend.h"

namespace korvanta::store {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : in_(inner) {}

  std::optional<FileEntry> Stat(std::string_view path) override { return in_.Stat(path); }
  Status List(std::string_view pattern, std::vector<FileEntry>& entries) override {
    return in_.List(pattern, entries);
  }
  Status ReadFile(std::string_view path, std::string& bytes) override {
    return in_.ReadFile(path, bytes);
  }
  Status WriteFile(std::string_view path, std::string_view bytes) override {
    return in_.WriteFile(path, bytes);
  }
  Status AppendFile(std::string_view path, std::string_view bytes) override {
    return in_.AppendFile(path, bytes);
  }
  Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override {
    return in_.CopyFile(from, to, overwrite);
  }
  Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) override {
    return in_.CopyFileUnflushed(from, to, overwrite);
  }
  Status FlushFiles(const std::vector<std::string>& paths) override {
    return in_.FlushFiles(paths);
  }
  Status DeleteFile(std::string_view path, bool force_read_only) override {
    return in_.DeleteFile(path, force_read_only);
  }
  Status CreateDirectory(std::string_view path) override { return in_.CreateDirectory(path); }
  Status RemoveDirectory(std::string_view path) override { return in_.RemoveDirectory(path); }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    return in_.SetAttributes(path, attributes);
  }
  std::uint32_t DriveType(std::string_view root) override { return in_.DriveType(root); }
  bool LeadsOutside(std::string_view path) override { return in_.LeadsOutside(path); }

 protected:
  FileSystem& inner() { return in_; }

 private:
  FileSystem& in_;
};

class ForwardingRegistry : public RegistryBackend {
 public:
  explicit ForwardingRegistry(RegistryBackend& inner) : in_(inner) {}

  Status OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                 KeyHandle& key) override {
    return in_.OpenKey(root, path, access, key);
  }
  Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) override {
    return in_.CreateKey(root, path, key);
  }
  Status CloseKey(KeyHandle key) override { return in_.CloseKey(key); }
  Status DeleteKey(RegRoot root, std::string_view path) override {
    return in_.DeleteKey(root, path);
  }
  Status QueryValue(KeyHandle key, std::string_view name, RegData& data) override {
    return in_.QueryValue(key, name, data);
  }
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override {
    return in_.SetValue(key, name, type, bytes);
  }
  Status DeleteValue(KeyHandle key, std::string_view name) override {
    return in_.DeleteValue(key, name);
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name, RegData& data) override {
    return in_.EnumValue(key, index, name, data);
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override {
    return in_.EnumKey(key, index, name);
  }

 protected:
  RegistryBackend& inner() { return in_; }

 private:
  RegistryBackend& in_;
};

class ForwardingProfiles : public ProfileBackend {
 public:
  explicit ForwardingProfiles(ProfileBackend& inner) : in_(inner) {}

  std::uint32_t GetPrivateProfileString(const char* section, const char* key,
                                        const char* default_value, std::span<char> buffer,
                                        const char* file) override {
    return in_.GetPrivateProfileString(section, key, default_value, buffer, file);
  }
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override {
    return in_.WritePrivateProfileString(section, key, value, file);
  }
  bool WritePrivateProfileSection(const char* section, const char* data,
                                  const char* file) override {
    return in_.WritePrivateProfileSection(section, data, file);
  }

 protected:
  ProfileBackend& inner() { return in_; }

 private:
  ProfileBackend& in_;
};

class ForwardingBackend : public MachineBackend {
 public:
  explicit ForwardingBackend(std::unique_ptr<MachineBackend> inner) : in_(std::move(inner)) {}

  const Codepage& codepage() const override { return in_->codepage(); }
  RegistryBackend& registry() override { return in_->registry(); }
  ProfileBackend& profiles() override { return in_->profiles(); }
  FileSystem& files() override { return in_->files(); }
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
  void EndAction() override { in_->EndAction(); }
  Status SaveChanges() override { return in_->SaveChanges(); }
  std::string WriteRefusal() override { return in_->WriteRefusal(); }
  std::string TakeWriteError() override { return in_->TakeWriteError(); }

 protected:
  MachineBackend& inner() { return *in_; }

 private:
  std::unique_ptr<MachineBackend> in_;
};

}  // namespace korvanta::store
