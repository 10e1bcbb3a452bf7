#pragma once
// The registry of a machine folder (a Wine prefix), with the behaviour of
// advapi32's ...A calls under Wine: system.reg is HKEY_LOCAL_MACHINE, user.reg
// HKEY_CURRENT_USER, and HKEY_CLASSES_ROOT is HKLM\Software\Classes. The files
// stay in memory; the writes of one action are saved together at its end, each
// changed file in one atomic replace, and nothing is written while the machine
// refuses writes (a wineserver owns the files then).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/portable/reg_hive.h"
#include "store/registry_backend.h"

namespace korvanta::store {

class PortableRegistry final : public RegistryBackend {
 public:
  // Asked before the first write of an action and again before saving: a
  // message for the user when writing must not happen now, else nothing.
  using WriteCheck = std::function<std::optional<std::string>()>;

  explicit PortableRegistry(std::filesystem::path prefix, WriteCheck write_check = {});
  ~PortableRegistry() override;

  Status OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                 KeyHandle& key) override;
  Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) override;
  Status CloseKey(KeyHandle key) override;
  Status DeleteKey(RegRoot root, std::string_view path) override;
  Status QueryValue(KeyHandle key, std::string_view name, RegData& data) override;
  // As RegSetValueExA, which reads the byte after the data of a string type
  // and counts it as the terminator the caller left out when it is zero: the
  // data must be followed by a readable byte, as in a std::string or a C
  // string. A name longer than 16,383 characters gives kInvalidParameter.
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override;
  Status DeleteValue(KeyHandle key, std::string_view name) override;
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name, RegData& data) override;
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;

  // Nested; the outermost EndAction saves what the action changed.
  void BeginAction();
  void EndAction();
  // Saves what the current action changed so far; the action goes on.
  Status SaveChanges();
  // Why writes would be refused now (asked as the first write of the action
  // would ask), kept as the last write error too; empty when they may go ahead.
  std::string WriteRefusal();
  // Why the last write or save was refused or failed; empty when none was.
  // Taking it clears it.
  std::string TakeWriteError();

 private:
  // What tells a file changed on disk since it was read.
  struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
  };
  struct Hive {
    std::filesystem::path file;
    std::u16string branch;
    std::unique_ptr<RegHive> data;  // null until read, and after changes were dropped
    FileStamp stamp;
    std::string unreadable;        // why the file could not be read, if it could not
    std::uint64_t generation = 0;  // counts reads, so handles know to find their key again
  };
  struct Handle {
    Hive* hive = nullptr;
    RegKey* key = nullptr;
    std::uint64_t generation = 0;
    std::vector<std::u16string> path;  // from the hive's root
    std::uint32_t access = 0;
  };
  struct Target;

  static FileStamp StampOf(const std::filesystem::path& file);
  // Reads the file whose stamp was just taken.
  void Read(Hive& hive, const FileStamp& stamp);
  void Refresh();
  // Builds the namespace again from the hives that are read.
  void Remount();
  Hive* HiveOf(const RegHive* data);
  Status WritableOrError(const Hive& hive);
  Status StartWrite();
  Status EndActionStatus();
  // Ends a write's action: the write's own failure comes first, else the save's.
  Status EndWrite(Status status);
  Status SaveAll();
  Status Resolve(RegRoot root, std::string_view path, bool allow_hkcr_backslash, Target& target);
  Status UseHandle(KeyHandle key, std::uint32_t needed, RegNamespace::Ref& ref);
  KeyHandle NewHandle(const RegNamespace::Ref& ref, std::uint32_t access);

  WriteCheck write_check_;
  Hive system_;
  Hive user_;
  RegNamespace space_;
  std::unordered_map<std::uintptr_t, Handle> handles_;
  std::uintptr_t next_handle_ = 1;
  int action_depth_ = 0;
  bool action_checked_ = false;
  bool action_fresh_ = false;  // the files were checked at the action's start
  std::optional<std::string> action_refusal_;
  std::string write_error_;
};

}  // namespace korvanta::store
