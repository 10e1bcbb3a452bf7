#include "store/journalling_backend.h"

#include <algorithm>
#include <span>
#include <utility>

#include "store/journal_state.h"
#include "store/utf.h"

namespace korvanta::store {
namespace {

// The journal keeps a copy of a file it is about to lose only up to these
// sizes: past them the change is recorded as one that cannot be given back.
constexpr std::uint64_t kKeepFileBytes = 4u << 20;
constexpr std::uint64_t kKeepActionBytes = 32u << 20;
constexpr std::size_t kKeepActionFiles = 256;

std::string TargetKey(const std::string& kind, const std::vector<std::string>& where) {
  std::string key = kind;
  for (const std::string& w : where) key += "|" + AsciiUpper(w);
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
    bool missing = false;
    KeyHandle probe;
    if (j_.recording() && in_.OpenKey(root, path, kKeyRead, probe) == kSuccess) {
      in_.CloseKey(probe);  // the common case: nothing is created
    } else if (j_.recording()) {
      // Each level the call creates is a key the action added.
      for (std::size_t at = 0; at <= path.size();) {
        std::size_t slash = path.find('\\', at);
        if (slash == std::string_view::npos) slash = path.size();
        std::string level(path.substr(0, slash));
        at = slash + 1;
        if (level.empty()) continue;
        if (in_.OpenKey(root, level, kKeyRead, probe) == kSuccess) {
          in_.CloseKey(probe);
          continue;
        }
        missing = true;
        if (JournalChange* c = j_.Touch("key", {ShortRootName(root), Utf8(level)})) {
          c->before = {"absent"};
          if (j_.previewing()) c->after = {"present"};
        }
      }
    }
    Status s;
    if (j_.previewing() && missing) {
      // The key is not made: a handle of the preview's own stands for it.
      key.id = kPreviewKeys + ++preview_keys_;
      s = kSuccess;
    } else {
      s = j_.previewing() ? in_.OpenKey(root, path, kKeyRead, key) : in_.CreateKey(root, path, key);
    }
    if (s == kSuccess) paths_[key.id] = {root, std::string(path)};
    return s;
  }
  Status CloseKey(KeyHandle key) override {
    paths_.erase(key.id);
    return Previewed(key) ? kSuccess : in_.CloseKey(key);
  }
  Status DeleteKey(RegRoot root, std::string_view path) override {
    if (j_.recording()) {
      // The key's values go with it: each is recorded, then the key.
      KeyHandle key;
      if (in_.OpenKey(root, path, kKeyRead, key) == kSuccess) {
        std::string name;
        RegData data;
        for (std::uint32_t i = 0; in_.EnumValue(key, i, name, data) == kSuccess; ++i) {
          if (JournalChange* c = j_.Touch("value", {ShortRootName(root), Utf8(path), Utf8(name)})) {
            c->before = ValueState(j_.codepage(), data);
            if (j_.previewing()) c->after = {"absent"};
          }
        }
        in_.CloseKey(key);
        if (JournalChange* c = j_.Touch("key", {ShortRootName(root), Utf8(path)})) {
          c->before = {"present"};
          if (j_.previewing()) c->after = {"absent"};
        }
      }
    }
    return j_.previewing() ? kSuccess : in_.DeleteKey(root, path);
  }
  Status QueryValue(KeyHandle key, std::string_view name, RegData& data) override {
    return Previewed(key) ? kFileNotFound : in_.QueryValue(key, name, data);
  }
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override {
    JournalChange* c = Before(key, name);
    if (!j_.previewing()) return in_.SetValue(key, name, type, bytes);
    // What the value would hold: a string as the registry keeps it, with its zero.
    std::string stored(bytes);
    if ((type == kRegSz || type == kRegExpandSz) && (stored.empty() || stored.back() != '\0'))
      stored += '\0';
    if (c) c->after = ValueState(j_.codepage(), RegData{type, stored});
    return kSuccess;
  }
  Status DeleteValue(KeyHandle key, std::string_view name) override {
    JournalChange* c = Before(key, StoredName(key, name));
    if (!j_.previewing()) return in_.DeleteValue(key, name);
    if (c) c->after = {"absent"};
    return kSuccess;
  }
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name, RegData& data) override {
    return Previewed(key) ? kNoMoreItems : in_.EnumValue(key, index, name, data);
  }
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override {
    return Previewed(key) ? kNoMoreItems : in_.EnumKey(key, index, name);
  }

