#pragma once
// The storage conformance suite runs unchanged against both back ends: the live
// machine under Wine in the Windows build, a fresh machine folder in the Linux
// build. Each build supplies OpenConformanceMachine.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "store/machine.h"

namespace korvanta::test {

struct ConformanceMachine {
  std::unique_ptr<store::Machine> machine;
  std::string scratch;  // a Windows folder of the machine for the tests' files
  std::string backend;  // "win32" or "portable"
};

// Opens the machine under test; called once per test suite.
ConformanceMachine OpenConformanceMachine();
// Changes the machine user's temporary folder the way that back end learns it.
void ChangeUserTemp(store::Machine& machine, const std::string& folder);
// Gives the file existing a second name, link (a hard link).
bool MakeHardLink(store::Machine& machine, const std::string& existing, const std::string& link);
// A file of size bytes that holds data at its start and a hole after it.
bool MakeSparseFile(store::Machine& machine, const std::string& path, const std::string& data,
                    std::int64_t size);
// The bytes the file takes on the disk.
std::optional<std::uint64_t> DiskBytes(store::Machine& machine, const std::string& path);
// Why the machine lets a read-only file be written over, when it does.
const char* WriteProtectionGap();
// A symbolic link at link to target, a folder or a file; false where the
// machine cannot make one.
bool MakeSymbolicLink(store::Machine& machine, const std::string& target, const std::string& link,
                      bool folder);
// Makes the folder one that cannot be opened while an Unprivileged lives; false
// where the machine cannot.
bool MakeUnopenable(store::Machine& machine, const std::string& folder);
// While it lives, folders are opened as a user without the right to open every
// one (the tests run as root, which opens a folder whatever its permissions).
class Unprivileged {
 public:
  Unprivileged();
  ~Unprivileged();
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;

 private:
  int was_ = -1;
};
// A walk over a host folder with a pseudo file system mounted below it, as a
// drive mapped there gives it, and the Windows path of that mount point;
// nothing where the machine reaches none.
std::unique_ptr<store::FolderWalk> WalkAbovePseudoFolder(store::Machine& machine,
                                                         std::string& pseudo);

class StoreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  store::Machine& machine() { return *shared_->machine; }
  store::Registry& reg() { return machine().reg(); }
  store::SettingsStore& ini() { return machine().ini(); }
  store::FileSystem& files() { return machine().files(); }
  bool portable() const { return shared_->backend == "portable"; }

  // A registry key of this test's own under HKCU\Software (or under the root given).
  std::string Key(const std::string& sub = "") const;
  // A file path in this test's own folder.
  std::string File(const std::string& name) const { return dir_ + "\\" + name; }
  const std::string& dir() const { return dir_; }

  // Deletes a key and everything below it.
  void DeleteTree(store::RegRoot root, const std::string& path);

 private:
  static ConformanceMachine* shared_;
  std::string key_;
  std::string dir_;
};

}  // namespace korvanta::test
