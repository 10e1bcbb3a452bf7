#pragma once
// The startup page: the programs Windows starts, from its five places, with the
// boot options of msdos.sys and the prefetch switch. Unticked rows are removed
// by "设置", which keeps a Startup Backup of them; "添加启动项" adds a program
// to one of the places and "恢复启动项" puts back what the backup holds.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "ui/controls.h"
#include "ui/list_view.h"
#include "ui/lists.h"

namespace korvanta::startup {

class StartupBackup;

class StartupPage final : public services::Page {
 public:
  StartupPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override { return {services::LoadStep::kStartup}; }
  void Fill(services::LoadStep step) override;
  void Reload() override;

  // "设置": removes the unticked rows from their places, then writes the boot
  // options.
  void Apply();
  // "添加启动项".
  void Add();
  // "恢复启动项".
  void Restore();
  // A location picked in Combo1.
  void LocationChosen();
  // "…": a program file for the path box.
  void Browse();

  ui::ListView& ListView1;
  ui::TextBox& Textqdmc;
  ui::TextBox& Textcxwz;
  ui::CommandButton& Commandll;
  ui::ComboBox& Combo1;
  ui::CommandButton& Commandtj;
  ui::CheckBox& Checkxpjs;
  ui::CheckBox& Checkydxx;
  ui::TextBox& Textydxx;
  ui::CheckBox& Checkjzsm;
  ui::CommandButton& Commandszkj;
  ui::CommandButton& Commandhf;

 private:
  void AddRow(std::string name, std::string command, std::string_view location);
  // The list's rows, from the machine as it is now.
  void FillRows();
  void FillRegistry(const char* key, std::string_view label);
  void FillWinIni(const char* entry, std::string_view label);
  void FillBootOptions();
  enum class Removal { kRemoved, kGoneAlready, kStayed };
  // Removes the row's entry from its place, keeping it in the backup first; an
  // entry that cannot be kept is not removed.
  // Takes the row's entry away after saving it; recorded() runs between the
  // two, once the copy is there and before the original goes.
  Removal Remove(int row, StartupBackup& backup, const std::function<void()>& recorded);
  void WriteBootOptions();
  std::string BootFile();

  services::Program& program_;
  int counter_ = 1;  // the row counter: the number the next row gets, from 1
};

}  // namespace korvanta::startup
