#pragma once
// The personalisation page: the desktop frame's nine check boxes and the frame
// of owner, organisation, workgroup, time format, processor name, DirectX
// version, setup path and logon warning, applied by its "设置".

#include <string>
#include <string_view>
#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "services/settings_table.h"
#include "ui/controls.h"

namespace korvanta::panels {

class PersonalisationPage final : public services::Page {
 public:
  PersonalisationPage(services::Program& program, ui::PictureBox& page);

  // The DirectX box fills with the inventory; the rest at the page's own step.
  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kInventory, services::LoadStep::kPersonalisation};
  }
  void Fill(services::LoadStep step) override;
  void Reload() override;
  // "设置": the restart flag, the log entry, then every row in the apply order.
  void Apply();

  const services::SettingsTable* settings() const override { return &table_; }

  ui::Frame& Frame1;  // 桌面个性化设置
  ui::Frame& Frame2;  // 其他个性化设置
  ui::TextBox& Textjg;
  ui::TextBox& Textaz;
  ui::CommandButton& Commandszgxh;  // 设置
  ui::CommandButton& Commandllaz;   // … next to Textaz

 private:
  std::vector<services::SettingRow> Rows();
  using BoxStep = void (PersonalisationPage::*)(ui::CheckBox&);
  services::HookRow BoxHook(services::Places at, std::string control, BoxStep load, BoxStep apply);
  // Owner or organisation: the check box, its text box and the value's name.
  services::HookRow OwnerRow(services::Places at, std::string control, std::string text_box,
                             std::string value);
  void LoadShortcutArrows(ui::CheckBox& box);
  void ApplyShortcutArrows(ui::CheckBox& box);
  void LoadDesktopIcons(ui::CheckBox& box);
  void ApplyDesktopIcons(ui::CheckBox& box);
  void LoadOwner(std::string_view control, std::string_view text_box, std::string_view value);
  void ApplyOwner(std::string_view control, std::string_view text_box, std::string_view value);

  services::Program& program_;
  ui::PictureBox& page_;
  services::SettingsTable table_;
};

}  // namespace korvanta::panels
