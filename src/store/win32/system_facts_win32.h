#pragma once
// The hardware of the live machine: GlobalMemoryStatusEx, WMI through COM, the
// volume information of a drive and the performance counter.

#include "store/codepage.h"
#include "store/system_facts.h"

namespace korvanta::store {

class Win32SystemFacts final : public SystemFacts {
 public:
  explicit Win32SystemFacts(const Codepage& codepage) : codepage_(codepage) {}
  ~Win32SystemFacts() override;

  std::optional<MemoryStatus> Memory() override;
  std::optional<std::vector<WmiObject>> Instances(std::string_view wmi_class) override;
  std::optional<std::string> FileSystemName(std::string_view folder) override;
  std::int64_t PerformanceCounter() override;
  std::int64_t PerformanceFrequency() override;

 private:
  bool Connect();

  const Codepage& codepage_;
  void* services_ = nullptr;  // IWbemServices, connected on first use
  bool connect_tried_ = false;
  bool com_initialised_ = false;
};

}  // namespace korvanta::store
