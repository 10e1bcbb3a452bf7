#include "store/machine.h"

namespace korvanta {

Machine::Machine(std::unique_ptr<MachineBackend> backend)
    : backend_(std::move(backend)),
      reg_(backend_->registry(), backend_->codepage()),
      ini_(backend_->profiles(), backend_->codepage()),
      paths_(*backend_) {}

}  // namespace korvanta
