#include "store/portable/system_facts_portable.h"

#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <sstream>
#include <system_error>

extern "C" {
#include <pci/pci.h>
}

#include "store/utf.h"

namespace korvanta::store {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs or procfs file, without its line break; nothing when
// it cannot be read or is empty.
std::optional<std::string> ReadLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  if (line.empty()) return std::nullopt;
  return line;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<fs::path> Children(const fs::path& folder) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) out.push_back(entry.path());
  std::sort(out.begin(), out.end());
  return out;
}

// A PCI device's class (the base class and the subclass) and its name.
struct PciDevice {
  unsigned device_class = 0;  // base class and subclass
  unsigned vendor = 0, device = 0;
  std::string driver;  // the kernel driver bound to it
};

void IgnoreWarning(char*, ...) {}  // NOLINT: libpci's message signature

std::optional<unsigned> Hex(const fs::path& file) {
  auto line = ReadLine(file);
  if (!line) return std::nullopt;
  return static_cast<unsigned>(std::strtoul(line->c_str(), nullptr, 16));
}

// The driver's own version when its module states one, else the kernel's: a
// driver built into the kernel comes with it.
std::string DriverVersion(const HostRoots& roots, const std::string& driver) {
  if (!driver.empty()) {
    if (auto version = ReadLine(roots.sys / "module" / driver / "version")) return *version;
  }
  return ReadLine(roots.proc / "sys/kernel/osrelease").value_or("");
}

bool IsDiskName(const std::string& name) {
  for (const char* skip : {"loop", "ram", "zram", "sr", "fd", "dm-", "md", "nbd", "mtdblock"}) {
    if (name.starts_with(skip)) return false;
  }
  return true;
}

// The bus of a disk as WMI's InterfaceType names it.
std::string InterfaceOf(const fs::path& device) {
  std::string path = device.string();
  if (path.find("/usb") != std::string::npos) return "USB";
  if (path.find("/ata") != std::string::npos) return "IDE";
  if (path.find("/mmc") != std::string::npos) return "SD";
  return "SCSI";  // SCSI, SAS, NVMe and virtio disks
}

}  // namespace

std::string ComputerNameOfHost(std::string_view host_name) {
  std::string name(host_name.substr(0, host_name.find('.')));
  if (name.size() > 15) name.resize(15);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::optional<WmiObject> MonitorFromEdid(std::string_view edid) {
  static constexpr unsigned char kHeader[] = {0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0};
  if (edid.size() < 128 ||
      !std::equal(std::begin(kHeader), std::end(kHeader), edid.begin(),
                  [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); })) {
    return std::nullopt;
  }
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(edid[i]); };
  // Three letters of five bits each, 1 for 'A'.
  unsigned id = (byte(8) << 8) | byte(9);
  std::string maker;
  for (int shift : {10, 5, 0}) maker.push_back(static_cast<char>('A' - 1 + ((id >> shift) & 31)));
  std::string name;
  for (std::size_t d = 54; d + 18 <= 126; d += 18) {
    if (byte(d) == 0 && byte(d + 1) == 0 && byte(d + 3) == 0xfc) {
      std::string_view text = edid.substr(d + 5, 13);
      name = std::string(text.substr(0, text.find('\n')));
      while (!name.empty() && name.back() == ' ') name.pop_back();
    }
  }
  WmiObject monitor;
  monitor["Caption"] = name.empty() ? "Generic PnP Monitor" : name;
  monitor["MonitorManufacturer"] = "(" + maker + ")";
  return monitor;
}

// The devices of the PCI bus in address order, read from sysfs once; their names
// come from the PCI ID list, which libpci reads on the first name asked.
struct PortableSystemFacts::PciBus {
  explicit PciBus(const fs::path& sys) {
    for (const fs::path& path : Children(sys / "bus/pci/devices")) {
      auto device_class = Hex(path / "class");
      auto vendor = Hex(path / "vendor");
      auto device = Hex(path / "device");
      if (!device_class || !vendor || !device) continue;
      PciDevice d{*device_class >> 8, *vendor, *device, {}};
      std::error_code ec;
      fs::path driver = fs::read_symlink(path / "driver", ec);
      if (!ec) d.driver = driver.filename().string();
      devices.push_back(std::move(d));
    }
  }
  ~PciBus() {
    if (names) pci_cleanup(names);
  }
  PciBus(const PciBus&) = delete;
  PciBus& operator=(const PciBus&) = delete;

  std::string Name(const PciDevice& d) {
    if (!names) {
      names = pci_alloc();
      if (!names) return {};
      // Without pci_init nothing sets the messages: a list that cannot be read
      // is only a warning, and names then read as numbers.
      names->warning = IgnoreWarning;
      names->debug = IgnoreWarning;
    }
    char name[256] = {};
    if (!pci_lookup_name(names, name, sizeof name, PCI_LOOKUP_VENDOR | PCI_LOOKUP_DEVICE,
                         static_cast<int>(d.vendor), static_cast<int>(d.device))) {
      return {};
    }
    return name;
  }

  std::vector<PciDevice> devices;
  pci_access* names = nullptr;
};

PortableSystemFacts::PortableSystemFacts(const MachineFolder& machine, HostRoots roots)
    : machine_(machine), roots_(std::move(roots)) {}

PortableSystemFacts::~PortableSystemFacts() = default;

