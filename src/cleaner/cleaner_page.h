#pragma once
// The junk-file cleaning page: its tab strip over the result list and the scan
// options, delete options and restore panels. The tab strip shows one panel at
// a time; its fifth tab opens the help file and leaves the panel shown. The
// page only wires its controls to the catalogue, the scan, the deleter and the
// backup list.

#include <memory>
#include <vector>

#include "cleaner/backup_restore.h"
#include "cleaner/junk_deleter.h"
#include "cleaner/junk_scanner.h"
#include "cleaner/junk_types.h"
#include "services/page.h"
#include "services/program.h"
#include "ui/controls.h"
#include "ui/list_view.h"
#include "ui/lists.h"

namespace korvanta::cleaner {

class CleanerPage final : public services::Page {
 public:
  CleanerPage(services::Program& program, ui::PictureBox& page);

  std::vector<services::LoadStep> steps() const override {
    return {services::LoadStep::kCleanerSettings, services::LoadStep::kBackupList};
  }
  void Fill(services::LoadStep step) override;

  // "搜索" and "停止".
  void Search();
  void StopSearch();

  ui::TabStrip& TabStrip1;
  ui::ListView& ListView2;  // the result list
  ui::StatusBar& StatusBar1;
  ui::PictureBox& Picture2;        // scan options
  ui::PictureBox& Picture3;        // delete options
  ui::PictureBox& Picture4;        // backed-up files
  ui::CommandButton& Commandss;    // 搜索
  ui::CommandButton& Commandtz;    // 停止
  ui::CommandButton& Commandsclj;  // 删除
  ui::CommandButton& Commandqbsc;  // 全部删除
  ui::Timer& Timerss;              // works the scan in slices

  ui::OptionButton& Optionkssm;
  ui::OptionButton& Optionxxam;
  ui::ListBox& Listdiv1;
  ui::CheckBox& Checkddsm;
  ui::TextBox& Textdywjj;
  ui::CommandButton& Commanddysm;
  ui::CheckBox& Checknoie;
  ui::Frame& Framelx;  // 文件类型选择
  ui::ListView& ListView3;
  ui::CommandButton& Commandbc;  // 保存
  ui::CommandButton& Commandqx;  // 全选 / 全否
  ui::CommandButton& Commandzj;  // 增加
  ui::CommandButton& Commandmr;  // 默认

  ui::OptionButton& Optionsdhs;
  ui::OptionButton& Optionzj;
  ui::OptionButton& Optionbfsc;
  ui::TextBox& Textbbfwj;
  ui::CommandButton& Commandbfwj;
  ui::OptionButton& Optionbkhf;
  ui::CheckBox& Checkxcts;
  ui::CommandButton& Commandbcsz;   // 保存
  ui::CommandButton& Commandmr1;    // 默认
  ui::CommandButton& Commandqkhsz;  // 清空回收站

  ui::ListView& ListView4;
  ui::CommandButton& Commandhfwj;  // 恢复
  ui::CommandButton& Commandhfqb;  // 恢复全部
  ui::CommandButton& Commandscqb;  // 删除全部
  ui::Label& Labelhfjd;            // how far a restore is: the status bar is not on this tab

 private:
  // An option of set.ini that a pane shows ([smset] the scan pane's, [delset]
  // the delete pane's), spelt once with its default and the control it binds.
  // Load, save and "默认" walk the rows in this order, the order new keys reach
  // set.ini in. A path is stored only while its option is selected.
  struct StoredOption {
    const char* section;
    const char* key;
    const char* value;  // the default
    ui::CheckBox* tick = nullptr;
    ui::OptionButton* option = nullptr;
    ui::TextBox* path = nullptr;
    ui::OptionButton* with = nullptr;
  };
  std::vector<StoredOption> StoredOptions();
  void SaveOptions(std::string_view section);
  void WriteDefaults(std::string_view section);

  void TabClicked();
  void ShowProgress();
  CleanerSettings Settings();
  void LoadSettings();
  void SaveScanOptions();
  void SaveDeleteOptions();
  void RestoreScanDefaults();
  void RestoreDeleteDefaults();
  void AskRestart();
  void SelectAll();
  void QuickScanClicked();
  void DetailedScanClicked();
  void CustomFolderClicked();
  void ChooseFolder(ui::TextBox& box, const char* title);
  DeleteOptions CurrentDeleteOptions() const;

  // The scan's searches for the options shown; empty when no method is in force.
  std::vector<ScanSearch> Searches(bool& any_method);
  bool busy() const;
  void TimerFired();
  void WorkStarted();
  void WorkEnded();
  void ScanSlice();
  void AddRows(std::vector<ScanRow>& rows);
  void ScanEnded();

  services::Program& program_;
  JunkDeleter deleter_;
  BackupRestore backups_;
  std::unique_ptr<JunkScan> scan_;
};

}  // namespace korvanta::cleaner
