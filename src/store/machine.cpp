#include "store/machine.h"

namespace korvanta {

Machine::Machine(std::unique_ptr<MachineBackend> backend)
    : backend_(std::move(backend)),
      reg_(backend_->registry(), backend_->codepage(), &failures_),
      ini_(backend_->profiles(), backend_->codepage(), &failures_),
      paths_(*backend_) {}

bool Machine::Commit() {
  return backend_->SaveChanges() == kSuccess && failures_.empty();
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

}  // namespace korvanta