std::vector<WmiObject> PortableSystemFacts::Adapters(unsigned base,
                                                     std::initializer_list<unsigned> subclasses) {
  if (!pci_) pci_ = std::make_unique<PciBus>(roots_.sys);
  std::vector<WmiObject> out;
  for (const PciDevice& d : pci_->devices) {
    if ((d.device_class >> 8) != base) continue;
    if (subclasses.size() != 0 &&
        std::find(subclasses.begin(), subclasses.end(), d.device_class) == subclasses.end()) {
      continue;
    }
    WmiObject object;
    if (base == 0x03) {
      object["Caption"] = pci_->Name(d);
      object["DriverVersion"] = DriverVersion(roots_, d.driver);
    } else {
      object["ProductName"] = pci_->Name(d);
    }
    out.push_back(std::move(object));
  }
  return out;
}

std::optional<MemoryStatus> PortableSystemFacts::Memory() {
  std::ifstream in(roots_.proc / "meminfo");
  std::uint64_t total = 0, available = 0;
  bool has_available = false;
  std::uint64_t free = 0, buffers = 0, cached = 0;
  std::string key;
  std::uint64_t kb = 0;
  std::string unit;
  while (in >> key >> kb) {
    std::getline(in, unit);
    if (key == "MemTotal:") total = kb * 1024;
    if (key == "MemAvailable:") {
      available = kb * 1024;
      has_available = true;
    }
    if (key == "MemFree:") free = kb * 1024;
    if (key == "Buffers:") buffers = kb * 1024;
    if (key == "Cached:") cached = kb * 1024;
  }
  if (total == 0) return std::nullopt;
  if (!has_available) available = std::min(total, free + buffers + cached);
  MemoryStatus status;
  status.total_physical = total;
  status.available_physical = available;
  status.load = static_cast<std::uint32_t>((total - available) * 100 / total);
  // The address space of the program as it ships (a 32-bit program without large
  // addresses): 2 GB less the 64 KB reserved at each end.
  status.total_virtual = 0x7ffe0000;
  return status;
}

std::vector<WmiObject> PortableSystemFacts::DiskDrives() const {
  std::vector<WmiObject> out;
  for (const fs::path& block : Children(roots_.sys / "block")) {
    std::string name = block.filename().string();
    if (!IsDiskName(name)) continue;
    std::error_code ec;
    if (!fs::exists(block / "device", ec)) continue;  // not backed by a device
    auto sectors = ReadLine(block / "size");
    if (!sectors) continue;
    WmiObject disk;
    disk["Size"] = std::to_string(std::stoull(*sectors) * 512);
    disk["InterfaceType"] = InterfaceOf(fs::canonical(block, ec));
    out.push_back(std::move(disk));
  }
  return out;
}

std::vector<WmiObject> PortableSystemFacts::Monitors() const {
  std::vector<WmiObject> out;
  for (const fs::path& connector : Children(roots_.sys / "class/drm")) {
    if (ReadLine(connector / "status") != "connected") continue;
    if (auto monitor = MonitorFromEdid(ReadAll(connector / "edid"))) out.push_back(*monitor);
  }
  return out;
}

// The board and the BIOS from the DMI tables.
std::vector<WmiObject> PortableSystemFacts::Firmware(bool bios) const {
  fs::path dmi = roots_.sys / "class/dmi/id";
  WmiObject object;
  if (bios) {
    auto vendor = ReadLine(dmi / "bios_vendor");
    auto version = ReadLine(dmi / "bios_version");
    if (!vendor && !version) return {};
    object["Version"] = vendor && version ? *vendor + " - " + *version
                        : vendor          ? *vendor
                                          : *version;
  } else {
    auto board = ReadLine(dmi / "board_name");
    if (!board) return {};
    object["Product"] = *board;
  }
  return {object};
}

std::optional<std::vector<WmiObject>> PortableSystemFacts::Instances(std::string_view wmi_class) {
  // WMI matches class names without regard to case.
  auto is = [&](std::string_view name) { return EqualsIgnoreCase(wmi_class, name); };
  if (is("win32_sounddevice")) return Adapters(0x04, {0x0401, 0x0403});
  if (is("win32_networkadapter")) return Adapters(0x02, {});
  if (is("win32_displayconfiguration")) return Adapters(0x03, {});
  if (is("win32_bios") || is("win32_baseboard")) return Firmware(is("win32_bios"));
  if (is("win32_diskdrive")) return DiskDrives();
  if (is("win32_desktopmonitor")) return Monitors();
  if (is("win32_computersystem")) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || !*host) return std::vector<WmiObject>{};
    return std::vector<WmiObject>{{{"Caption", ComputerNameOfHost(host)}}};
  }
  return std::nullopt;
}

std::optional<std::string> PortableSystemFacts::FileSystemName(std::string_view folder) {
  if (folder.size() < 2 || folder[1] != ':') return std::nullopt;
  std::optional<fs::path> drive = machine_.DriveFolder(folder[0]);
  if (!drive) return std::nullopt;
  struct statfs info {};
  if (statfs(drive->c_str(), &info) != 0) return std::nullopt;
  // What Wine reports for the host's file systems: FAT and the CD formats by
  // name, NTFS for every other one.
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x4d44:  // MSDOS_SUPER_MAGIC
      return "FAT32";
    case 0x9660:  // ISOFS_SUPER_MAGIC
      return "CDFS";
    case 0x15013346:  // UDF_SUPER_MAGIC
      return "UDF";
    default:
      return "NTFS";
  }
}

std::int64_t PortableSystemFacts::PerformanceCounter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int64_t PortableSystemFacts::PerformanceFrequency() {
  return 1'000'000'000;
}

}  // namespace korvanta::store
