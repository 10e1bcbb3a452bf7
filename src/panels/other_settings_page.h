#pragma once
// The other-settings page: hot keys, the defragmenter's screen saver, fast
// shutdown, the low-disk alert, active-desktop components and the last user
// name at logon, applied by its "设置". The system-file backup frame sits above
// them on the same page.

#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "services/settings_table.h"
#include "ui/controls.h"

namespace korvanta::panels {

class OtherSettingsPage final : public services::Page {
 public:
  OtherSettingsPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kOtherSettings};
  }
  void Fill(services::LoadStep step) override;
  void Reload() override;
  // "设置": the restart flag, the log entry, then every row in the table's order.
  void Apply();

  const services::SettingsTable* settings() const override { return &table_; }

  ui::TextBox& Textyp;
  ui::CommandButton& Commandszqt;  // 设置

 private:
  static std::vector<services::SettingRow> Rows();

  services::Program& program_;
  services::SettingsTable table_;
};

}  // namespace korvanta::panels
