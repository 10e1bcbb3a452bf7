#pragma once
// Processor identification: cCPUID gives the three processor instructions the
// program needs (CPUID, the time-stamp counter, a logical shift), cCpuInfo reads
// the processor once, names its vendor and relates its cycles to real time.

#include <array>
#include <cstdint>
#include <string>

#include "store/system_facts.h"

namespace korvanta::sysinfo {

struct CpuRegisters {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

class cCPUID {
 public:
  // The registers after CPUID with EAX = leaf; all four 0 on a processor without
  // CPUID (and on processors other than x86).
  bool CpuID(std::uint32_t leaf, std::uint32_t& eax, std::uint32_t& ebx, std::uint32_t& ecx,
             std::uint32_t& edx) const;
  // The time-stamp counter, 0 where there is none.
  bool CpuClk(std::uint64_t& cycles) const;
  // value >> count with zeros shifted in.
  static std::uint32_t ShiftRight(std::uint32_t value, int count);
  // Whether the processor has CPUID: the ID bit of the flags register toggles.
  static bool HasCpuId();
};

class cCpuInfo {
 public:
  // Reads the processor, then the performance counter's frequency from counter.
  explicit cCpuInfo(store::SystemFacts& counter);

  // Re-reads the register tables when re_read is set; then derives the level
  // counts and the vendor from them.
  void Refresh(bool re_read);

  // The 12 characters of EBX, EDX, ECX of leaf 0 (standard) or 0x80000000.
  std::string VendorIdStr(bool standard = true) const;
  // The vendor's name, "Unknown" for an unknown vendor, "" without CPUID.
  std::string ManufacturerStr() const;
  int Vendor() const { return vendor_; }
  int LevelsStd() const { return levels_std_; }
  int LevelsExt() const { return levels_ext_; }

  // Rows 0-3 are leaves 0-3, rows 4-12 leaves 0x80000000-0x80000008.
  static constexpr int kRows = 13;
  CpuRegisters LevelGet(int row) const { return table_.at(static_cast<std::size_t>(row)); }
  void LevelSet(int row, const CpuRegisters& registers) {
    table_.at(static_cast<std::size_t>(row)) = registers;
  }

  void BenchStart();
  void BenchStop(double& seconds, std::uint64_t& cycles);

 private:
  // The performance counter and the time-stamp counter read back to back, in
  // that order; a pair split by a pause of the thread is read again.
  void Sample(std::int64_t& counter, std::uint64_t& cycles);

  cCPUID cpuid_;
  store::SystemFacts& counter_;
  std::array<CpuRegisters, kRows> table_{};
  int levels_std_ = 0;
  int levels_ext_ = 0;
  int vendor_ = 0;
  std::int64_t frequency_ = 0;
  std::int64_t start_counter_ = 0, end_counter_ = 0;
  std::uint64_t start_cycles_ = 0, end_cycles_ = 0;
};

}  // namespace korvanta::sysinfo
