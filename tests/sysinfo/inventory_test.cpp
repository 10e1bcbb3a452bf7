// The inventory rows from fixed facts (number forms, fallbacks, the last WMI
// instance winning), processor identification from fixed registers, and the real
// page against the host it runs on.

#include "sysinfo/inventory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/formmain.h"
#include "support/driven_program.h"
#include "sysinfo/cpu_info.h"

#ifndef _WIN32
#include "store/portable/machine_folder.h"
#include "store/portable/system_facts_portable.h"
#endif

namespace korvanta::sysinfo {
namespace {

const std::string kNo(kUndetected);

TEST(InventoryNumbers, Forms) {
  EXPECT_EQ(MemoryNumber(511.5), " 511.5");
  EXPECT_EQ(MemoryNumber(2047.875), " 2047.875");
  EXPECT_EQ(MemoryNumber(3072), " 3072");
  EXPECT_EQ(MemoryNumber(45), " 45");
  EXPECT_EQ(MemoryNumber(-2.5), "-2.5");
  EXPECT_EQ(FormatMhz(2394.4), "2,394");
  EXPECT_EQ(FormatMhz(2394.5), "2,394");  // a half goes to the even neighbour
  EXPECT_EQ(FormatMhz(2395.5), "2,396");
  EXPECT_EQ(FormatMhz(999.6), "1,000");
  EXPECT_EQ(FormatMhz(0.2), "");
  EXPECT_EQ(GroupedWhole(80.026361856), "80");
  EXPECT_EQ(GroupedWhole(1234567.5), "1,234,568");
  EXPECT_EQ(CpuRow("Intel", "GenuineIntel", 0.25, 598600000), "Intel GenuineIntel 2,394 MHz");
  EXPECT_EQ(CpuRow("Intel", "GenuineIntel", 0, 598600000), std::nullopt);
  EXPECT_EQ(CpuRow("", std::string(12, '\0'), 0.25, 0), std::nullopt);  // no cycle counter
}

InventoryFacts Full() {
  InventoryFacts f;
  f.product_name = "Microsoft Windows 98";
  f.version_number = "4.10.2222";
  f.memory = store::MemoryStatus{45, 536346624, 0, 0x7ffe0000};
  f.wmi["Win32_SoundDevice"] = {{{"ProductName", "ES1371"}}};
  f.wmi["Win32_NetworkAdapter"] = {
      {{"ProductName", "first"}}, {{"ProductName", "second"}}, {{"ProductName", "third"}}};
  f.wmi["Win32_BIOS"] = {{{"Version", "AWARD - 42302e31"}}};
  f.wmi["Win32_DiskDrive"] = {{{"Size", "40020664320"}, {"InterfaceType", "SCSI"}},
                              {{"Size", "80026361856"}, {"InterfaceType", "IDE"}}};
  f.wmi["Win32_BaseBoard"] = {{{"Product", "i440BX"}}};
  // An instance without its driver version leaves the row to the others.
  f.wmi["Win32_DisplayConfiguration"] = {{{"Caption", "Rage 128"}, {"DriverVersion", "4.10"}},
                                         {{"Caption", "second"}}};
  f.wmi["Win32_DesktopMonitor"] = {
      {{"Caption", "Plug and Play Monitor"}, {"MonitorManufacturer", "(Standard monitor types)"}}};
  f.wmi["Win32_ComputerSystem"] = {{{"Caption", "OFFICE"}}};
  f.system_folder = "C:\\WINDOWS\\SYSTEM";
  f.windows_folder = "C:\\WINDOWS";
  f.directx = "4.09.00.0904";
  f.file_system = "FAT32";
  return f;
}

TEST(InventoryRows, EveryRowFromItsFacts) {
  const std::array<std::string, kInventoryRows> expected = {
      "Microsoft Windows 98 4.10.2222",
      kNo,  // the CPU row waits for the measurement
      " 511.5 MB (内存使用率： 45%)",
      "80 GB",
      "OFFICE",
      " 2047.875 MB",
      "Plug and Play Monitor(Standard monitor types)",
      "third",
      "Rage 128 4.10",
      "ES1371",
      "IDE接口",
      "i440BX",
      "AWARD - 42302e31",
      "C:\\WINDOWS\\SYSTEM",
      "4.09.00.0904",
      "C:\\WINDOWS",
      "FAT32"};
  EXPECT_EQ(InventoryValues(Full()), expected);
}

TEST(InventoryRows, Fallbacks) {
  struct Case {
    const char* what;
    std::optional<std::string> product, version, nt_product, csd;
    std::string windows_row;
  } cases[] = {
      {"product only", "Windows Me", {}, "NT", "SP", "Windows Me "},
      {"the NT key",
       {},
       {},
       "Microsoft Windows XP",
       "Service Pack 2",
       "Microsoft Windows XP Service Pack 2"},
      {"NT product only", {}, {}, "Microsoft Windows 2000", {}, "Microsoft Windows 2000 "},
      {"nothing", {}, {}, {}, {}, kNo},
  };
  for (const Case& c : cases) {
    InventoryFacts f;
    f.product_name = c.product;
    f.version_number = c.version;
    f.nt_product_name = c.nt_product;
    f.csd_version = c.csd;
    EXPECT_EQ(InventoryValues(f)[kWindowsValue], c.windows_row) << c.what;
  }
  // No WMI, no memory status, no folders: every row but the file system keeps
  // the fallback text; the file system stays empty.
  std::array<std::string, kInventoryRows> rows = InventoryValues({});
  for (int i = 0; i < kFileSystemValue; ++i) EXPECT_EQ(rows[i], kNo) << i;
  EXPECT_EQ(rows[kFileSystemValue], "");
  // Memory of 4 GB and more reads right.
  InventoryFacts big;
  big.memory = store::MemoryStatus{12, 3221225472ull * 2, 0, 0x7ffe0000};
  EXPECT_EQ(InventoryValues(big)[kMemoryValue], " 6144 MB (内存使用率： 12%)");
}

// The processor from registers set by hand, as LevelSet offers.
TEST(CpuIdentification, VendorsAndLevels) {
  struct Fake final : store::SystemFacts {
    std::optional<store::MemoryStatus> Memory() override { return {}; }
    std::optional<std::vector<store::WmiObject>> Instances(std::string_view) override { return {}; }
    std::optional<std::string> FileSystemName(std::string_view) override { return {}; }
    std::int64_t PerformanceCounter() override { return 0; }
    std::int64_t PerformanceFrequency() override { return 1; }
  } counter;
  cCpuInfo cpu(counter);
  auto set_vendor = [&](std::string_view id, std::uint32_t max_leaf) {
    std::uint32_t r[3] = {};
    for (int i = 0; i < 12; ++i)
      r[i / 4] |= static_cast<std::uint32_t>(static_cast<unsigned char>(id[i])) << (8 * (i % 4));
    cpu.LevelSet(0, {max_leaf, r[0], r[2], r[1]});  // EBX, EDX, ECX carry the text in that order
    cpu.LevelSet(4, {0x80000004, 0, 0, 0});
    cpu.Refresh(false);
  };
  struct Case {
    std::string_view id;
    int code;
    std::string_view name;
  } cases[] = {{"GenuineIntel", 1, "Intel"},     {"AuthenticAMD", 2, "AMD"},
               {"UMC UMC UMC ", 3, "UMC"},       {"CyrixInstead", 4, "Cyrix"},
               {"NexGenDriven", 5, "NexGen"},    {"CentaurHauls", 6, "Centaur"},
               {"RiseRiseRise", 7, "Rise"},      {"SiS SiS SiS ", 8, "SIS"},
               {"GenuineTMx86", 9, "Transmeta"}, {"Geode by NSC", 10, "National Semiconductor"},
               {"SiS SiS SiS_", 0, "Unknown"},   {"genuineintel", 0, "Unknown"}};
  for (const Case& c : cases) {
    set_vendor(c.id, 2);
    EXPECT_EQ(cpu.VendorIdStr(), c.id);
    EXPECT_EQ(cpu.Vendor(), c.code) << c.id;
    EXPECT_EQ(cpu.ManufacturerStr(), c.name) << c.id;
  }
  set_vendor("GenuineIntel", 0x10D);
  EXPECT_EQ(cpu.LevelsStd(), 0x0D);
  EXPECT_EQ(cpu.LevelsExt(), 4);
  // A processor without CPUID.
  for (int row = 0; row < cCpuInfo::kRows; ++row) cpu.LevelSet(row, {});
  cpu.Refresh(false);
  EXPECT_EQ(cpu.LevelsStd(), 0);
  EXPECT_EQ(cpu.LevelsExt(), 0);
  EXPECT_EQ(cpu.ManufacturerStr(), "");
  EXPECT_EQ(cpu.VendorIdStr(), std::string(12, '\0'));
  EXPECT_EQ(cCPUID::ShiftRight(0x80000000u, 31), 1u);
}

// The host's /proc: the Windows build reads it through Wine's Z: drive.
std::string HostFile(const std::string& name) {
#ifdef _WIN32
  std::ifstream in("Z:\\proc\\" + name);
#else
  std::ifstream in("/proc/" + name);
#endif
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string HostField(const std::string& text, const std::string& key) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with(key)) {
      std::string value = line.substr(line.find(':') + 1);
      return value.substr(value.find_first_not_of(" \t"));
    }
  }
  return {};
}

class InventoryPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_ = test::OpenTestMachine(dir_);
    machine_->reg().DeleteValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "password");
    driven_ = std::make_unique<test::DrivenProgram>(*machine_);
    driven_->Drive("start\n");
    ASSERT_NE(app::MainWindow(driven_->program()), nullptr);
    page_ = &app::MainWindow(driven_->program())->inventory;
  }
  std::string Value(int i) const { return page_->Label6[static_cast<std::size_t>(i)]->caption(); }

  test::TempDir dir_;
  std::unique_ptr<store::Machine> machine_;
  std::unique_ptr<test::DrivenProgram> driven_;
  InventoryPage* page_ = nullptr;
};

TEST_F(InventoryPageTest, ShowsTheHost) {
  // Memory: the kernel's total, in MB.
  double kernel_mb = std::stod(HostField(HostFile("meminfo"), "MemTotal")) / 1024;
  std::string memory = Value(kMemoryValue);
  ASSERT_TRUE(memory.starts_with(" ")) << memory;
  EXPECT_NEAR(std::stod(memory.substr(1)), kernel_mb, kernel_mb * 0.001) << memory;
  EXPECT_NE(memory.find(" MB (内存使用率： "), std::string::npos) << memory;
  // The processor: its vendor identification and a speed.
  std::string vendor = HostField(HostFile("cpuinfo"), "vendor_id");
  std::string cpu = Value(kCpuValue);
  if (!vendor.empty()) {
    EXPECT_NE(cpu.find(" " + vendor + " "), std::string::npos) << cpu;
    EXPECT_TRUE(cpu.ends_with(" MHz")) << cpu;
  }
  // The folders, as the machine gives them.
  EXPECT_EQ(Value(kSystemFolderValue), machine_->backend().SystemDirectory());
  EXPECT_EQ(Value(kWindowsFolderValue), machine_->backend().WindowsDirectory());
  EXPECT_EQ(page_->Label5[14]->caption(), "Windows安装目录：");
  EXPECT_EQ(Value(kFileSystemValue), "NTFS");  // what Wine reports for the host's disks
}

