#pragma once
// The network page: the TCP/IP parameters of a connection type, dial-up,
// routing and browser policies, and blocking web sites through the hosts file,
// applied by its "设置".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "services/settings_table.h"
#include "ui/controls.h"

namespace korvanta::panels {

// The host name in what the user typed as a site to block: blanks at either
// end, a scheme and a path typed by mistake are taken off; nothing when what
// remains is not a host name (letters, digits, hyphens and dots, at most 253
// characters), and then problem, when given, says what is wrong, for the user.
std::optional<std::string> SiteToBlock(std::string_view typed, std::string* problem = nullptr);

class NetworkPage final : public services::Page {
 public:
  NetworkPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override { return {services::LoadStep::kNetwork}; }
  void Fill(services::LoadStep step) override;
  void Reload() override;
  // "设置": the restart flag, the log entry, the check boxes, the site to block,
  // then the connection type.
  void Apply();
  // "恢复屏蔽网站": the hosts files back as they were before the first blocking.
  void RestoreHosts();

  const services::SettingsTable* settings() const override { return &table_; }

  ui::Frame& Frame11;  // 网络加速（选择相应上网方式）
  ui::TextBox& Textmut;
  ui::TextBox& Textdyhc;
  ui::TextBox& Textfzsm;
  ui::TextBox& Textpb;
  ui::TextBox& Textcache;
  ui::CheckBox& Checkpb;
  ui::CommandButton& Commandhfpb;  // 恢复屏蔽网站
  ui::CommandButton& Commandszwl;  // 设置

 private:
  std::vector<services::SettingRow> Rows();
  void LoadConnection();
  void ApplyConnection();
  void BlockSite();
  // The hosts files the program keeps whose folders exist, in their order.
  std::vector<std::string> HostsFiles();
  // Writes bytes over each of them; a file that cannot be replaced (read-only)
  // is skipped and told with the action's other failures.
  void WriteHostsFiles(std::string_view bytes);

  services::Program& program_;
  std::vector<ui::OptionButton*> presets_;
  services::SettingsTable table_;
};

}  // namespace korvanta::panels
