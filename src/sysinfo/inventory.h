#pragma once
// The seventeen rows of the inventory page: what the machine says about itself,
// and how each row reads it.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/machine.h"
#include "store/system_facts.h"

namespace korvanta::sysinfo {

inline constexpr int kInventoryRows = 17;
// The value labels' indexes of the rows that are not plain WMI rows.
inline constexpr int kWindowsValue = 0, kCpuValue = 1, kMemoryValue = 2, kVirtualValue = 5,
                     kSystemFolderValue = 13, kDirectXValue = 14, kWindowsFolderValue = 15,
                     kFileSystemValue = 16;
inline constexpr std::string_view kUndetected = "无法正常检测";

// Everything the rows are made of, as the machine gives it; tests fill it
// themselves.
struct InventoryFacts {
  // Under Software\Microsoft\Windows\CurrentVersion and ...\Windows NT\CurrentVersion;
  // a missing value is nothing.
  std::optional<std::string> product_name, version_number;
  std::optional<std::string> nt_product_name, csd_version;
  std::optional<store::MemoryStatus> memory;
  // The instances of each class asked; a class WMI did not answer is absent.
  std::map<std::string, std::vector<store::WmiObject>, std::less<>> wmi;
  // GetSystemDirectoryA and GetWindowsDirectoryA: "" when the call failed.
  std::string system_folder, windows_folder;
  std::optional<std::string> directx;
  // The file system of the Windows folder's drive.
  std::optional<std::string> file_system;
};

// The WMI classes the rows read, in the order they are asked.
extern const std::array<std::string_view, 8> kInventoryClasses;

InventoryFacts ReadInventoryFacts(store::Machine& machine);

// The value labels' captions by index. The CPU row keeps the fallback text: it
// fills when the clock measurement ends.
std::array<std::string, kInventoryRows> InventoryValues(const InventoryFacts& facts);

// The CPU row: vendor name, vendor identification and the clock speed from a
// measurement; nothing when no time or no cycles passed.
std::optional<std::string> CpuRow(std::string_view manufacturer, std::string_view vendor_id,
                                  double seconds, std::uint64_t cycles);

// The memory rows' number form: a leading space for a number that is not
// negative, up to 15 significant digits, no grouping and no trailing zeros.
std::string MemoryNumber(double value);
// A whole number with thousands grouped by commas, rounded half away from zero.
std::string GroupedWhole(double value);
// "#,###": rounded to the even neighbour at a half, grouped, "" for 0.
std::string FormatMhz(double mhz);

}  // namespace korvanta::sysinfo
