#include "sysinfo/inventory.h"

#include <cmath>
#include <cstdio>

#include "store/paths.h"
#include "store/reg.h"

namespace korvanta::sysinfo {
namespace {

constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kWindowsNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kDirectXKey = "Software\\Microsoft\\DirectX";

std::optional<std::string> ReadText(store::Machine& machine, const char* key, const char* name) {
  store::Variant value;
  machine.reg().QueryValue(store::RegRoot::kLocalMachine, key, name, value);
  if (value.is_empty()) return std::nullopt;
  return value.ToText();
}

const std::string* Property(const store::WmiObject& object, std::string_view name) {
  auto it = object.find(name);
  return it == object.end() ? nullptr : &it->second;
}

std::optional<double> Number(const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  return value;
}

std::string Group(std::string digits) {
  std::string out;
  std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
  out = digits.substr(0, lead);
  for (std::size_t i = lead; i < digits.size(); i += 3) out += "," + digits.substr(i, 3);
  return out;
}

std::string GroupedInteger(double rounded) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.0f", std::fabs(rounded));
  return (rounded < 0 ? "-" : "") + Group(buffer);
}

// A WMI row: for every instance, in order, the row takes its text when every
// property it is made of is there; the last instance that has them wins.
struct WmiRow {
  std::string_view wmi_class;
  int value;
  std::vector<std::string_view> properties;
  std::string_view separator;
  std::string_view suffix;
};

const WmiRow kWmiRows[] = {
    {"Win32_SoundDevice", 9, {"ProductName"}, "", ""},
    {"Win32_NetworkAdapter", 7, {"ProductName"}, "", ""},
    {"Win32_BIOS", 12, {"Version"}, "", ""},
    {"Win32_DiskDrive", 10, {"InterfaceType"}, "", "接口"},
    {"Win32_BaseBoard", 11, {"Product"}, "", ""},
    {"Win32_DisplayConfiguration", 8, {"Caption", "DriverVersion"}, " ", ""},
    {"Win32_DesktopMonitor", 6, {"Caption", "MonitorManufacturer"}, "", ""},
    {"Win32_ComputerSystem", 4, {"Caption"}, "", ""},
};

}  // namespace

const std::array<std::string_view, 8> kInventoryClasses = {
    "Win32_SoundDevice",    "Win32_NetworkAdapter", "Win32_BIOS",
    "Win32_DiskDrive",      "Win32_BaseBoard",      "Win32_DisplayConfiguration",
    "Win32_DesktopMonitor", "Win32_ComputerSystem"};

std::string MemoryNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return (value >= 0 ? " " : "") + std::string(buffer);
}

std::string GroupedWhole(double value) {
  return GroupedInteger(std::round(value));
}

std::string FormatMhz(double mhz) {
  double rounded = std::nearbyint(mhz);  // the default rounding: a half to even
  if (rounded == 0) return {};
  return GroupedInteger(rounded);
}

std::optional<std::string> CpuRow(std::string_view manufacturer, std::string_view vendor_id,
                                  double seconds, std::uint64_t cycles) {
  // No time passed, or no cycle counter to read (a processor without one): no
  // speed to show.
  if (!(seconds > 0) || cycles == 0) return std::nullopt;
  double mhz = static_cast<double>(cycles) / seconds / 1000000.0;
  // A label shows a text up to its first NUL, which a processor without CPUID
  // gives as its vendor identification.
  return store::StripNull(std::string(manufacturer) + " " + std::string(vendor_id) + " " +
                          FormatMhz(mhz) + " MHz");
}

InventoryFacts ReadInventoryFacts(store::Machine& machine) {
  InventoryFacts facts;
  facts.product_name = ReadText(machine, kWindowsKey, "ProductName");
  facts.version_number = ReadText(machine, kWindowsKey, "versionnumber");
  facts.nt_product_name = ReadText(machine, kWindowsNtKey, "ProductName");
  facts.csd_version = ReadText(machine, kWindowsNtKey, "CSDVersion");
  store::SystemFacts& system = machine.facts();
  facts.memory = system.Memory();
  for (std::string_view wmi_class : kInventoryClasses) {
    if (auto instances = system.Instances(wmi_class)) {
      facts.wmi.emplace(std::string(wmi_class), std::move(*instances));
    }
  }
  facts.system_folder = machine.backend().SystemDirectory();
  facts.windows_folder = machine.backend().WindowsDirectory();
  facts.directx = ReadText(machine, kDirectXKey, "Version");
  if (!facts.windows_folder.empty())
    facts.file_system = system.FileSystemName(facts.windows_folder);
  return facts;
}

std::array<std::string, kInventoryRows> InventoryValues(const InventoryFacts& facts) {
  std::array<std::string, kInventoryRows> rows;
  for (int i = 1; i < kFileSystemValue; ++i) rows[static_cast<std::size_t>(i)] = kUndetected;

  // The Windows row: this system's product and version, else the NT product and
  // its service pack; a missing value counts as empty.
  std::string windows = facts.product_name.value_or("") + " " + facts.version_number.value_or("");
  if (windows == " ")
    windows = facts.nt_product_name.value_or("") + " " + facts.csd_version.value_or("");
  rows[kWindowsValue] = windows == " " ? std::string(kUndetected) : windows;

  if (facts.memory) {
    const double mb = 1024.0 * 1024.0;
    rows[kMemoryValue] = MemoryNumber(static_cast<double>(facts.memory->total_physical) / mb) +
                         " MB" + " (内存使用率：" + MemoryNumber(facts.memory->load) + "%" + ")";
    rows[kVirtualValue] =
        MemoryNumber(static_cast<double>(facts.memory->total_virtual) / mb) + " MB";
  }

  for (const WmiRow& row : kWmiRows) {
    auto instances = facts.wmi.find(row.wmi_class);
    if (instances == facts.wmi.end()) continue;
    for (const store::WmiObject& object : instances->second) {
      if (row.wmi_class == "Win32_DiskDrive") {
        const std::string* size = Property(object, "Size");
        if (auto bytes = size ? Number(*size) : std::nullopt) {
          rows[3] = GroupedWhole(*bytes / 1000 / 1000 / 1000) + " GB";
        }
      }
      std::string text;
      bool complete = true;
      for (std::size_t p = 0; p < row.properties.size(); ++p) {
        const std::string* value = Property(object, row.properties[p]);
        if (!value) {
          complete = false;
          break;
        }
        if (p > 0) text += row.separator;
        text += *value;
      }
      if (complete) rows[static_cast<std::size_t>(row.value)] = text + std::string(row.suffix);
    }
  }

  if (!facts.system_folder.empty()) rows[kSystemFolderValue] = facts.system_folder;
  if (!facts.windows_folder.empty()) rows[kWindowsFolderValue] = facts.windows_folder;
  if (facts.directx) rows[kDirectXValue] = *facts.directx;
  if (facts.file_system) rows[kFileSystemValue] = *facts.file_system;
  return rows;
}

}  // namespace korvanta::sysinfo
