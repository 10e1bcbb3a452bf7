#pragma once
// The machine the program works on, as pages see it: the Registry Access Layer,
// the Settings Store, the shared paths, files and shell, all over one back end.

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "store/journal.h"
#include "store/machine_backend.h"
#include "store/paths.h"
#include "store/reg.h"
#include "store/settings_store.h"
#include "store/write_failures.h"

namespace korvanta::store {

class JournallingBackend;

class Machine {
 public:
  explicit Machine(std::unique_ptr<MachineBackend> backend);

  Registry& reg() { return reg_; }
  SettingsStore& ini() { return ini_; }
  SystemPaths& paths() { return paths_; }
  FileSystem& files() { return backend_->files(); }
  Shell& shell() { return backend_->shell(); }
  SystemFacts& facts() { return backend_->facts(); }
  ShellIcons& icons() { return backend_->icons(); }
  FileTools& file_tools() { return backend_->file_tools(); }
  const Codepage& codepage() const { return backend_->codepage(); }
  MachineBackend& backend() { return *backend_; }
  std::string Describe() const { return backend_->Describe(); }

  // One user action: its writes are saved together when the last scope ends.
  class Action {
   public:
    explicit Action(MachineBackend& backend) : backend_(&backend) { backend_->BeginAction(); }
    Action(Action&& other) noexcept : backend_(std::exchange(other.backend_, nullptr)) {}
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
    Action& operator=(Action&&) = delete;
    ~Action() {
      if (backend_) backend_->EndAction();
    }

   private:
    MachineBackend* backend_;
  };
  [[nodiscard]] Action BeginAction() { return Action(*backend_); }
  // Stores now what the current action wrote so far, for an action that tells
  // the user it succeeded: true when every write of the action so far is stored.
  bool Commit();
  // Whether the current action's registry writes would be refused now (a
  // running Wine owns the registry): asked before an action writes files that
  // go with its registry values, so that both are written or neither. The reason
  // is also told with the action's other failures. Empty: writes may go ahead.
  std::string WriteRefusal() { return backend_->WriteRefusal(); }
  // For an action about to store texts the user typed: a message naming the
  // characters the ANSI code page cannot hold, empty when every text can be
  // stored. The action then writes nothing.
  std::string UnstorableMessage(std::initializer_list<std::string_view> texts) const;
  // A place the action could not write other than through the store (a hosts
  // file that is read-only), told with the rest.
  void RecordWriteFailure(std::string what) { failures_.Record(std::move(what)); }
  // The change journal: every action's writes with what was there before.
  Journal& journal();
  // Where (the page or tool) and when ("yyyy-mm-dd hh:mm:ss") the current
  // action is made, and each operation-log entry it writes, for its record.
  void DescribeAction(std::string place, std::string time);
  void NoteLogEntry(std::string text);
  // A preview: no write is made, the program's own files included; each
  // action's record of what it would change goes to sink instead.
  void Preview(std::function<void(const JournalRecord&)> sink);
  // The back end below the journal: reads and writes that are not the user's
  // changes (the undo's own look at what is there now).
  MachineBackend& unjournalled();

  // What the last action could not store, for the user: the back end's reason
  // (a running Wine owns the registry, a full disk) and the places not written.
  // Empty when everything was stored. Taking it clears it.
  std::string TakeWriteError();

 private:
  std::unique_ptr<MachineBackend> backend_;
  JournallingBackend* journalling_;
  WriteFailures failures_;
  Registry reg_;
  SettingsStore ini_;
  SystemPaths paths_;
};

}  // namespace korvanta::store
