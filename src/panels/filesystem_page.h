#pragma once
// The file-system page: the memory lock limit on a slider, the scan mode of the
// file protection, and the file-system, console, media-player and shutdown
// wait values, applied by its "设置".

#include "services/page.h"
#include "services/program.h"
#include "services/settings_table.h"
#include "ui/controls.h"

namespace korvanta::panels {

class FileSystemPage final : public services::Page {
 public:
  FileSystemPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kFileSystem};
  }
  void Fill(services::LoadStep step) override;
  void Reload() override;
  // "设置": the restart flag, the log entry, then every row in the table's order.
  void Apply();

  const services::SettingsTable* settings() const override { return &table_; }

  ui::Frame& Frame7;  // 文件系统缓冲大小设置
  ui::Frame& Frame8;  // Windows文件保护扫描设置
  ui::Slider& Slider4;
  ui::Label& Labeldqxd4;
  ui::CommandButton& Commandszwj;  // 设置

 private:
  static std::vector<services::SettingRow> Rows();

  services::Program& program_;
  services::SettingsTable table_;
};

}  // namespace korvanta::panels
