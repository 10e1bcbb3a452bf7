#include "store/machine.h"

#include "store/journalling_backend.h"

namespace korvanta::store {

namespace {

std::unique_ptr<MachineBackend> Journalled(std::unique_ptr<MachineBackend> backend,
                                           JournallingBackend*& journalling) {
  auto j = std::make_unique<JournallingBackend>(std::move(backend));
  journalling = j.get();
  return j;
}

}  // namespace

Machine::Machine(std::unique_ptr<MachineBackend> backend)
    : backend_(Journalled(std::move(backend), journalling_)),
      reg_(backend_->registry(), backend_->codepage(), &failures_),
      ini_(backend_->profiles(), backend_->codepage(), &failures_),
      paths_(*backend_) {}

Journal& Machine::journal() {
  return journalling_->journal();
}

void Machine::DescribeAction(std::string place, std::string time) {
  journalling_->DescribeAction(std::move(place), std::move(time));
}

void Machine::NoteLogEntry(std::string text) {
  journalling_->NoteLogEntry(std::move(text));
}

void Machine::Preview(std::function<void(const JournalRecord&)> sink) {
  journalling_->Preview(std::move(sink));
}

MachineBackend& Machine::unjournalled() {
  return journalling_->below();
}

bool Machine::Commit() {
  return backend_->SaveChanges() == kSuccess && failures_.empty();
}

std::string Machine::UnstorableMessage(std::initializer_list<std::string_view> texts) const {
  std::string bad;
  for (std::string_view text : texts) {
    const std::string unstorable = codepage().Unstorable(text);
    for (std::string_view rest = unstorable; !rest.empty();) {
      // One character: its lead byte and the continuation bytes after it.
      std::size_t n = 1;
      while (n < rest.size() && (static_cast<unsigned char>(rest[n]) & 0xc0) == 0x80) ++n;
      if (bad.find(rest.substr(0, n)) == std::string::npos) bad += rest.substr(0, n);
      rest.remove_prefix(n);
    }
  }
  if (bad.empty()) return {};
  return "输入的内容中有系统无法保存的字符：" + bad +
         "\n请改用其他字符后重新设置，本次没有作任何修改！";
}

std::string Machine::TakeWriteError() {
  std::string reason = backend_->TakeWriteError();
  std::vector<std::string> places = failures_.Take();
  if (places.empty()) return reason;
  // A long list says how many; the first few show what kind.
  constexpr std::size_t kShown = 8;
  std::string text = reason.empty() ? std::string() : reason + "\n\n";
  text += "以下设置未能写入：";
  for (std::size_t i = 0; i < places.size() && i < kShown; ++i) text += "\n" + places[i];
  if (places.size() > kShown) text += "\n……共 " + std::to_string(places.size()) + " 项";
  return text;
}

}  // namespace korvanta::store
