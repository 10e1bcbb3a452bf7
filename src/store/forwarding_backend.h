#pragma once
// A file system and a machine back end that pass every call on to another one:
// the base of a back end that changes a few calls of a real one and keeps the
// rest (the crash seam, a test's disk that garbles its copies).

#include <memory>
#include <utility>

#include "store/machine_backend.h"

namespace korvanta {

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

}  // namespace korvanta
