#include "sysinfo/inventory_page.h"

#include <string>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::sysinfo {
namespace {

// The rows top to bottom as caption and value indexes: rows 16 and 17 pair
// caption 14 with value 15 and caption 15 with value 14.
struct RowPlace {
  int caption;
  int value;
  const char* text;
};
constexpr RowPlace kRows[kInventoryRows] = {
    {0, 0, "Windows信息："},    {1, 1, "CPU："},
    {2, 2, "物理内存："},       {3, 3, "硬盘容量："},
    {4, 4, "计算机名："},       {5, 5, "虚拟内存："},
    {6, 6, "监视器类型："},     {7, 7, "网卡："},
    {8, 8, "显卡："},           {9, 9, "声卡："},
    {10, 10, "硬盘接口类型："}, {16, 16, "文件系统："},
    {11, 11, "主板芯片组："},   {12, 12, "BIOS："},
    {13, 13, "System目录："},   {14, 15, "Windows安装目录："},
    {15, 14, "DirectX："},
};

constexpr int kTop = 600, kPitch = 360, kHeight = 300;
constexpr int kCaptionLeft = 240, kCaptionWidth = 1950;
constexpr int kValueLeft = kCaptionLeft + kCaptionWidth + 90, kValueWidth = 5640;

}  // namespace

InventoryPage::InventoryPage(services::Program& program, ui::PictureBox& page)
    : Timercpu(ui::Place<ui::Timer>(page, "Timercpu", {})), program_(program) {
  ui::Appearance caption;
  caption.align = ui::Align::kRight;
  caption.bold = true;
  caption.transparent = true;
  caption.fore = services::theme::kHeadingFore;
  ui::Appearance value;
  value.transparent = true;
  for (int row = 0; row < kInventoryRows; ++row) {
    const RowPlace& place = kRows[row];
    int top = kTop + row * kPitch;
    auto c = static_cast<std::size_t>(place.caption);
    auto v = static_cast<std::size_t>(place.value);
    Label5[c] = &ui::PlaceAt<ui::Label>(page, "Label5", place.caption,
                                        {kCaptionLeft, top, kCaptionWidth, kHeight}, place.text);
    Label5[c]->set_appearance(caption);
    Label6[v] = &ui::PlaceAt<ui::Label>(page, "Label6", place.value,
                                        {kValueLeft, top, kValueWidth, kHeight});
    Label6[v]->set_appearance(value);
  }
  Timercpu.set_interval(kMeasureMs);
  Timercpu.on_timer = [this] { EndMeasurement(); };
}

void InventoryPage::Fill(services::LoadStep) {
  store::Machine& machine = program_.machine();
  // The measurement starts first, so that it runs while the rest of the page and
  // the other pages fill.
  cpu_ = std::make_unique<cCpuInfo>(machine.facts());
  cpu_->BenchStart();
  Timercpu.set_running(true);
  std::array<std::string, kInventoryRows> values = InventoryValues(ReadInventoryFacts(machine));
  for (int i = 0; i < kInventoryRows; ++i) {
    Label6[static_cast<std::size_t>(i)]->set_caption(values[static_cast<std::size_t>(i)]);
  }
}

void InventoryPage::EndMeasurement() {
  Timercpu.set_running(false);
  if (!cpu_) return;
  double seconds = 0;
  std::uint64_t cycles = 0;
  cpu_->BenchStop(seconds, cycles);
  if (auto row = CpuRow(cpu_->ManufacturerStr(), cpu_->VendorIdStr(), seconds, cycles)) {
    Label6[kCpuValue]->set_caption(*row);
  }
}

}  // namespace korvanta::sysinfo
