#pragma once
// What the machine tells about its hardware: the memory status, the hardware
// classes the inventory asks WMI for, the file system of a drive and the
// performance counter.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::store {

// GlobalMemoryStatusEx: counts of bytes, the load in percent.
struct MemoryStatus {
  std::uint32_t load = 0;
  std::uint64_t total_physical = 0;
  std::uint64_t available_physical = 0;
  std::uint64_t total_virtual = 0;
};

// One instance of a WMI class: its properties as texts (numbers in decimal). A
// property that is missing or Null is absent.
using WmiObject = std::map<std::string, std::string, std::less<>>;

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;

  virtual std::optional<MemoryStatus> Memory() = 0;
  // InstancesOf(wmi_class) through "winmgmts:{impersonationLevel=impersonate}",
  // in the order WMI returns them; nothing when WMI cannot be reached or does not
  // know the class.
  virtual std::optional<std::vector<WmiObject>> Instances(std::string_view wmi_class) = 0;
  // The file-system name ("NTFS", "FAT32") of the drive that holds folder.
  virtual std::optional<std::string> FileSystemName(std::string_view folder) = 0;

  // QueryPerformanceCounter and QueryPerformanceFrequency.
  virtual std::int64_t PerformanceCounter() = 0;
  virtual std::int64_t PerformanceFrequency() = 0;
};

}  // namespace korvanta::store