 private:
  struct Place {
    RegRoot root;
    std::string path;
  };
  static constexpr std::uintptr_t kPreviewKeys = std::uintptr_t{1} << (sizeof(void*) * 8 - 2);
  static bool Previewed(KeyHandle key) { return key.id > kPreviewKeys; }
  std::string Utf8(std::string_view ansi) { return j_.codepage().FromAnsi(ansi); }

  // The name of a value about to go as the key stores it, whatever the case
  // the caller wrote: the undo gives it back under that name.
  std::string StoredName(KeyHandle key, std::string_view name) {
    auto it = paths_.find(key.id);
    KeyHandle read;
    if (!j_.recording() || it == paths_.end() ||
        in_.OpenKey(it->second.root, it->second.path, kKeyRead, read) != kSuccess)
      return std::string(name);
    std::string found(name), each;
    RegData data;
    for (std::uint32_t i = 0; in_.EnumValue(read, i, each, data) == kSuccess; ++i) {
      if (EqualsIgnoreCase(Utf8(each), Utf8(name))) {
        found = each;
        break;
      }
    }
    in_.CloseKey(read);
    return found;
  }

  // The value's change, with the value from before at the first write of the
  // action; the one already recorded at a later write.
  JournalChange* Before(KeyHandle key, std::string_view name) {
    if (!j_.recording()) return nullptr;
    auto it = paths_.find(key.id);
    if (it == paths_.end()) return nullptr;
    const Place& place = it->second;
    // The password is the user's secret: it stays out of a file anyone can read.
    if (place.root == RegRoot::kLocalMachine && AsciiUpper(place.path) == "SOFTWARE\\QRMTZE" &&
        AsciiUpper(name) == "PASSWORD")
      return nullptr;
    std::vector<std::string> where{ShortRootName(place.root), Utf8(place.path), Utf8(name)};
    if (JournalChange* known = j_.Recorded("value", where)) return known;
    // Read through a key of its own: the caller's may be open for writing only.
    JournalState before = CurrentState(j_.inner(), JournalChange{"value", where, {}, {}});
    JournalChange* c = j_.Touch("value", std::move(where));
    c->before = std::move(before);
    return c;
  }

  JournallingBackend& j_;
  RegistryBackend& in_;
  std::unordered_map<std::uintptr_t, Place> paths_;
  std::uintptr_t preview_keys_ = 0;
};

// --- profile files -------------------------------------------------------------

class JournallingBackend::Profiles final : public ForwardingProfiles {
 public:
  Profiles(JournallingBackend& j, ProfileBackend& in) : ForwardingProfiles(in), j_(j) {}

  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override {
    if (section && file && Journalled(file)) {
      if (key) {
        JournalChange& entry = Entry(file, section, key);
        if (j_.previewing()) {
          entry.after =
              EntryState(j_.codepage(), value ? std::optional<std::string>(value) : std::nullopt);
          if (value) Created(file, section);
        }
      } else {
        std::vector<JournalChange*> entries = WholeSection(file, section);
        if (j_.previewing()) {
          for (JournalChange* e : entries) e->after = {"absent"};
          Section(file, section).after = {"absent"};
        }
      }
    }
    return j_.previewing() || inner().WritePrivateProfileString(section, key, value, file);
  }
  bool WritePrivateProfileSection(const char* section, const char* data,
                                  const char* file) override {
    if (section && file && Journalled(file)) {
      std::vector<JournalChange*> old = WholeSection(file, section);
      if (j_.previewing()) {
        for (JournalChange* e : old) e->after = {"absent"};
        data ? Created(file, section) : void(Section(file, section).after = {"absent"});
      }
      // The keys the new content brings.
      for (const char* at = data; at && *at; at += std::char_traits<char>::length(at) + 1) {
        std::string_view line(at);
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        JournalChange& entry = Entry(file, section, std::string(line.substr(0, eq)));
        if (j_.previewing())
          entry.after = EntryState(j_.codepage(), std::string(line.substr(eq + 1)));
      }
    }
    return j_.previewing() || inner().WritePrivateProfileSection(section, data, file);
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

  // A change of the file, with its state from before at the first write.
  JournalChange& Recorded(std::string kind, std::vector<std::string> where) {
    if (JournalChange* known = j_.Recorded(kind, where)) return *known;
    JournalChange probe{kind, where, {}, {}};
    JournalState state = CurrentState(j_.inner(), probe);
    JournalChange* c = j_.Touch(std::move(kind), std::move(where));
    c->before = std::move(state);
    return *c;
  }
  JournalChange& Section(const char* file, const char* section) {
    // A file the write creates is a change of its own.
    const std::string path = Path(file);
    if (!j_.Recorded("file", {path}) && !j_.inner().files().Stat(path)) {
      j_.Touch("file", {path})->before = {"absent"};
    }
    return Recorded("section", {Utf8(file), Utf8(section)});
  }
  JournalChange& Entry(const char* file, const char* section, const std::string& key) {
    Section(file, section);
    return Recorded("entry", {Utf8(file), Utf8(section), Utf8(key)});
  }
  // What a preview's write would make there: the file and the section.
  void Created(const char* file, const char* section) {
    if (JournalChange* f = j_.Recorded("file", {Path(file)})) f->after = {"present"};
    Section(file, section).after = {"present"};
  }
  std::vector<JournalChange*> WholeSection(const char* file, const char* section) {
    Section(file, section);
    std::vector<std::string> names;
    std::string keys(1 << 16, '\0');
    keys.resize(inner().GetPrivateProfileString(section, nullptr, "", keys, file));
    for (std::size_t at = 0; at < keys.size();) {
      std::size_t zero = keys.find('\0', at);
      if (zero == std::string::npos) zero = keys.size();
      if (zero > at) names.push_back(keys.substr(at, zero - at));
      at = zero + 1;
    }
    // Pointers only once every entry is in: the record's list may grow meanwhile.
    for (const std::string& name : names) Entry(file, section, name);
    std::vector<JournalChange*> entries;
    for (const std::string& name : names)
      entries.push_back(j_.Recorded("entry", {Utf8(file), Utf8(section), Utf8(name)}));
    return entries;
  }

  JournallingBackend& j_;
};

// --- files and folders ---------------------------------------------------------

class JournallingBackend::Files final : public ForwardingFileSystem {
 public:
  Files(JournallingBackend& j, FileSystem& in) : ForwardingFileSystem(in), j_(j) {}

