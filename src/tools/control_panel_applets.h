#pragma once
// The control-panel applets of the system folder: hide or show them through
// control.ini, delete them (a copy stays in controlbak), restore them, run one.

#include "services/small_window.h"
#include "ui/list_view.h"

namespace korvanta::tools {

// The readable name and description of an applet file (any letter case).
struct AppletInfo {
  std::string name;
  std::string description;
};
AppletInfo DescribeApplet(std::string_view file);

class Formkzmb final : public services::SmallWindow {
 public:
  static constexpr std::string_view kName = "Formkzmb";
  explicit Formkzmb(services::Program& program);
  ui::TextBox& Textzx;
  ui::CommandButton& Commandzx;
  ui::CommandButton& Commandtckz;
  ui::CommandButton& Commandhf;
  ui::CommandButton& Commandsc;
  ui::CommandButton& Commandyc;
  ui::ListView& ListView1;

 private:
  std::string ControlIni();
  std::string BackupFolder();
  // Lists the applets; hidden ones are ticked.
  void Fill();
  void Run();
  void HideShow();
  void Delete();
  void Restore();

  // Textzx names an applet: a row was clicked or a name typed since the last run.
  bool armed_ = false;
};

}  // namespace korvanta::tools
