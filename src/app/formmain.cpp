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
constexpr SideBarLayout kSide = LayOutSideBar(kPageCount);
constexpr Rect kPage{2310, 465, 8070, 6960};

constexpr const char* kHelpTip = "Korvanta帮助";

std::array<ui::PictureBox*, kPageCount> Pages(ui::Form& form) {
  std::array<ui::PictureBox*, kPageCount> pages{};
  for (int i = 0; i < kPageCount; ++i) {
    pages[static_cast<std::size_t>(i)] = &PlaceAt<ui::PictureBox>(form, "Picture1", i, kPage);
  }
  return pages;
}

using services::theme::PageButton;

// Makes every page of the table, and its frame, on its container.
std::vector<std::unique_ptr<services::Page>> MakePages(
    services::Program& program, const std::array<ui::PictureBox*, kPageCount>& on) {
  std::vector<std::unique_ptr<services::Page>> pages;
  for (std::size_t i = 0; i < on.size(); ++i) {
    pages.push_back(kMainPages[i].make(program, *on[i]));
    if (kMainPages[i].frame) pages.push_back(kMainPages[i].frame(program, *on[i]));
  }
  return pages;
}

}  // namespace

Formmain::Formmain(services::Program& program)
    : ui::Form(std::string(kName)),
      Labelbt(Place<Label>(*this, "Labelbt", {0, 0, kWidth, kTitleHeight})),
      Labelmin(Place<Label>(*this, "Labelmin", {9000, 60, 750, 285}, "最小化")),
      Labelend(Place<Label>(*this, "Labelend", {9800, 60, 600, 285}, "关闭")),
      Labeljsj(Place<Label>(*this, "Labeljsj", {4500, 60, 4350, 285})),
      Label2(
          Place<Label>(*this, "Label2", {60, kSide.top - 30, kSideWidth - 120, kSide.height + 60})),
      Labe3(Place<Label>(*this, "Labe3",
                         {240, kSide.ItemTop(kPageCount), kSideWidth - 360, kSide.height},
                         "系统设置日志")),
      Picture1(Pages(*this)),
      Commandpass(Place<CommandButton>(*this, "Commandpass", {150, kSideButtonsTop, 960, 360},
                                       "密码设置", "设置Korvanta密码")),
      Commandend(Place<CommandButton>(*this, "Commandend", {150, 7080, 1950, 360}, "退出",
                                      "退出Korvanta")),
      Commandzxbz(Place<CommandButton>(*this, "Commandzxbz", {1140, kSideButtonsTop, 960, 360},
                                       "网上升级", "检测网络上是否有更新的版本并升级")),
      Commandbz(Place<CommandButton>(*this, "Commandbz", {150, 6660, 960, 360}, "帮助", kHelpTip)),
      Commandgy(Place<CommandButton>(*this, "Commandgy", {1140, 6660, 960, 360}, "关于", "关于")),
      Commandggtb(Place<CommandButton>(*Picture1[PageIndex<panels::PersonalisationPage>()],
                                       "Commandggtb", PageButton(0), "更改图标", "更改系统图标")),
      Commandoem(Place<CommandButton>(*Picture1[PageIndex<panels::PersonalisationPage>()],
                                      "Commandoem", PageButton(2), "OEM信息设置",
                                      "更改OEM信息设置")),
      Commanddyyj(Place<CommandButton>(*Picture1[PageIndex<panels::PersonalisationPage>()],
                                       "Commanddyyj", PageButton(3), "自定义右键",
                                       "自定义右键功能")),
      // First on its page, above the settings, at the right of the page title.
      Commandie(Place<CommandButton>(*Picture1[PageIndex<panels::NetworkPage>()], "Commandie",
                                     {kPage.width - 1500, 90, 1380, 375}, "Lumbrel",
                                     "启动Lumbrel")),
      Commandkzmb(Place<CommandButton>(*Picture1[PageIndex<panels::SecurityPage>()], "Commandkzmb",
                                       PageButton(2), "控制面板", "控制面板设置")),
      pages_(MakePages(program, Picture1)),
      inventory(Find<sysinfo::InventoryPage>()),
      cleaner(Find<cleaner::CleanerPage>()),
      program_(program) {
  set_caption("Korvanta V3.5");
  set_rect({0, 0, kWidth, kHeight});
  icon = "korvanta";
  place = [this] { return Label3[static_cast<std::size_t>(current_page())]->caption(); };
  on_machine_changed = [this] {
    for (const auto& page : pages_) page->Reload();
  };
  set_back_color(services::theme::kSideBack);
  services::theme::StyleTitle(Labelbt);
  services::theme::StyleTitleButton(Labelmin);
  services::theme::StyleTitleButton(Labelend);
  ui::Appearance bar;
  bar.back = services::theme::kSelectionBack;
  bar.border = true;
  Label2.set_appearance(bar);
  ui::Appearance item;
  item.fore = services::theme::kSideFore;
  item.font_size = 10;
  item.transparent = true;
  Labe3.set_appearance(item);
  ui::Appearance machine = Labelbt.appearance();
  machine.fore = services::theme::kMutedFore;
  machine.bold = false;
  machine.font_size = 9;
  machine.align = ui::Align::kRight;
  Labeljsj.set_appearance(machine);

  for (int i = 0; i < kPageCount; ++i) {
    auto n = static_cast<std::size_t>(i);
    Label3[n] =
        &PlaceAt<Label>(*this, "Label3", i, {240, kSide.ItemTop(i), kSideWidth - 360, kSide.height},
                        kMainPages[n].item);
    Label3[n]->set_appearance(item);
    Label3[n]->on_click = [this, i] { SwitchToPage(i); };
    Label4[n] = &PlaceAt<Label>(*Picture1[n], "Label4", i, {120, 90, kPage.width - 240, 360},
                                kMainPages[n].heading);
    services::theme::StyleHeading(*Label4[n]);
    ui::Appearance page;
    page.back = services::theme::kPageBack;
    page.border = true;
    Picture1[n]->set_appearance(page);
  }
  for (int i = 0; i <= kPageCount; ++i) {
    Label1[static_cast<std::size_t>(i)] =
        &PlaceAt<Label>(*this, "Label1", i, {90, kSide.ItemTop(i), 90, kSide.height});
    Label1[static_cast<std::size_t>(i)]->set_back_color(services::theme::kMarkerBack);
  }
  // The page's title on the network page leaves room for its first button.
  Label4[3]->set_rect({120, 90, kPage.width - 1740, 360});
  // Help comes first on the pages, before "设置"; the personalisation page's last.
  for (int i = 0; i < kPageCount; ++i) {
    auto n = static_cast<std::size_t>(i);
    if (kMainPages[n].help_slot < 0) continue;
    Commandbzn[n] = &Place<CommandButton>(*Picture1[n], "Commandbz" + std::to_string(i),
                                          PageButton(kMainPages[n].help_slot), "帮助", kHelpTip);
    Commandbzn[n]->on_click = [this] { program_.OpenHelp(); };
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
  std::vector<services::Page*> list = pages();
  services::FillPages(list);
}

std::vector<services::Page*> Formmain::pages() const {
  std::vector<services::Page*> list;
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