  // A preview's reads see what its writes would have left.
  std::optional<FileEntry> Stat(std::string_view path) override {
    if (const Shadow* shadow = Shadowed(path)) {
      if (!shadow->exists) return std::nullopt;
      FileEntry e;
      e.name = std::string(path.substr(path.find_last_of('\\') + 1));
      e.attributes = shadow->folder ? kAttrDirectory : kAttrArchive;
      e.size = shadow->bytes.size();
      return e;
    }
    return ForwardingFileSystem::Stat(path);
  }
  Status ReadFile(std::string_view path, std::string& bytes) override {
    if (const Shadow* shadow = Shadowed(path)) {
      if (!shadow->exists || shadow->folder) return kFileNotFound;
      bytes = shadow->bytes;
      return kSuccess;
    }
    return ForwardingFileSystem::ReadFile(path, bytes);
  }
  Status WriteFile(std::string_view path, std::string_view bytes) override {
    if (Preview(BeforeFile(path, false), path, std::string(bytes))) return kSuccess;
    return ForwardingFileSystem::WriteFile(path, bytes);
  }
  Status AppendFile(std::string_view path, std::string_view bytes) override {
    std::string old;
    if (j_.previewing()) ReadFile(path, old);
    if (Preview(BeforeFile(path, false), path, old + std::string(bytes))) return kSuccess;
    return ForwardingFileSystem::AppendFile(path, bytes);
  }
  Status CopyFile(std::string_view from, std::string_view to, bool overwrite) override {
    if (Preview(BeforeFile(to, false), to, Bytes(from, to, overwrite))) return kSuccess;
    return Copied(from, to, ForwardingFileSystem::CopyFile(from, to, overwrite));
  }
  Status CopyFileUnflushed(std::string_view from, std::string_view to, bool overwrite) override {
    if (Preview(BeforeFile(to, false), to, Bytes(from, to, overwrite))) return kSuccess;
    return Copied(from, to, ForwardingFileSystem::CopyFileUnflushed(from, to, overwrite));
  }
  Status FlushFiles(const std::vector<std::string>& paths) override {
    return j_.previewing() ? kSuccess : ForwardingFileSystem::FlushFiles(paths);
  }
  Status DeleteFile(std::string_view path, bool force_read_only) override {
    JournalChange* c = BeforeFile(path, true);
    Status s = kSuccess;
    if (!j_.previewing()) {
      s = ForwardingFileSystem::DeleteFile(path, force_read_only);
    } else if (!Stat(path)) {
      s = kFileNotFound;
    } else {
      shadows_[AsciiUpper(path)] = Shadow{false, false, {}};
    }
    if (c && s == kSuccess) c->after = {"absent"};  // no need to look again at the end
    return s;
  }
  // Nothing is kept: the change is recorded once the file is gone.
  Status DiscardFile(std::string_view path) override {
    const bool there = j_.previewing() && Stat(path);
    Status s = !j_.previewing() ? ForwardingFileSystem::DeleteFile(path, true)
               : there          ? kSuccess
                                : kFileNotFound;
    if (there) shadows_[AsciiUpper(path)] = Shadow{false, false, {}};
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
          if (JournalChange* c = j_.Touch("folder", {level})) {
            c->before = {"absent"};
            if (j_.previewing()) c->after = {"present"};
          }
        }
        if (slash == std::string_view::npos) break;
      }
    }
    if (!j_.previewing()) return ForwardingFileSystem::CreateDirectory(path);
    if (!Stat(path)) shadows_[AsciiUpper(path)] = Shadow{true, true, {}};
    return kSuccess;
  }
  Status RemoveDirectory(std::string_view path) override {
    if (Journalled(path)) {
      if (JournalChange* c = j_.Touch("folder", {std::string(path)})) {
        c->before = {"present"};
        if (j_.previewing()) c->after = {"absent"};
      }
    }
    return j_.previewing() ? kSuccess : ForwardingFileSystem::RemoveDirectory(path);
  }
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override {
    if (Journalled(path)) {
      std::optional<FileEntry> e = inner().Stat(path);
      if (e) {
        if (JournalChange* c = j_.Touch("attributes", {std::string(path)})) {
          c->before = {std::to_string(e->attributes)};
          if (j_.previewing()) c->after = {std::to_string(attributes)};
        }
      }
    }
    return j_.previewing() ? kSuccess : ForwardingFileSystem::SetAttributes(path, attributes);
  }

 private:
  bool Journalled(std::string_view path) {
    return j_.recording() && !j_.Excluded(std::string(path));
  }
  // What a preview's writes would have left at a path: a file's bytes, a
  // folder, or nothing.
  struct Shadow {
    bool exists = false;
    bool folder = false;
    std::string bytes;
  };
  const Shadow* Shadowed(std::string_view path) {
    if (shadows_.empty()) return nullptr;
    auto it = shadows_.find(AsciiUpper(path));
    return it == shadows_.end() ? nullptr : &it->second;
  }
  // A preview's copy: the source's bytes, when the copy would be made.
  std::string Bytes(std::string_view from, std::string_view to, bool overwrite) {
    std::string bytes;
    if (j_.previewing() && (overwrite || !Stat(to))) ReadFile(from, bytes);
    return bytes;
  }
  // In a preview, what the write would leave is recorded, and shadowed for the
  // reads after it, and nothing is written: true then, journalled path or not.
  bool Preview(JournalChange* c, std::string_view path, std::string bytes) {
    if (!j_.previewing()) return false;
    if (c) c->after = {"present", std::to_string(bytes.size())};
    shadows_[AsciiUpper(path)] = Shadow{true, false, std::move(bytes)};
    return true;
  }
  // The file's change, recorded with its content from before at the first
  // write of the action; nullptr when it is not journalled.
  JournalChange* BeforeFile(std::string_view path, bool deleting) {
    if (!Journalled(path)) return nullptr;
    const std::string p(path);
    if (JournalChange* known = j_.Recorded("file", {p})) {
      known->after.clear();  // written again: looked at anew at the end
      return known;
    }
    JournalChange* c = j_.Touch("file", {p});
    j_.KeepFile(p, deleting, *c);
    return c;
  }
  Status Copied(std::string_view from, std::string_view to, Status s) {
    if (s == kSuccess && j_.recording()) j_.copies_[AsciiUpper(from)] = std::string(to);
    return s;
  }

  JournallingBackend& j_;
  std::unordered_map<std::string, Shadow> shadows_;
};