// Two measurements of the clock agree to 1 %.
TEST(CpuClock, MeasurementsAgree) {
#ifdef _WIN32
  std::unique_ptr<store::MachineBackend> backend = store::OpenLiveMachine();
#else
  test::TempDir dir;
  std::unique_ptr<store::MachineBackend> backend = store::OpenMachineFolder(dir.path());
#endif
  cCpuInfo cpu(backend->facts());
  if (cpu.LevelsStd() == 0) GTEST_SKIP() << "no CPUID on this processor";
  double mhz[2];
  for (double& m : mhz) {
    double seconds = 0;
    std::uint64_t cycles = 0;
    cpu.BenchStart();
    std::this_thread::sleep_for(std::chrono::milliseconds(InventoryPage::kMeasureMs));
    cpu.BenchStop(seconds, cycles);
    ASSERT_GT(seconds, 0.2);
    m = static_cast<double>(cycles) / seconds / 1e6;
  }
  EXPECT_GT(mhz[0], 100);
  EXPECT_NEAR(mhz[0], mhz[1], mhz[0] * 0.01);
}

#ifndef _WIN32
// The portable facts from a prepared sysfs: disks with their buses, the board
// and BIOS from DMI, the monitor from its EDID.
TEST(PortableFacts, FromSysfs) {
  test::TempDir dir;
  auto sys = dir.path() / "sys";
  auto write = [](const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    test::WriteBytes(file, bytes);
  };
  auto disk = [&](const std::string& bus_path, const std::string& name,
                  const std::string& sectors) {
    auto device = sys / "devices" / bus_path / "block" / name;
    write(device / "size", sectors + "\n");
    std::filesystem::create_directories(device / "device");
    std::filesystem::create_directories(sys / "block");
    std::filesystem::create_symlink(device, sys / "block" / name);
  };
  disk("pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0", "sda", "156301488");
  disk("pci0000:00/0000:00:14.0/usb2/2-1/host6/target6:0:0/6:0:0:0", "sdb", "30031872");
  disk("virtual", "loop0", "1024");
  write(sys / "class/dmi/id/board_name", "P5Q\n");
  write(sys / "class/dmi/id/bios_vendor", "American Megatrends Inc.\n");
  write(sys / "class/dmi/id/bios_version", "2102\n");
  std::string edid(128, '\0');
  const unsigned char header[] = {0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0, 0x10, 0xac};  // DEL
  std::copy(std::begin(header), std::end(header), edid.begin());
  const char name[] = "\0\0\0\xfc\0DELL U2412M\n ";
  std::copy(name, name + 18, edid.begin() + 72);
  write(sys / "class/drm/card0-DP-1/status", "connected\n");
  write(sys / "class/drm/card0-DP-1/edid", edid);
  write(sys / "class/drm/card0-DP-2/status", "disconnected\n");

  store::MachineFolder machine(dir.path());
  store::PortableSystemFacts facts(machine, {dir.path() / "proc", sys});
  auto disks = facts.Instances("Win32_DiskDrive");
  ASSERT_TRUE(disks);
  ASSERT_EQ(disks->size(), 2u);
  EXPECT_EQ((*disks)[0].at("Size"), "80026361856");
  EXPECT_EQ((*disks)[0].at("InterfaceType"), "IDE");
  EXPECT_EQ((*disks)[1].at("InterfaceType"), "USB");
  EXPECT_EQ(facts.Instances("Win32_BaseBoard")->at(0).at("Product"), "P5Q");
  EXPECT_EQ(facts.Instances("Win32_BIOS")->at(0).at("Version"), "American Megatrends Inc. - 2102");
  auto monitors = facts.Instances("Win32_DesktopMonitor");
  ASSERT_EQ(monitors->size(), 1u);
  EXPECT_EQ(monitors->at(0).at("Caption") + monitors->at(0).at("MonitorManufacturer"),
            "DELL U2412M(DEL)");
  EXPECT_EQ(facts.Instances("Win32_Processor"), std::nullopt);
  EXPECT_EQ(store::ComputerNameOfHost("build-host-number-one.example.org"), "BUILD-HOST-NUMB");
}
#endif

}  // namespace
}  // namespace korvanta::sysinfo
