#include "store/journalling_backend.h"

#include <algorithm>
#include <span>

#include "store/journal_state.h"
#include "store/utf.h"

namespace korvanta {
namespace {

// The journal keeps a copy of a file it is about to lose only up to these
// sizes: past them the change is recorded as one that cannot be given back.
constexpr std::uint64_t kKeepFileBytes = 4u << 20;
constexpr std::uint64_t kKeepActionBytes = 32u << 20;
constexpr std::size_t kKeepActionFiles = 256;

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string TargetKey(const std::string& kind, const std::vector<std::string>& where) {
  std::string key = kind;
  for (const std::string& w : where) key += "|" + Folded(w);
  return key;
}

}  // namespace

// --- the registry ---------------------------------------------------------------

class JournallingBackend::Registry final : public RegistryBackend {
 public:
  Registry(JournallingBackend& j, RegistryBackend& in) : j_(j), in_(in) {}

  Status OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                 KeyHandle& key) override {
    Status s = in_.OpenKey(root, path, access, key);
    if (s == kSuccess) paths_[key.id] = {root, std::string(path)};
    return s;
  }
  Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) override {
    if (j_.recording()) {
      // Each level the call creates is a key the action added.
      std::string level;
      for (std::size_t at = 0; at <= path.size();) {
        std::size_t slash = path.find('\\', at);
        if (slash == std::string_view::npos) slash = path.size();
        level = std::string(path.substr(0, slash));
        at = slash + 1;
        if (level.empty()) continue;
        KeyHandle probe;
        if (in_.OpenKey(root, level, kKeyRead, probe) == kSuccess) {
          in_.CloseKey(probe);
          continue;
        }
        if (JournalChange* c = j_.Touch("key", {ShortRootName(root), Utf8(level)}))
          c->before = {"absent"};
      }
    }
    Status s = in_.CreateKey(root, path, key);
    if (s == kSuccess) paths_[key.id] = {root, std::string(path)};
    return s;
  }
  Status CloseKey(KeyHandle key) override {
    paths_.erase(key.id);
    return in_.CloseKey(key);
  }
  Status DeleteKey(RegRoot root, std::string_view path) override {
    if (j_.recording()) {
      // The key's values go with it: each is recorded, then the key.
      KeyHandle key;
      if (in_.OpenKey(root, path, kKeyRead, key) == kSuccess) {
        std::string name;
        RegData data;
        for (std::uint32_t i = 0; in_.EnumValue(key, i, name, data) == kSuccess; ++i) {
          if (JournalChange* c = j_.Touch("value", {ShortRootName(root), Utf8(path), Utf8(name)}))
            c->before = ValueState(j_.codepage(), data);
        }
        in_.CloseKey(key);
        if (JournalChange* c = j_.Touch("key", {ShortRootName(root), Utf8(path)}))
          c->before = {"present"};
      }
    }
    return in_.DeleteKey(root, path);
  }
  Status QueryValue(KeyHandle key, std::string_view name, RegData& data) override {
    return in_.QueryValue(key, name, data);
  }
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override {
    Before(key, name);
    return in_.SetValue(key, name, type, bytes);
  }
  Status DeleteValue(KeyHandle key, std::string_view name) override {
    Before(key, name);
    return in_.DeleteValue(key, name);
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name, RegData& data) override {
    return in_.EnumValue(key, index, name, data);
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override {
    return in_.EnumKey(key, index, name);
  }

 private:
  struct Place {
    RegRoot root;
    std::string path;
  };
  std::string Utf8(std::string_view ansi) { return j_.codepage().FromAnsi(ansi); }

  void Before(KeyHandle key, std::string_view name) {
    if (!j_.recording()) return;
    auto it = paths_.find(key.id);
    if (it == paths_.end()) return;
    const Place& place = it->second;
    // The password is the user's secret: it stays out of a file anyone can read.
    if (place.root == RegRoot::kLocalMachine && Folded(place.path) == "SOFTWARE\\QRMTZE" &&
        Folded(name) == "PASSWORD")
      return;
    JournalChange* c = j_.Touch("value", {ShortRootName(place.root), Utf8(place.path), Utf8(name)});
    if (!c) return;
    RegData data;
    bool there = in_.QueryValue(key, name, data) == kSuccess;
    c->before = ValueState(j_.codepage(), there ? std::optional<RegData>(data) : std::nullopt);
  }

  JournallingBackend& j_;
  RegistryBackend& in_;
  std::unordered_map<std::uintptr_t, Place> paths_;
};

