#pragma once
// The hardware of a machine folder is the host's, read as Wine reads it: memory
// from the kernel, disks, board and BIOS from sysfs and DMI, adapters from the
// PCI bus with their names from the PCI ID list, the monitor from its EDID.

#include <filesystem>
#include <memory>

#include "store/portable/machine_folder.h"
#include "store/system_facts.h"

namespace korvanta::store {

// Where the host's facts are read: the real roots, or copies a test prepared.
struct HostRoots {
  std::filesystem::path proc = "/proc";
  std::filesystem::path sys = "/sys";
};

class PortableSystemFacts final : public SystemFacts {
 public:
  explicit PortableSystemFacts(const MachineFolder& machine, HostRoots roots = {});
  ~PortableSystemFacts() override;

  std::optional<MemoryStatus> Memory() override;
  std::optional<std::vector<WmiObject>> Instances(std::string_view wmi_class) override;
  std::optional<std::string> FileSystemName(std::string_view folder) override;
  std::int64_t PerformanceCounter() override;
  std::int64_t PerformanceFrequency() override;

 private:
  std::vector<WmiObject> DiskDrives() const;
  std::vector<WmiObject> Monitors() const;
  // The BIOS, or else the board.
  std::vector<WmiObject> Firmware(bool bios) const;
  // The adapters of one PCI class (base class, and the subclasses when given).
  std::vector<WmiObject> Adapters(unsigned base, std::initializer_list<unsigned> subclasses);

  struct PciBus;

  const MachineFolder& machine_;
  HostRoots roots_;
  std::unique_ptr<PciBus> pci_;  // read on first use
};

// The computer name Wine gives the machine: the host name up to its first dot,
// in capitals, at most 15 characters.
std::string ComputerNameOfHost(std::string_view host_name);
// The monitor's name and maker from an EDID block: Caption and MonitorManufacturer.
std::optional<WmiObject> MonitorFromEdid(std::string_view edid);

}  // namespace korvanta::store
