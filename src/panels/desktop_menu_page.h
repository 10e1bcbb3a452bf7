#pragma once
// The desktop and menu page: the start menu's delay, the desktop icon size and
// icon cache as sliders, the start-menu and taskbar restrictions and the
// recent-documents menu as check boxes, applied by its "设置".

#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "services/settings_table.h"
#include "ui/controls.h"

namespace korvanta::panels {

class DesktopMenuPage final : public services::Page {
 public:
  DesktopMenuPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kDesktopAndMenu};
  }
  void Fill(services::LoadStep step) override;
  void Reload() override;
  // "设置": the restart flag, the log entry, then every row in order.
  void Apply();

  const services::SettingsTable* settings() const override { return &table_; }

  ui::Frame& Frame3;  // 开始菜单速度设置
  ui::Frame& Frame4;  // 桌面图标大小
  ui::Frame& Frame5;  // 桌面图标缓冲区大小
  ui::Frame& Frame6;  // 隐藏开始菜单中的项目
  ui::Slider& Slider1;
  ui::Slider& Slider2;
  ui::Slider& Slider3;
  ui::CommandButton& Commandszzm;  // 设置

 private:
  static std::vector<services::SettingRow> Rows();

  services::Program& program_;
  services::SettingsTable table_;
};

}  // namespace korvanta::panels
