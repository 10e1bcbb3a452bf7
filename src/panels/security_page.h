#pragma once
// The security page: shell and system restriction policies and the screen saver
// started with Windows, applied by its "设置"; the screen saver's settings and
// preview; and the drives hidden from the shell, which its own two buttons set
// at once.

#include <cstdint>
#include <string>
#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "services/settings_table.h"
#include "ui/controls.h"
#include "ui/lists.h"

namespace korvanta::panels {

class SecurityPage final : public services::Page {
 public:
  SecurityPage(services::Program& program, ui::PictureBox& page);

  // The policies and the screen-saver list, then the drive list.
  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kSecurity, services::LoadStep::kDriveList};
  }
  void Fill(services::LoadStep step) override;
  void Reload() override;
  // "设置": the restart flag, the log entry, then every row in the table's order.
  void Apply();
  // "隐藏/恢复": the selected drives hidden, the other listed ones shown.
  void HideDrives();
  // "恢复全部": every drive shown.
  void RestoreAllDrives();

  const services::SettingsTable* settings() const override { return &table_; }

  ui::Frame& Frame9;   // 隐藏磁盘驱动器
  ui::Frame& Frame10;  // 系统安全设置(请谨慎使用)
  ui::ListBox& Listdiv;
  ui::ComboBox& Combo2;
  ui::CheckBox& Checkzdpb;
  ui::CommandButton& Commandhfp;   // 恢复全部
  ui::CommandButton& Commandycp;   // 隐藏/恢复
  ui::CommandButton& Commandszpb;  // 属性设置
  ui::CommandButton& Commandyl;    // 预览
  ui::CommandButton& Commandszaq;  // 设置

 private:
  std::vector<services::SettingRow> Rows();
  void LoadScreenSavers();
  void LoadAutoScreenSaver();
  void ApplyAutoScreenSaver();
  void LoadDrives();
  // The system folder without its closing backslash, and the chosen screen
  // saver's path in it; nothing while none is chosen.
  std::string SystemFolder();
  std::string ChosenScreenSaver();
  // Through the shell, when the machine can run it; otherwise the user is told.
  // Its settings (the program itself, minimised) or its preview (the shell's "open").
  void StartScreenSaver(bool settings);

  services::Program& program_;
  services::SettingsTable table_;
};

}  // namespace korvanta::panels
