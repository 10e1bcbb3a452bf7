#pragma once
// The system-file frame at the top of the other-settings page: which of the
// seven classic start-up and registry files the machine has, and their backup
// to a folder, deletion and restore from a folder. It is a page of its own on
// the other-settings page's container, filled at its own step of the load.

#include <string>
#include <string_view>
#include <vector>

#include "services/page.h"
#include "services/program.h"
#include "ui/controls.h"
#include "ui/lists.h"

namespace korvanta::sysfiles {

// Where a system file lives, from the Windows folder ("C:\WINDOWS" or with a
// closing backslash): the folder, or "" for a name that is not one of the seven
// (compared without regard to case).
std::string SystemFileFolder(std::string_view name, std::string_view windows_folder);

class SystemFilesFrame final : public services::Page {
 public:
  SystemFilesFrame(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kSystemFiles};
  }
  void Fill(services::LoadStep step) override;
  void Reload() override { FillList(); }

  // "备份": the selected files copied to a folder the user chooses.
  void Backup();
  // "删除": the selected files deleted, once the user agrees.
  void Delete();
  // "恢复": the system files of a folder the user chooses copied back.
  void Restore();

  ui::Frame& Framextwj;  // 系统文件备份
  ui::ListBox& Listxtwj;
  ui::CommandButton& Commandbf;
  ui::CommandButton& Commandsc;
  ui::CommandButton& Commandhfxt;

 private:
  void FillList();
  std::string WindowsFolder();
  // Tells the user once which files an action could not handle.
  void TellFailed(std::string_view what, const std::vector<std::string>& names);

  services::Program& program_;
};

}  // namespace korvanta::sysfiles
