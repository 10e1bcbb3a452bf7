#pragma once
// The system inventory page, the page the program opens on: seventeen rows of
// captions (Label5) and values (Label6), filled once while the main window
// loads. The processor's clock is measured in the background: its row fills
// when the measurement ends, the window never waits for it.

#include <array>
#include <memory>
#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "sysinfo/cpu_info.h"
#include "sysinfo/inventory.h"
#include "ui/controls.h"

namespace korvanta::sysinfo {

class InventoryPage final : public services::Page {
 public:
  InventoryPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kInventory};
  }
  void Fill(services::LoadStep step) override;

  // How long the clock measurement runs: long enough for the two clocks to agree
  // to far better than 1 %.
  static constexpr int kMeasureMs = 250;

  std::array<ui::Label*, kInventoryRows> Label5{};  // captions
  std::array<ui::Label*, kInventoryRows> Label6{};  // values
  ui::Timer& Timercpu;                              // ends the clock measurement

 private:
  void EndMeasurement();

  services::Program& program_;
  std::unique_ptr<cCpuInfo> cpu_;
};

}  // namespace korvanta::sysinfo
