#pragma once
// The main window: title bar, side menu of nine pages, the pages stacked in one
// place, the global buttons, the launch and help buttons, and the exit path.

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "cleaner/cleaner_page.h"
#include "panels/desktop_menu_page.h"
#include "panels/filesystem_page.h"
#include "panels/network_page.h"
#include "panels/other_settings_page.h"
#include "panels/personalisation_page.h"
#include "panels/security_page.h"
#include "services/page.h"
#include "services/program.h"
#include "startup/startup_page.h"
#include "sysfiles/system_files_frame.h"
#include "sysinfo/inventory_page.h"
#include "ui/controls.h"

namespace korvanta::app {

inline constexpr int kPageCount = 9;

class Formmain final : public ui::Form {
  // First of the members: the pages' references below point into it.
  std::vector<std::unique_ptr<Page>> pages_;

 public:
  static constexpr std::string_view kName = "Formmain";
  explicit Formmain(Program& program);

  // Side item i (0..8): moves the selection bar, brings page i to the front.
  void SwitchToPage(int i);
  // The page in front.
  int current_page() const;
  // The exit path of the close label and the exit button.
  void Exit();

  // The pages, as the main window's load fills them.
  std::vector<Page*> pages() const;

  ui::Label& Labelbt;
  ui::Label& Labelmin;
  ui::Label& Labelend;
  ui::Label& Labeljsj;  // which machine, when it is not the one the program runs on
  ui::Label& Label2;
  ui::Label& Labe3;
  std::array<ui::PictureBox*, kPageCount> Picture1;
  std::array<ui::Label*, kPageCount> Label3{};
  std::array<ui::Label*, kPageCount + 1> Label1{};
  std::array<ui::Label*, kPageCount> Label4{};
  ui::CommandButton& Commandpass;
  ui::CommandButton& Commandend;
  ui::CommandButton& Commandzxbz;
  ui::CommandButton& Commandbz;
  ui::CommandButton& Commandgy;
  std::array<ui::CommandButton*, 8> Commandbzn{};  // Commandbz1 .. Commandbz7 at 1..7
  ui::CommandButton& Commandggtb;
  ui::CommandButton& Commandoem;
  ui::CommandButton& Commanddyyj;
  ui::CommandButton& Commandie;
  ui::CommandButton& Commandkzmb;

  // The pages, constructed on their containers.
  sysinfo::InventoryPage& inventory;
  panels::PersonalisationPage& personalisation;
  panels::DesktopMenuPage& desktop;
  panels::NetworkPage& network;
  panels::FileSystemPage& filesystem;
  panels::SecurityPage& security;
  panels::OtherSettingsPage& other;
  cleaner::CleanerPage& cleaner;
  startup::StartupPage& startup;
  // The system-file frame, on the other-settings page's container.
  sysfiles::SystemFilesFrame& sysfiles;

 private:
  void Load();
  void LayoutTitleBar();

  Program& program_;
};

}  // namespace korvanta::app
