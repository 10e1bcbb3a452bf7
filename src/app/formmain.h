#pragma once
// The main window: title bar, side menu of its pages, the pages stacked in one
// place, the global buttons, the launch and help buttons, and the exit path.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <stdexcept>
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

// Makes a page on its container.
using PageMaker = std::unique_ptr<services::Page> (*)(services::Program& program,
                                                      ui::PictureBox& container);
template <typename P>
std::unique_ptr<services::Page> MakePage(services::Program& program, ui::PictureBox& container) {
  return std::make_unique<P>(program, container);
}

// A page of the main window: its side-bar item, its title and what fills it.
struct MainPage {
  const char* item;
  const char* heading;
  PageMaker make;
  PageMaker frame = nullptr;  // a second part on the same container, made after the page
  int help_slot = -1;         // where its help button sits (theme::PageButton); -1: none
};

// The pages in the side bar's order. Their fills run in the load steps' order;
// pages filling at the same step, in this order.
inline constexpr MainPage kMainPages[] = {
    {.item = "系统信息检测",
     .heading = "系统信息检测（检测您计算机的系统信息）",
     .make = MakePage<sysinfo::InventoryPage>},
    {.item = "系统个性化设置",
     .heading = "                  系统个性化设置(可以在此设置个性化系统)",
     .make = MakePage<panels::PersonalisationPage>,
     .help_slot = 4},
    {.item = "桌面与菜单设置",
     .heading = "桌面与菜单设置",
     .make = MakePage<panels::DesktopMenuPage>,
     .help_slot = 0},
    {.item = "网络系统设置",
     .heading = "网络系统设置",
     .make = MakePage<panels::NetworkPage>,
     .help_slot = 0},
    {.item = "开机速度设置",
     .heading = "开机速度设置",
     .make = MakePage<startup::StartupPage>,
     .help_slot = 0},
    {.item = "文件系统优化设置",
     .heading = "文件系统优化设置",
     .make = MakePage<panels::FileSystemPage>,
     .help_slot = 0},
    {.item = "系统安全设置",
     .heading = "系统安全设置",
     .make = MakePage<panels::SecurityPage>,
     .help_slot = 0},
    {.item = "其它设置与优化",
     .heading = "其它设置与优化",
     .make = MakePage<panels::OtherSettingsPage>,
     .frame = MakePage<sysfiles::SystemFilesFrame>,
     .help_slot = 0},
    {.item = "垃圾文件清理",
     .heading = "垃圾文件清理（清理磁盘中的垃圾文件）",
     .make = MakePage<cleaner::CleanerPage>},
};
inline constexpr int kPageCount = static_cast<int>(std::size(kMainPages));

// Where page P stands in the table, for what the main window itself puts on a
// page (its tool buttons): a page inserted before it moves them along. Asked at
// run time: a sanitized build will not compare function addresses in a
// constant expression.
template <class P>
std::size_t PageIndex() {
  for (std::size_t i = 0; i < std::size(kMainPages); ++i) {
    if (kMainPages[i].make == MakePage<P>) return i;
  }
  throw std::logic_error("not a page of the main window");
}

// Where the side bar's items go: the pages' items and the log's after them
// share the room above the buttons (Commandpass and below).
struct SideBarLayout {
  int top;
  int pitch;
  int height;
  constexpr int ItemTop(int i) const { return top + i * pitch; }
};
inline constexpr int kSideButtonsTop = 6240;
constexpr SideBarLayout LayOutSideBar(int pages) {
  constexpr int kTop = 720, kRoom = kSideButtonsTop - 240 - kTop;
  constexpr int kPitch = 540, kHeight = 420, kGap = kPitch - kHeight;
  // pages + 1 items: the last one's full height fits in the room.
  const int pitch = std::min(kPitch, (kRoom - kHeight) / pages);
  return {kTop, pitch, std::min(kHeight, pitch - kGap / 2)};
}

class Formmain final : public ui::Form {
 public:
  static constexpr std::string_view kName = "Formmain";
  explicit Formmain(services::Program& program);

  // Side item i: moves the selection bar, brings page i to the front.
  void SwitchToPage(int i);
  // The page in front.
  int current_page() const;
  // The exit path of the close label and the exit button.
  void Exit();

  // The pages, as the main window's load fills them.
  std::vector<services::Page*> pages() const;

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
  std::array<ui::CommandButton*, kPageCount> Commandbzn{};  // CommandbzI of page I, if it has one
  ui::CommandButton& Commandggtb;
  ui::CommandButton& Commandoem;
  ui::CommandButton& Commanddyyj;
  ui::CommandButton& Commandie;
  ui::CommandButton& Commandkzmb;

 private:
  // The pages and their frames, made on their containers in the table's order.
  std::vector<std::unique_ptr<services::Page>> pages_;

  template <typename P>
  P& Find() const {
    for (const auto& page : pages_) {
      if (auto* p = dynamic_cast<P*>(page.get())) return *p;
    }
    std::abort();  // the table holds every page named below
  }

 public:
  // The pages that other code drives by name.
  sysinfo::InventoryPage& inventory;
  cleaner::CleanerPage& cleaner;

 private:
  void Load();
  void LayoutTitleBar();

  services::Program& program_;
};

}  // namespace korvanta::app
