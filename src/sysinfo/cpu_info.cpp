#include "sysinfo/cpu_info.h"

#include <algorithm>
#include <string_view>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define KORVANTA_X86 1
#endif

namespace korvanta::sysinfo {
namespace {

struct VendorName {
  std::string_view id;
  std::string_view name;
};
// Codes 1.. in this order.
constexpr VendorName kVendors[] = {
    {"GenuineIntel", "Intel"},     {"AuthenticAMD", "AMD"},
    {"UMC UMC UMC ", "UMC"},       {"CyrixInstead", "Cyrix"},
    {"NexGenDriven", "NexGen"},    {"CentaurHauls", "Centaur"},
    {"RiseRiseRise", "Rise"},      {"SiS SiS SiS ", "SIS"},
    {"GenuineTMx86", "Transmeta"}, {"Geode by NSC", "National Semiconductor"},
};

constexpr std::uint32_t kExtended = 0x80000000u;

void AppendRegister(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    auto byte = static_cast<unsigned char>(cCPUID::ShiftRight(value, 8 * i) & 0xff);
    // Vendor texts are ASCII; another byte would not be a whole character.
    out.push_back(byte < 0x80 ? static_cast<char>(byte) : '?');
  }
}

}  // namespace

bool cCPUID::HasCpuId() {
#if defined(__x86_64__)
  return true;
#elif defined(__i386__)
  std::uint32_t before = 0, after = 0;
  __asm__ volatile(
      "pushfl\n\t"
      "pushfl\n\t"
      "popl %0\n\t"
      "movl %0, %1\n\t"
      "xorl $0x200000, %1\n\t"
      "pushl %1\n\t"
      "popfl\n\t"
      "pushfl\n\t"
      "popl %1\n\t"
      "popfl\n\t"
      : "=&r"(before), "=&r"(after));
  return ((before ^ after) & 0x200000) != 0;
#else
  return false;
#endif
}

bool cCPUID::CpuID(std::uint32_t leaf, std::uint32_t& eax, std::uint32_t& ebx, std::uint32_t& ecx,
                   std::uint32_t& edx) const {
  eax = ebx = ecx = edx = 0;
#ifdef KORVANTA_X86
  if (HasCpuId()) __cpuid(leaf, eax, ebx, ecx, edx);
#else
  (void)leaf;
#endif
  return true;
}

bool cCPUID::CpuClk(std::uint64_t& cycles) const {
#ifdef KORVANTA_X86
  cycles = __rdtsc();
#else
  cycles = 0;
#endif
  return true;
}

std::uint32_t cCPUID::ShiftRight(std::uint32_t value, int count) {
  return count >= 32 ? 0 : value >> count;
}

cCpuInfo::cCpuInfo(store::SystemFacts& counter) : counter_(counter) {
  Refresh(true);
  frequency_ = counter_.PerformanceFrequency();
}

void cCpuInfo::Refresh(bool re_read) {
  if (re_read) {
    for (int i = 0; i < kRows; ++i) {
      std::uint32_t leaf = i < 4 ? static_cast<std::uint32_t>(i) : kExtended + (i - 4);
      CpuRegisters& r = table_[static_cast<std::size_t>(i)];
      cpuid_.CpuID(leaf, r.eax, r.ebx, r.ecx, r.edx);
    }
  }
  levels_std_ = static_cast<int>(table_[0].eax & 0xff);
  levels_ext_ = 0;
  vendor_ = 0;
  if (levels_std_ != 0) {
    levels_ext_ = static_cast<int>(table_[4].eax & 0xff);
    std::string id = VendorIdStr(true);
    auto it = std::find_if(std::begin(kVendors), std::end(kVendors),
                           [&](const VendorName& v) { return v.id == id; });
    if (it != std::end(kVendors)) vendor_ = static_cast<int>(it - std::begin(kVendors)) + 1;
  }
}

std::string cCpuInfo::VendorIdStr(bool standard) const {
  const CpuRegisters& r = table_[standard ? 0 : 4];
  std::string out;
  AppendRegister(out, r.ebx);
  AppendRegister(out, r.edx);
  AppendRegister(out, r.ecx);
  return out;
}

std::string cCpuInfo::ManufacturerStr() const {
  if (levels_std_ == 0) return {};
  if (vendor_ == 0) return "Unknown";
  return std::string(kVendors[vendor_ - 1].name);
}

void cCpuInfo::Sample(std::int64_t& counter, std::uint64_t& cycles) {
  // A pair whose counter moved by more than 50 microseconds while the cycles
  // were read was split by the scheduler; a few tries find a clean one.
  const std::int64_t slack = std::max<std::int64_t>(frequency_ / 20000, 1);
  for (int attempt = 0; attempt < 5; ++attempt) {
    counter = counter_.PerformanceCounter();
    cpuid_.CpuClk(cycles);
    if (counter_.PerformanceCounter() - counter <= slack) return;
  }
}

void cCpuInfo::BenchStart() {
  Sample(start_counter_, start_cycles_);
}

void cCpuInfo::BenchStop(double& seconds, std::uint64_t& cycles) {
  Sample(end_counter_, end_cycles_);
  seconds = frequency_ > 0 ? static_cast<double>(end_counter_ - start_counter_) /
                                 static_cast<double>(frequency_)
                           : 0.0;
  cycles = end_cycles_ - start_cycles_;
}

}  // namespace korvanta::sysinfo
