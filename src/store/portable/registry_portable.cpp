#include "store/portable/registry_portable.h"

#include <chrono>
#include <fstream>

#include "store/portable/atomic_file.h"
#include "store/portable/cp936.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace korvanta::store {
namespace fs = std::filesystem;
namespace {

constexpr Status kKeyDeleted = 1018;  // ERROR_KEY_DELETED: the handle's key is gone
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyAllAccess = 0xf003f;
// advapi32 converts a key path into a buffer of 260 characters; the server takes
// names of up to 256.
constexpr std::size_t kMaxPathChars = 260;
constexpr std::size_t kMaxKeyNameChars = 256;
constexpr std::u16string_view kUserBranch = u"User\\S-1-5-21-0-0-0-1000";

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// What the access bits of a handle allow, generic rights mapped as Wine maps
// them for keys.
std::uint32_t MapAccess(std::uint32_t access) {
  if (access & 0x80000000u) access |= kKeyRead;
  if (access & 0x40000000u) access |= kKeyWrite;
  if (access & 0x20000000u) access |= 0x20019;
  if (access & 0x10000000u) access |= kKeyAllAccess;
  if (access & 0x02000000u) access |= kKeyAllAccess;  // MAXIMUM_ALLOWED
  return access;
}

// ANSI text as ntdll's RtlMultiByteToUnicodeN reads it: a lead byte takes the
// byte after it even when that is a zero (the pair is then invalid).
std::u16string AnsiToUtf16(std::string_view ansi) {
  std::u16string out;
  std::size_t segment = 0;
  for (std::size_t i = 0; i < ansi.size();) {
    const auto c = static_cast<unsigned char>(ansi[i]);
    if (c >= 0x81 && c <= 0xfe && i + 1 < ansi.size()) {
      if (ansi[i + 1] == 0) {
        out += Cp936::ToUtf16(ansi.substr(segment, i - segment));
        out.push_back(u'?');
        segment = i + 2;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  out += Cp936::ToUtf16(ansi.substr(segment));
  return out;
}

// A name as the ...A calls take it: a C string, whose length RtlInitAnsiString
// keeps in 16 bits (a name of 65537 bytes is one of 1).
std::u16string NameToUtf16(std::string_view name) {
  name = name.substr(0, name.find('\0'));
  return AnsiToUtf16(name.substr(0, name.size() & 0xffff));
}

std::string Utf16BytesToAnsi(std::string_view bytes) {
  return Cp936::FromUtf16(BytesToUtf16(bytes));
}

void ToRegData(const RegValue& value, RegData& data) {
  data.type = value.type;
  data.bytes = IsStringType(value.type) ? Utf16BytesToAnsi(value.data) : value.data;
}

std::uint64_t Now() {
  const auto since_1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return kFiletimeUnixEpoch + static_cast<std::uint64_t>(since_1970.count() / 100);
}

}  // namespace

struct PortableRegistry::Target {
  std::vector<std::u16string> names;
  std::vector<std::u16string_view> views;
  RegNamespace::Walk walk;
};

PortableRegistry::PortableRegistry(fs::path prefix, WriteCheck write_check)
    : write_check_(std::move(write_check)) {
  system_.file = prefix / "system.reg";
  system_.branch = u"Machine";
  user_.file = prefix / "user.reg";
  user_.branch = kUserBranch;
}

PortableRegistry::~PortableRegistry() = default;

PortableRegistry::FileStamp PortableRegistry::StampOf(const fs::path& file) {
  FileStamp stamp;
#ifdef _WIN32
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) return stamp;
  const auto time = fs::last_write_time(file, ec);
  if (ec) return stamp;
  stamp.exists = true;
  stamp.size = size;
  stamp.modified = static_cast<std::int64_t>(time.time_since_epoch().count());
#else
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
#endif
  return stamp;
}

void PortableRegistry::Read(Hive& hive, const FileStamp& stamp) {
  hive.unreadable.clear();
  hive.stamp = stamp;
  std::string text;
  if (hive.stamp.exists) {
    std::ifstream in(hive.file, std::ios::binary);
    text.reserve(hive.stamp.size);
    char buffer[1 << 16];
    while (in && (in.read(buffer, sizeof buffer) || in.gcount() > 0)) {
      text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (!in.eof()) {
      hive.unreadable = "无法读取注册表文件 " + hive.file.string() + "。";
      text.clear();
    }
  }
  if (!hive.stamp.exists) {
    // wineserver starts a missing file with the architecture of system.reg.
    std::string arch = "win64";
    if (&hive != &system_ && system_.data && !system_.data->arch().empty()) {
      arch = system_.data->arch();
    }
    text = RegHive::EmptyFile(hive.branch, arch);
  }
  hive.data = std::make_unique<RegHive>(std::move(text));
  ++hive.generation;
  Remount();
}

void PortableRegistry::Remount() {
  space_ = RegNamespace();
  if (system_.data) space_.Mount(system_.branch, *system_.data);
  if (user_.data) space_.Mount(user_.branch, *user_.data);
}

// Outside an action every access sees the files as they are now; inside one the
// files are read once and then stay as the action found them.
void PortableRegistry::Refresh() {
  for (Hive* hive : {&system_, &user_}) {
    if (!hive->data) {
      Read(*hive, StampOf(hive->file));
    } else if ((action_depth_ == 0 || !action_fresh_) && !hive->data->modified()) {
      const FileStamp stamp = StampOf(hive->file);
      if (stamp != hive->stamp) Read(*hive, stamp);
    }
  }
  if (action_depth_ > 0) action_fresh_ = true;
}

PortableRegistry::Hive* PortableRegistry::HiveOf(const RegHive* data) {
  if (system_.data.get() == data) return &system_;
  if (user_.data.get() == data) return &user_;
  return nullptr;
}

Status PortableRegistry::WritableOrError(const Hive& hive) {
  if (!hive.unreadable.empty()) {
    write_error_ = hive.unreadable;
    return kAccessDenied;
  }
  if (!hive.data->valid()) {
    write_error_ = "无法写入注册表：" + hive.file.string() + " 不是有效的 Wine 注册表文件。";
    return kAccessDenied;
  }
  return kSuccess;
}

void PortableRegistry::BeginAction() {
  if (action_depth_++ > 0) return;
  action_checked_ = false;
  action_refusal_.reset();
  action_fresh_ = false;
  Refresh();
}

void PortableRegistry::EndAction() {
  EndActionStatus();
}

Status PortableRegistry::EndActionStatus() {
  if (action_depth_ == 0 || --action_depth_ > 0) return kSuccess;
  return SaveAll();
}

Status PortableRegistry::SaveChanges() {
  return action_depth_ > 0 ? SaveAll() : kSuccess;
}

std::string PortableRegistry::TakeWriteError() {
  std::string error = std::move(write_error_);
  write_error_.clear();
  return error;
}

std::string PortableRegistry::WriteRefusal() {
  Status status = StartWrite();
  for (Hive* hive : {&system_, &user_}) {
    if (status == kSuccess && hive->data) status = WritableOrError(*hive);
  }
  EndActionStatus();
  return status == kSuccess ? std::string() : write_error_;
}

// Every write runs in an action (its own when none is open). The machine is
// asked once per action, before the first change.
Status PortableRegistry::StartWrite() {
  BeginAction();
  if (!action_checked_) {
    action_checked_ = true;
    if (write_check_) action_refusal_ = write_check_();
  }
  if (action_refusal_) {
    write_error_ = *action_refusal_;
    return kSharingViolation;
  }
  return kSuccess;
}

Status PortableRegistry::EndWrite(Status status) {
  const Status saved = EndActionStatus();
  return status != kSuccess ? status : saved;
}

Status PortableRegistry::SaveAll() {
  Hive* changed[2];
  int count = 0;
  for (Hive* hive : {&system_, &user_}) {
    if (hive->data && hive->data->modified()) changed[count++] = hive;
  }
  if (count == 0) return kSuccess;
  // The server may have started since the action's first write.
  if (write_check_) {
    if (auto refusal = write_check_()) {
      for (int i = 0; i < count; ++i) changed[i]->data.reset();
      write_error_ = *refusal;
      return kSharingViolation;
    }
  }
  Status result = kSuccess;
  for (int i = 0; i < count; ++i) {
    Hive& hive = *changed[i];
    if (StampOf(hive.file) != hive.stamp) {
      // Someone wrote the file during the action: saving would undo that.
      write_error_ = "无法保存注册表文件 " + hive.file.string() +
                     "：它在此期间被其他程序修改了。更改没有保存，请重试。";
      hive.data.reset();
      result = kSharingViolation;
      continue;
    }
    std::string bytes = hive.data->Save();
    std::string reason;
    const Status status = ReplaceFileAtomically(hive.file, bytes, &reason);
    if (status != kSuccess) {
      write_error_ =
          "无法保存注册表文件 " + hive.file.string() + "：" + reason + "。更改没有保存。";
      hive.data.reset();  // read the file again at the next access
      result = status;
      continue;
    }
    // What we wrote is the text the next changes start from.
    hive.data = std::make_unique<RegHive>(std::move(bytes));
    hive.stamp = StampOf(hive.file);
    ++hive.generation;
  }
  Remount();
  return result;
}

Status PortableRegistry::Resolve(RegRoot root, std::string_view path, bool allow_hkcr_backslash,
                                 Target& target) {
  Refresh();
  std::u16string wide = NameToUtf16(path);
  // RegOpenKeyExA lets a path below HKEY_CLASSES_ROOT start with one backslash.
  if (root == RegRoot::kClassesRoot && allow_hkcr_backslash && !wide.empty() && wide[0] == u'\\') {
    wide.erase(0, 1);
  }
  if (wide.size() > kMaxPathChars) return kMoreData;
  std::vector<std::u16string_view> names;
  if (!SplitRegPath(wide, names)) return kBadPathname;
  for (auto name : names) {
    if (name.size() > kMaxKeyNameChars) return kInvalidParameter;
  }
  Hive& hive = root == RegRoot::kCurrentUser ? user_ : system_;
  target.names.clear();
  if (root == RegRoot::kClassesRoot) {
    target.names.emplace_back(u"Software");
    target.names.emplace_back(u"Classes");
  } else if (root != RegRoot::kLocalMachine && root != RegRoot::kCurrentUser) {
    return kInvalidHandle;
  }
  for (auto name : names) target.names.emplace_back(name);
  target.views.assign(target.names.begin(), target.names.end());
  target.walk = space_.Descend({hive.data.get(), &hive.data->root()}, target.views);
  if (target.walk.key) return kSuccess;
  return target.walk.too_deep ? kInvalidParameter : kFileNotFound;
}

KeyHandle PortableRegistry::NewHandle(const RegNamespace::Ref& ref, std::uint32_t access) {
  Handle handle;
  handle.hive = HiveOf(ref.hive);
  handle.key = ref.key;
  handle.generation = handle.hive->generation;
  handle.path = ref.hive->PathOf(*ref.key);
  handle.access = MapAccess(access);
  const std::uintptr_t id = next_handle_++;
  handles_.emplace(id, std::move(handle));
  return KeyHandle{id};
}

Status PortableRegistry::UseHandle(KeyHandle key, std::uint32_t needed, RegNamespace::Ref& ref) {
  auto it = handles_.find(key.id);
  if (it == handles_.end()) return kInvalidHandle;
  Handle& handle = it->second;
  if ((handle.access & needed) != needed) return kAccessDenied;
  Refresh();
  if (handle.generation != handle.hive->generation) {
    // The file was read again: find the key by its path.
    RegHive& data = *handle.hive->data;
    RegKey* k = &data.root();
    for (const auto& name : handle.path) {
      if (!(k = data.Subkey(*k, name))) return kKeyDeleted;
    }
    handle.key = k;
    handle.generation = handle.hive->generation;
  }
  if (handle.key->deleted()) return kKeyDeleted;
  ref = {handle.hive->data.get(), handle.key};
  return kSuccess;
}

Status PortableRegistry::OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                                 KeyHandle& key) {
  key = {};
  Target target;
  if (Status s = Resolve(root, path, true, target); s != kSuccess) return s;
  if (target.walk.found != target.views.size()) return kFileNotFound;
  key = NewHandle(target.walk.key, access);
  return kSuccess;
}

Status PortableRegistry::CreateKey(RegRoot root, std::string_view path, KeyHandle& key) {
  key = {};
  Status status = StartWrite();
  Target target;
  if (status == kSuccess) status = Resolve(root, path, false, target);
  if (status == kSuccess) {
    RegNamespace::Ref ref = target.walk.key;
    if (target.walk.found < target.views.size()) {
      status = WritableOrError(*HiveOf(ref.hive));
      const std::uint64_t now = Now();
      for (std::size_t i = target.walk.found; status == kSuccess && i < target.views.size(); ++i) {
        ref.key = &ref.hive->CreateSubkey(*ref.key, target.views[i], now);
      }
    }
    if (status == kSuccess) key = NewHandle(ref, kKeyAllAccess);
  }
  const Status saved = EndActionStatus();
  if (status == kSuccess && saved != kSuccess) {
    CloseKey(key);
    key = {};
    status = saved;
  }
  return status;
}

Status PortableRegistry::CloseKey(KeyHandle key) {
  return handles_.erase(key.id) ? kSuccess : kInvalidHandle;
}

Status PortableRegistry::DeleteKey(RegRoot root, std::string_view path) {
  Status status = StartWrite();
  Target target;
  if (status == kSuccess) status = Resolve(root, path, false, target);
  if (status == kSuccess && target.walk.found != target.views.size()) status = kFileNotFound;
  if (status == kSuccess) {
    const RegNamespace::Ref ref = target.walk.key;
    status = WritableOrError(*HiveOf(ref.hive));
    // A key with subkeys, and the root of a file, cannot go.
    if (status == kSuccess && !ref.hive->DeleteKey(*ref.key, Now())) status = kAccessDenied;
  }
  return EndWrite(status);
}

Status PortableRegistry::QueryValue(KeyHandle key, std::string_view name, RegData& data) {
  RegNamespace::Ref ref;
  if (Status s = UseHandle(key, kKeyQueryValue, ref); s != kSuccess) return s;
  const RegValue* value = ref.hive->Value(*ref.key, NameToUtf16(name));
  if (!value) return kFileNotFound;
  ToRegData(*value, data);
  return kSuccess;
}

Status PortableRegistry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                                  std::string_view bytes) {
  const std::u16string value_name = NameToUtf16(name);
  // ntdll refuses, before it asks the server, a name wineserver would not load.
  if (value_name.size() > kMaxRegValueName) return kInvalidParameter;
  Status status = StartWrite();
  RegNamespace::Ref ref;
  if (status == kSuccess) status = UseHandle(key, kKeySetValue, ref);
  if (status == kSuccess) status = WritableOrError(*HiveOf(ref.hive));
  if (status == kSuccess) {
    std::string stored(bytes);
    if (IsStringType(type)) {
      // NT counts a terminator the caller left out, but only one that is there.
      const std::size_t count = bytes.size();
      if (count && bytes[count - 1] != 0 && bytes.data()[count] == 0) stored.push_back('\0');
      stored = Utf16ToBytes(AnsiToUtf16(stored));
    }
    ref.hive->SetValue(*ref.key, value_name, type, stored, Now());
  }
  return EndWrite(status);
}

Status PortableRegistry::DeleteValue(KeyHandle key, std::string_view name) {
  Status status = StartWrite();
  RegNamespace::Ref ref;
  if (status == kSuccess) status = UseHandle(key, kKeySetValue, ref);
  if (status == kSuccess) status = WritableOrError(*HiveOf(ref.hive));
  if (status == kSuccess && !ref.hive->DeleteValue(*ref.key, NameToUtf16(name), Now())) {
    status = kFileNotFound;
  }
  return EndWrite(status);
}

Status PortableRegistry::EnumValue(KeyHandle key, std::uint32_t index, std::string& name,
                                   RegData& data) {
  RegNamespace::Ref ref;
  if (Status s = UseHandle(key, kKeyQueryValue, ref); s != kSuccess) return s;
  const auto& values = ref.hive->Values(*ref.key);
  if (index >= values.size()) return kNoMoreItems;
  name = Cp936::FromUtf16(values[index].name);
  ToRegData(values[index], data);
  return kSuccess;
}

Status PortableRegistry::EnumKey(KeyHandle key, std::uint32_t index, std::string& name) {
  RegNamespace::Ref ref;
  if (Status s = UseHandle(key, kKeyEnumerateSubKeys, ref); s != kSuccess) return s;
  const auto& subkeys = ref.key->subkeys();
  if (index >= subkeys.size()) return kNoMoreItems;
  name = Cp936::FromUtf16(subkeys[index]->name());
  return kSuccess;
}

}  // namespace korvanta::store
