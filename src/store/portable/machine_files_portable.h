#pragma once
// The machine's files of a machine folder (see MachineFiles).

#include "store/machine_files.h"
#include "store/portable/machine_folder.h"

namespace korvanta::store {

class PortableMachineFiles final : public MachineFiles {
 public:
  explicit PortableMachineFiles(const MachineFolder& machine) : machine_(machine) {}

  std::vector<char> Drives() const override;
  std::vector<Entry> List(std::string_view folder) const override;
  std::optional<Place> Find(std::string_view path) const override;
  std::optional<std::string> Read(std::string_view path) const override;
  std::optional<std::string> ReadIconFile(std::string_view file) const override;

 private:
  const MachineFolder& machine_;
};

}  // namespace korvanta::store