// --- profile files -------------------------------------------------------------

class JournallingBackend::Profiles final : public ProfileBackend {
 public:
  Profiles(JournallingBackend& j, ProfileBackend& in) : j_(j), in_(in) {}

  std::uint32_t GetPrivateProfileString(const char* section, const char* key,
                                        const char* default_value, std::span<char> buffer,
                                        const char* file) override {
    return in_.GetPrivateProfileString(section, key, default_value, buffer, file);
  }
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override {
    if (section && file && Journalled(file)) {
      if (key) {
        Entry(file, section, key);
      } else {
        WholeSection(file, section);
      }
    }
    return in_.WritePrivateProfileString(section, key, value, file);
  }
  bool WritePrivateProfileSection(const char* section, const char* data,
                                  const char* file) override {
    if (section && file && Journalled(file)) {
      WholeSection(file, section);
      // The keys the new content brings.
      for (const char* at = data; at && *at; at += std::char_traits<char>::length(at) + 1) {
        std::string_view line(at);
        std::size_t eq = line.find('=');
        if (eq != std::string_view::npos) Entry(file, section, std::string(line.substr(0, eq)));
      }
    }
    return in_.WritePrivateProfileSection(section, data, file);
  }

 private:
  std::string Utf8(std::string_view ansi) { return j_.codepage().FromAnsi(ansi); }

  // A profile file of the program's own folder is its bookkeeping, set.ini aside.
  bool Journalled(const char* file) {
    if (!j_.recording()) return false;
    return !j_.Excluded(Path(file));
  }
  std::string Path(const char* file) {
    std::string path = Utf8(file);
    if (path.find('\\') == std::string::npos && path.find('/') == std::string::npos) {
      std::string windows = j_.WindowsDirectory();
      if (!windows.empty() && windows.back() != '\\') windows += '\\';
      path = windows + path;
    }
    return path;
  }

  void FileAndSection(const char* file, const char* section) {
    const std::string path = Path(file);
    if (!j_.touched_.count(TargetKey("file", {path})) && !j_.inner().files().Stat(path)) {
      if (JournalChange* c = j_.Touch("file", {path})) c->before = {"absent"};
    }
    JournalChange probe{"section", {Utf8(file), Utf8(section)}, {}, {}};
    if (j_.touched_.count(TargetKey(probe.kind, probe.where))) return;
    JournalState state = CurrentState(j_.inner(), probe);
    if (JournalChange* c = j_.Touch(probe.kind, probe.where)) c->before = state;
  }

  void Entry(const char* file, const char* section, const std::string& key) {
    FileAndSection(file, section);
    JournalChange probe{"entry", {Utf8(file), Utf8(section), Utf8(key)}, {}, {}};
    if (j_.touched_.count(TargetKey(probe.kind, probe.where))) return;
    JournalState state = CurrentState(j_.inner(), probe);
    if (JournalChange* c = j_.Touch(probe.kind, probe.where)) c->before = state;
  }

  void WholeSection(const char* file, const char* section) {
    FileAndSection(file, section);
    std::string keys(1 << 16, '\0');
    keys.resize(in_.GetPrivateProfileString(section, nullptr, "", keys, file));
    for (std::size_t at = 0; at < keys.size();) {
      std::size_t zero = keys.find('\0', at);
      if (zero == std::string::npos) zero = keys.size();
      if (zero > at) Entry(file, section, keys.substr(at, zero - at));
      at = zero + 1;
    }
  }

  JournallingBackend& j_;
  ProfileBackend& in_;
};

// --- files and folders ---------------------------------------------------------

class JournallingBackend::Files final : public ForwardingFileSystem {
 public:
  Files(JournallingBackend& j, FileSystem& in) : ForwardingFileSystem(in), j_(j) {}

