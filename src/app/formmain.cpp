#include "app/formmain.h"

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::app {
namespace {

using ui::CommandButton;
using ui::Label;
using ui::Place;
using ui::PlaceAt;
using ui::Rect;

constexpr int kWidth = 10500, kHeight = 7500;
constexpr int kTitleHeight = 405;
constexpr int kSideWidth = 2250;
constexpr int kItemTop = 720, kItemPitch = 540, kItemHeight = 420;
constexpr Rect kPage{2310, 465, 8070, 6960};

constexpr std::array<const char*, kPageCount> kSideItems = {
    "系统信息检测",     "系统个性化设置", "桌面与菜单设置", "网络系统设置", "开机速度设置",
    "文件系统优化设置", "系统安全设置",   "其它设置与优化", "垃圾文件清理"};
constexpr std::array<const char*, kPageCount> kHeadings = {
    "系统信息检测（检测您计算机的系统信息）",
    "                  系统个性化设置(可以在此设置个性化系统)",
    "桌面与菜单设置",
    "网络系统设置",
    "开机速度设置",
    "文件系统优化设置",
    "系统安全设置",
    "其它设置与优化",
    "垃圾文件清理（清理磁盘中的垃圾文件）"};

constexpr const char* kHelpTip = "Korvanta帮助";

std::array<ui::PictureBox*, kPageCount> Pages(ui::Form& form) {
  std::array<ui::PictureBox*, kPageCount> pages{};
  for (int i = 0; i < kPageCount; ++i) {
    pages[static_cast<std::size_t>(i)] = &PlaceAt<ui::PictureBox>(form, "Picture1", i, kPage);
  }
  return pages;
}

using theme::PageButton;

// Makes a page, owned by the main window.
template <typename P>
P& Own(std::vector<std::unique_ptr<Page>>& pages, Program& program, ui::PictureBox& container) {
  auto page = std::make_unique<P>(program, container);
  P& ref = *page;
  pages.push_back(std::move(page));
  return ref;
}

}  // namespace

Formmain::Formmain(Program& program)
    : ui::Form(std::string(kName)),
      Labelbt(Place<Label>(*this, "Labelbt", {0, 0, kWidth, kTitleHeight})),
      Labelmin(Place<Label>(*this, "Labelmin", {9000, 60, 750, 285}, "最小化")),
      Labelend(Place<Label>(*this, "Labelend", {9800, 60, 600, 285}, "关闭")),
      Labeljsj(Place<Label>(*this, "Labeljsj", {4500, 60, 4350, 285})),
      Label2(
          Place<Label>(*this, "Label2", {60, kItemTop - 30, kSideWidth - 120, kItemHeight + 60})),
      Labe3(Place<Label>(*this, "Labe3",
                         {240, kItemTop + kPageCount * kItemPitch, kSideWidth - 360, kItemHeight},
                         "系统设置日志")),
      Picture1(Pages(*this)),
      Commandpass(Place<CommandButton>(*this, "Commandpass", {150, 6240, 960, 360}, "密码设置",
                                       "设置Korvanta密码")),
      Commandend(Place<CommandButton>(*this, "Commandend", {150, 7080, 1950, 360}, "退出",
                                      "退出Korvanta")),
      Commandzxbz(Place<CommandButton>(*this, "Commandzxbz", {1140, 6240, 960, 360}, "网上升级",
                                       "检测网络上是否有更新的版本并升级")),
      Commandbz(Place<CommandButton>(*this, "Commandbz", {150, 6660, 960, 360}, "帮助", kHelpTip)),
      Commandgy(Place<CommandButton>(*this, "Commandgy", {1140, 6660, 960, 360}, "关于", "关于")),
      Commandggtb(Place<CommandButton>(*Picture1[1], "Commandggtb", PageButton(0), "更改图标",
                                       "更改系统图标")),
      Commandoem(Place<CommandButton>(*Picture1[1], "Commandoem", PageButton(2), "OEM信息设置",
                                      "更改OEM信息设置")),
      Commanddyyj(Place<CommandButton>(*Picture1[1], "Commanddyyj", PageButton(3), "自定义右键",
                                       "自定义右键功能")),
      // First on its page, above the settings, at the right of the page title.
      Commandie(Place<CommandButton>(*Picture1[3], "Commandie", {kPage.width - 1500, 90, 1380, 375},
                                     "Lumbrel", "启动Lumbrel")),
      Commandkzmb(Place<CommandButton>(*Picture1[6], "Commandkzmb", PageButton(2), "控制面板",
                                       "控制面板设置")),
      inventory(Own<sysinfo::InventoryPage>(pages_, program, *Picture1[0])),
      personalisation(Own<panels::PersonalisationPage>(pages_, program, *Picture1[1])),
      desktop(Own<panels::DesktopMenuPage>(pages_, program, *Picture1[2])),
      network(Own<panels::NetworkPage>(pages_, program, *Picture1[3])),
      filesystem(Own<panels::FileSystemPage>(pages_, program, *Picture1[5])),
      security(Own<panels::SecurityPage>(pages_, program, *Picture1[6])),
      other(Own<panels::OtherSettingsPage>(pages_, program, *Picture1[7])),
      cleaner(Own<cleaner::CleanerPage>(pages_, program, *Picture1[8])),
      startup(Own<startup::StartupPage>(pages_, program, *Picture1[4])),
      sysfiles(Own<sysfiles::SystemFilesFrame>(pages_, program, *Picture1[7])),
      program_(program) {
  set_caption("Korvanta V3.5");
  set_rect({0, 0, kWidth, kHeight});
  icon = "korvanta";
  place = [this] { return Label3[static_cast<std::size_t>(current_page())]->caption(); };
  on_machine_changed = [this] {
    for (const auto& page : pages_) page->Reload();
  };
  set_back_color(theme::kSideBack);
  theme::StyleTitle(Labelbt);
  theme::StyleTitleButton(Labelmin);
  theme::StyleTitleButton(Labelend);
  ui::Appearance bar;
  bar.back = theme::kSelectionBack;
  bar.border = true;
  Label2.set_appearance(bar);
  ui::Appearance item;
  item.fore = theme::kSideFore;
  item.font_size = 10;
  item.transparent = true;
  Labe3.set_appearance(item);
  ui::Appearance machine = Labelbt.appearance();
  machine.fore = theme::kMutedFore;
  machine.bold = false;
  machine.font_size = 9;
  machine.align = ui::Align::kRight;
  Labeljsj.set_appearance(machine);

  for (int i = 0; i < kPageCount; ++i) {
    auto n = static_cast<std::size_t>(i);
    int top = kItemTop + i * kItemPitch;
    Label3[n] = &PlaceAt<Label>(*this, "Label3", i, {240, top, kSideWidth - 360, kItemHeight},
                                kSideItems[n]);
    Label3[n]->set_appearance(item);
    Label3[n]->on_click = [this, i] { SwitchToPage(i); };
    Label4[n] =
        &PlaceAt<Label>(*Picture1[n], "Label4", i, {120, 90, kPage.width - 240, 360}, kHeadings[n]);
    theme::StyleHeading(*Label4[n]);
    ui::Appearance page;
    page.back = theme::kPageBack;
    page.border = true;
    Picture1[n]->set_appearance(page);
  }
  for (int i = 0; i <= kPageCount; ++i) {
    Label1[static_cast<std::size_t>(i)] =
        &PlaceAt<Label>(*this, "Label1", i, {90, kItemTop + i * kItemPitch, 90, kItemHeight});
    Label1[static_cast<std::size_t>(i)]->set_back_color(theme::kMarkerBack);
  }
  // The page's title on the network page leaves room for its first button.
  Label4[3]->set_rect({120, 90, kPage.width - 1740, 360});
  // Help comes first on the pages, before "设置"; the personalisation page's last.
  for (int page = 1; page <= 7; ++page) {
    int slot = page == 1 ? 4 : 0;
    Commandbzn[static_cast<std::size_t>(page)] = &Place<CommandButton>(
        *Picture1[static_cast<std::size_t>(page)], "Commandbz" + std::to_string(page),
        PageButton(slot), "帮助", kHelpTip);
    Commandbzn[static_cast<std::size_t>(page)]->on_click = [this] { program_.OpenHelp(); };
  }
  Labelmin.on_click = [this] { set_minimized(true); };
  Labelend.on_click = [this] { Exit(); };
  Commandend.on_click = [this] { Exit(); };
  Commandpass.on_click = [this] { program_.Show("Formpasssz"); };
  Commandgy.on_click = [this] { program_.Show("Formgy"); };
  Commandbz.on_click = [this] { program_.OpenHelp(); };
  Commandzxbz.on_click = [this] { program_.LaunchProgramFile("Open", "update.exe", this); };
  Commandie.on_click = [this] { program_.LaunchProgramFile("open", "zdqp.exe", nullptr); };
  Commandggtb.on_click = [this] { program_.Show("Formggtb"); };
  Commandoem.on_click = [this] { program_.Show("Formoem"); };
  Commanddyyj.on_click = [this] { program_.Show("Formyjgn"); };
  Commandkzmb.on_click = [this] { program_.Show("Formkzmb"); };
  Labe3.on_click = [this] { program_.Show("Formlog"); };

  on_resize = [this] { LayoutTitleBar(); };
  on_close_request = [this] { Exit(); };
  on_load = [this] { Load(); };
}

void Formmain::Load() {
  Labelbt.set_caption("Korvanta V3.5 Build 8.181");
  // Which machine the program works on, when it is not the one it runs on.
  std::string machine = program_.machine().Describe();
  Labeljsj.set_caption(machine.empty() ? "" : "计算机：" + machine);
  Labeljsj.set_visible(!machine.empty());
  // The frameless window keeps its taskbar menu and can be minimised from the
  // taskbar: the renderers give it WS_SYSMENU | WS_MINIMIZEBOX.
  Label1[0]->set_visible(false);
  Picture1[0]->BringToFront();
  std::vector<Page*> list = pages();
  FillPages(list);
}

std::vector<Page*> Formmain::pages() const {
  std::vector<Page*> list;
  for (const auto& page : pages_) list.push_back(page.get());
  return list;
}

void Formmain::LayoutTitleBar() {
  int width = rect().width;
  Labelbt.set_rect({0, 0, width, Labelbt.rect().height});
  Labelend.Move(width - Labelend.rect().width - 100, Labelend.rect().top);
  Labelmin.Move(width - Labelend.rect().width - Labelmin.rect().width - 150, Labelmin.rect().top);
  Labeljsj.Move(Labelmin.rect().left - Labeljsj.rect().width - 150, Labeljsj.rect().top);
}

void Formmain::SwitchToPage(int i) {
  if (i < 0 || i >= kPageCount) return;
  auto n = static_cast<std::size_t>(i);
  Label2.Move(Label2.rect().left, Label1[n]->rect().top - 30);
  Picture1[n]->BringToFront();
  Label1[n]->set_visible(false);
}

int Formmain::current_page() const {
  int best = 0;
  for (int i = 1; i < kPageCount; ++i) {
    if (Picture1[static_cast<std::size_t>(i)]->z_order() <
        Picture1[static_cast<std::size_t>(best)]->z_order()) {
      best = i;
    }
  }
  return best;
}

void Formmain::Exit() {
  if (program_.RestartPending == 1) {
    program_.Unload(*this);
    program_.Show("Formmsg");
  } else {
    program_.End();
  }
}

}  // namespace korvanta::app
