#pragma once
// A back end that keeps the change journal (journal.h) of the one below it.
// Every write made inside an action is recorded with what its target held
// before; a file about to be written over or deleted is first copied into the
// journal's folder (unless the action just copied it somewhere itself, as the
// cleaner's backups do). When the action ends, what each target holds then is
// added and the record is appended, flushed, before the back end below saves
// what it held back. So a page that writes through the store is journalled
// without a line of its own.
//
// Not journalled: the program's own files in its folder (the log, the backup
// records, the journal itself) other than set.ini, and the program password.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/forwarding_backend.h"
#include "store/journal.h"

namespace korvanta::store {

class JournallingBackend final : public ForwardingBackend {
 public:
  explicit JournallingBackend(std::unique_ptr<MachineBackend> inner);
  ~JournallingBackend() override;

  RegistryBackend& registry() override;
  ProfileBackend& profiles() override;
  FileSystem& files() override;
  Shell& shell() override;
  FileTools& file_tools() override;
  void BeginAction() override;
  void EndAction() override;
  Status SaveChanges() override;
  // The back end's reason, and that the journal could not be written.
  std::string TakeWriteError() override;

  // The current action's place (the page or tool it is made on) and time
  // ("yyyy-mm-dd hh:mm:ss"), and each operation-log entry it writes.
  void DescribeAction(std::string place, std::string time);
  void NoteLogEntry(std::string text);

  Journal& journal() { return journal_; }
  MachineBackend& below() { return inner(); }

  // A preview (korvanta-drive --dry-run): every write is recorded with what it
  // would leave and not made; each action's record goes to sink instead of the
  // journal, and nothing at all is written, the program's own files included.
  void Preview(std::function<void(const JournalRecord&)> sink) { preview_ = std::move(sink); }

  // How many actions the journal keeps when set.ini does not say.
  static constexpr std::size_t kDefaultKeep = 500;

 private:
  class Registry;
  class Profiles;
  class Files;
  class PreviewShell;
  class PreviewTools;
  friend class Registry;
  friend class Profiles;
  friend class Files;

  bool recording() const { return depth_ > 0; }
  bool previewing() const { return static_cast<bool>(preview_); }
  // The change for a target, made with its state before at the first write of
  // the action; nullptr when the action already recorded it.
  JournalChange* Touch(std::string kind, std::vector<std::string> where);
  // The change already recorded for a target, or nullptr.
  JournalChange* Recorded(const std::string& kind, const std::vector<std::string>& where);
  bool Excluded(const std::string& path);
  // Keeps the file's content from before, for the change c: the copy the
  // action made of it when it is about to go, else a copy in the journal's
  // folder; "lost" when it is too large to keep.
  void KeepFile(const std::string& path, bool deleting, JournalChange& c);
  // Appends what was recorded so far as a record, and starts afresh.
  void WriteRecord();
  bool RewrittenAsItWas(const JournalChange& c);
  std::size_t Keep();

  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Profiles> profiles_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<PreviewShell> preview_shell_;
  std::unique_ptr<PreviewTools> preview_tools_;
  Journal journal_;
  int depth_ = 0;

  JournalRecord record_;
  std::unordered_map<std::string, std::size_t> touched_;  // target -> change
  std::unordered_map<std::string, std::string> copies_;   // file -> the action's copy of it
  std::vector<std::string> kept_;                         // the journal's own copies
  std::uint64_t kept_bytes_ = 0;
  std::optional<std::string> program_folder_;
  std::function<void(const JournalRecord&)> preview_;
  std::string journal_failure_;
};

}  // namespace korvanta::store