  Status WriteFile(std::string_view path, std::string_view bytes) override {
    BeforeFile(path, false);
    return ForwardingFileSystem::WriteFile(path, bytes);
  }
  Status AppendFile(std::string_view path, std::string_view bytes) override {
    BeforeFile(path, false);
    return ForwardingFileSystem::AppendFile(path, bytes);
  }
  Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override {
    BeforeFile(to, false);
    return Copied(from, to, ForwardingFileSystem::CopyFile(from, to, overwrite));
  }
  Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) override {
    BeforeFile(to, false);
    return Copied(from, to, ForwardingFileSystem::CopyFileUnflushed(from, to, overwrite));
  }
  Status DeleteFile(std::string_view path, bool force_read_only) override {
    JournalChange* c = BeforeFile(path, true);
    Status s = ForwardingFileSystem::DeleteFile(path, force_read_only);
    if (c && s == kSuccess) c->after = {"absent"};  // no need to look again at the end
    return s;
  }
  // Nothing is kept: the change is recorded once the file is gone.
  Status DiscardFile(std::string_view path) override {
    Status s = ForwardingFileSystem::DeleteFile(path, true);
    if (s == kSuccess && Journalled(path)) {
      if (JournalChange* c = j_.Touch("file", {std::string(path)})) {
        c->before = {"lost"};
        c->after = {"absent"};
      }
    }
    return s;
  }
  Status CreateDirectory(std::string_view path) override {
    if (Journalled(path)) {
      // Each missing folder on the way is one the action added.
      for (std::size_t slash = path.find('\\', 3);; slash = path.find('\\', slash + 1)) {
        std::string level(path.substr(0, slash));
        if (!level.empty() && !inner().Stat(level)) {
          if (JournalChange* c = j_.Touch("folder", {level})) c->before = {"absent"};
        }
        if (slash == std::string_view::npos) break;
      }
    }
    return ForwardingFileSystem::CreateDirectory(path);
  }
  Status RemoveDirectory(std::string_view path) override {
    if (Journalled(path)) {
      if (JournalChange* c = j_.Touch("folder", {std::string(path)})) c->before = {"present"};
    }
    return ForwardingFileSystem::RemoveDirectory(path);
  }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    if (Journalled(path)) {
      std::optional<FileEntry> e = inner().Stat(path);
      if (e) {
        if (JournalChange* c = j_.Touch("attributes", {std::string(path)}))
          c->before = {std::to_string(e->attributes)};
      }
    }
    return ForwardingFileSystem::SetAttributes(path, attributes);
  }

 private:
  bool Journalled(std::string_view path) {
    return j_.recording() && !j_.Excluded(std::string(path));
  }
  // The file's change, recorded with its content from before at the first
  // write of the action; nullptr when it is not journalled.
  JournalChange* BeforeFile(std::string_view path, bool deleting) {
    if (!Journalled(path)) return nullptr;
    const std::string p(path);
    auto it = j_.touched_.find(TargetKey("file", {p}));
    if (it != j_.touched_.end()) {
      JournalChange& c = j_.record_.changes[it->second];
      c.after.clear();  // written again: looked at anew at the end
      return &c;
    }
    JournalChange* c = j_.Touch("file", {p});
    if (c) j_.KeepFile(p, deleting, *c);
    return c;
  }
  Status Copied(std::string_view from, std::string_view to, Status s) {
    if (s == kSuccess && j_.recording()) j_.copies_[Folded(from)] = std::string(to);
    return s;
  }

  JournallingBackend& j_;
};

// --- the action ----------------------------------------------------------------

JournallingBackend::JournallingBackend(std::unique_ptr<MachineBackend> inner)
    : ForwardingBackend(std::move(inner)),
      registry_(std::make_unique<Registry>(*this, ForwardingBackend::registry())),
      profiles_(std::make_unique<Profiles>(*this, ForwardingBackend::profiles())),
      files_(std::make_unique<Files>(*this, ForwardingBackend::files())),
      journal_(ForwardingBackend::files(), ForwardingBackend::ProgramFolder() + "\\journal") {}

JournallingBackend::~JournallingBackend() = default;

RegistryBackend& JournallingBackend::registry() {
  return *registry_;
}
ProfileBackend& JournallingBackend::profiles() {
  return *profiles_;
}
FileSystem& JournallingBackend::files() {
  return *files_;
}

void JournallingBackend::BeginAction() {
  ++depth_;
  inner().BeginAction();
}

void JournallingBackend::EndAction() {
  // The record goes to the disk before the back end below saves the writes it
  // held back: whatever of the action is stored can be taken back.
  if (depth_ == 1) WriteRecord();
  if (depth_ > 0) --depth_;
  inner().EndAction();
}

Status JournallingBackend::SaveChanges() {
  if (recording()) WriteRecord();
  return inner().SaveChanges();
}