// --- what a preview does not do ------------------------------------------------

// The shell's and the file tools' writes are not journalled (the Recycle Bin
// keeps what it takes; an overwrite is the user's choice of no return), but a
// preview does not make them either.
class JournallingBackend::PreviewShell final : public Shell {
 public:
  explicit PreviewShell(Shell& in) : in_(in) {}
  void RecycleFile(std::string_view) override {}
  void Execute(std::string_view, std::string_view, std::string_view, std::uintptr_t) override {}
  bool StartsPrograms() const override { return in_.StartsPrograms(); }
  void RunMinimized(std::string_view) override {}
  void RequestRestart() override {}
  void ShowDesktopIconView(bool) override {}

 private:
  Shell& in_;
};

class JournallingBackend::PreviewTools final : public FileTools {
 public:
  explicit PreviewTools(FileTools& in) : in_(in) {}
  std::unique_ptr<FolderWalk> Walk(std::string_view root) override { return in_.Walk(root); }
  std::string TypeName(std::string_view name) override { return in_.TypeName(name); }
  std::string ShortDateTime(std::int64_t filetime) override { return in_.ShortDateTime(filetime); }
  Status Overwrite(std::string_view) override { return kSuccess; }
  void EmptyRecycleBin() override {}

 private:
  FileTools& in_;
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
Shell& JournallingBackend::shell() {
  if (!previewing()) return inner().shell();
  if (!preview_shell_) preview_shell_ = std::make_unique<PreviewShell>(inner().shell());
  return *preview_shell_;
}
FileTools& JournallingBackend::file_tools() {
  if (!previewing()) return inner().file_tools();
  if (!preview_tools_) preview_tools_ = std::make_unique<PreviewTools>(inner().file_tools());
  return *preview_tools_;
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

std::string JournallingBackend::TakeWriteError() {
  std::string reason = inner().TakeWriteError();
  if (journal_failure_.empty()) return reason;
  std::string failure = std::exchange(journal_failure_, {});
  return reason.empty() ? failure : reason + "\n" + failure;
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

JournalChange* JournallingBackend::Recorded(const std::string& kind,
                                            const std::vector<std::string>& where) {
  auto it = touched_.find(TargetKey(kind, where));
  return it == touched_.end() ? nullptr : &record_.changes[it->second];
}

JournalChange* JournallingBackend::Touch(std::string kind, std::vector<std::string> where) {
  std::string key = TargetKey(kind, where);
  if (touched_.count(key)) return nullptr;
  touched_.emplace(std::move(key), record_.changes.size());
  record_.changes.push_back({std::move(kind), std::move(where), {}, {}});
  return &record_.changes.back();
}

bool JournallingBackend::Excluded(const std::string& path) {
  if (!program_folder_) program_folder_ = AsciiUpper(ProgramFolder()) + "\\";
  const std::string folded = AsciiUpper(path);
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
  if (previewing()) {  // nothing is about to go
    c.before = {"present", std::to_string(e->size), std::to_string(e->modified)};
    return;
  }
  if (deleting) {
    auto copy = copies_.find(AsciiUpper(path));
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

// A file written again with the bytes it held (an apply that changes nothing)
// has a new time of last write, and no change.
bool JournallingBackend::RewrittenAsItWas(const JournalChange& c) {
  if (c.kind != "file" || c.before.size() != 2 || c.before[0] != "copy" || c.after.size() != 3 ||
      std::find(kept_.begin(), kept_.end(), c.before[1]) == kept_.end())
    return false;
  std::string before, now;
  return inner().files().ReadFile(c.before[1], before) == kSuccess &&
         inner().files().ReadFile(c.where[0], now) == kSuccess && before == now;
}

void JournallingBackend::WriteRecord() {
  // What each target holds now; a target the action left as it was is no change.
  std::vector<JournalChange> changes;
  for (JournalChange& c : record_.changes) {
    if (c.after.empty()) c.after = CurrentState(inner(), c);
    if (c.after != c.before && !RewrittenAsItWas(c)) changes.push_back(std::move(c));
  }
  // Copies of files that did not change after all are not needed.
  for (const std::string& copy : kept_) {
    bool used = std::any_of(changes.begin(), changes.end(), [&](const JournalChange& c) {
      return c.before.size() == 2 && c.before[0] == "copy" && c.before[1] == copy;
    });
    if (!used) inner().files().DeleteFile(copy, true);
  }
  if (!changes.empty() && previewing()) {
    JournalRecord record = record_;
    record.changes = std::move(changes);
    preview_(record);
  } else if (!changes.empty()) {
    JournalRecord record = std::move(record_);
    record.changes = std::move(changes);
    if (record.id == 0) record.id = journal_.NextId();
    // The changes stand; that they cannot be undone is told with the action's
    // other failures.
    if (journal_.Append(record, Keep()) != kSuccess)
      journal_failure_ = "更改记录 " + journal_.File() + " 无法写入，这次的更改将不能撤销。";
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

}  // namespace korvanta::store