void JournallingBackend::DescribeAction(std::string place, std::string time) {
  record_.place = std::move(place);
  if (!time.empty()) record_.time = std::move(time);
}

void JournallingBackend::NoteLogEntry(std::string text) {
  if (recording()) record_.log.push_back(std::move(text));
}

JournalChange* JournallingBackend::Touch(std::string kind, std::vector<std::string> where) {
  std::string key = TargetKey(kind, where);
  if (touched_.count(key)) return nullptr;
  touched_.emplace(std::move(key), record_.changes.size());
  record_.changes.push_back({std::move(kind), std::move(where), {}, {}});
  return &record_.changes.back();
}

bool JournallingBackend::Excluded(const std::string& path) {
  if (!program_folder_) program_folder_ = Folded(ProgramFolder()) + "\\";
  const std::string folded = Folded(path);
  if (folded.rfind(*program_folder_, 0) != 0) return false;
  return folded != *program_folder_ + "SET.INI";
}

void JournallingBackend::KeepFile(const std::string& path, bool deleting, JournalChange& c) {
  FileSystem& files = inner().files();
  std::optional<FileEntry> e = files.Stat(path);
  if (!e || e->is_directory()) {
    c.before = {"absent"};
    return;
  }
  if (deleting) {
    auto copy = copies_.find(Folded(path));
    if (copy != copies_.end() && files.Stat(copy->second)) {
      c.before = {"copy", copy->second};
      return;
    }
  }
  if (e->size > kKeepFileBytes || kept_bytes_ + e->size > kKeepActionBytes ||
      kept_.size() >= kKeepActionFiles) {
    c.before = {"lost"};
    return;
  }
  if (record_.id == 0) record_.id = journal_.NextId();
  const std::string copy = journal_.folder() + "\\" + std::to_string(record_.id) + "-" +
                           std::to_string(kept_.size() + 1);
  files.CreateDirectory(journal_.folder());
  // On the disk before the original changes: CopyFile returns with it flushed.
  if (files.CopyFile(path, copy, true) != kSuccess) {
    c.before = {"lost"};
    return;
  }
  kept_.push_back(copy);
  kept_bytes_ += e->size;
  c.before = {"copy", copy};
}

std::size_t JournallingBackend::Keep() {
  std::string buffer(32, '\0');
  const std::string ini = codepage().ToAnsi(ProgramFolder() + "\\set.ini");
  buffer.resize(
      inner().profiles().GetPrivateProfileString("journal", "MaxActions", "", buffer, ini.c_str()));
  long keep = std::strtol(buffer.c_str(), nullptr, 10);
  return keep > 0 ? static_cast<std::size_t>(keep) : kDefaultKeep;
}

void JournallingBackend::WriteRecord() {
  // What each target holds now; a target the action left as it was is no change.
  std::vector<JournalChange> changes;
  for (JournalChange& c : record_.changes) {
    if (c.after.empty()) c.after = CurrentState(inner(), c);
    bool unchanged =
        c.after == c.before ||
        (c.kind == "file" && c.before.size() == 2 && c.before[0] == "copy" && c.after.size() == 3 &&
         std::find(kept_.begin(), kept_.end(), c.before[1]) != kept_.end() && [&] {
           std::string a, b;
           return inner().files().ReadFile(c.before[1], a) == kSuccess &&
                  inner().files().ReadFile(c.where[0], b) == kSuccess && a == b;
         }());
    if (!unchanged) changes.push_back(std::move(c));
  }
  // Copies of files that did not change after all are not needed.
  for (const std::string& copy : kept_) {
    bool used = std::any_of(changes.begin(), changes.end(), [&](const JournalChange& c) {
      return c.before.size() == 2 && c.before[0] == "copy" && c.before[1] == copy;
    });
    if (!used) inner().files().DeleteFile(copy, true);
  }
  if (!changes.empty()) {
    JournalRecord record = std::move(record_);
    record.changes = std::move(changes);
    if (record.id == 0) record.id = journal_.NextId();
    journal_.Append(record, Keep());
    record_.place = record.place;
    record_.time = record.time;
  }
  // What the action does after this belongs to a record of its own.
  const std::string place = record_.place, time = record_.time;
  record_ = JournalRecord{};
  record_.place = place;
  record_.time = time;
  touched_.clear();
  copies_.clear();
  kept_.clear();
  kept_bytes_ = 0;
}

}  // namespace korvanta
