#include "cleaner/cleaner_page.h"

#include "ui/declare.h"

namespace korvanta::cleaner {
namespace {

constexpr ui::Rect kPanel{240, 900, 7590, 5220};

}  // namespace

CleanerPage::CleanerPage(app::Program& program, ui::PictureBox& page)
    : TabStrip1(ui::Place<ui::TabStrip>(page, "TabStrip1", {120, 480, 7830, 5760})),
      ListView2(ui::Place<ui::ListView>(page, "ListView2", kPanel)),
      Picture2(ui::Place<ui::PictureBox>(page, "Picture2", kPanel)),
      Picture3(ui::Place<ui::PictureBox>(page, "Picture3", kPanel)),
      Picture4(ui::Place<ui::PictureBox>(page, "Picture4", kPanel)),
      Commandzj(
          ui::Place<ui::CommandButton>(Picture2, "Commandzj", {6330, 4740, 1140, 375}, "增加")),
      program_(program) {
  TabStrip1.AddTab("扫描结果", "显示扫描出的垃圾文件列表");
  TabStrip1.AddTab("扫描选项", "扫描选项设置");
  TabStrip1.AddTab("删除选项", "删除选项设置");
  TabStrip1.AddTab("文件恢复", "恢复被删除的文件");
  TabStrip1.AddTab("帮助", "Korvanta帮助");
  TabStrip1.on_click = [this] { TabClicked(); };
  Picture2.set_visible(false);
  Picture3.set_visible(false);
  Picture4.set_visible(false);
  Commandzj.on_click = [this] { program_.Show("Formwjlx"); };
}

void CleanerPage::TabClicked() {
  const int tab = TabStrip1.selected();
  if (tab >= 1 && tab <= 4) {
    ListView2.set_visible(tab == 1);
    Picture2.set_visible(tab == 2);
    Picture3.set_visible(tab == 3);
    Picture4.set_visible(tab == 4);
  } else if (tab == 5) {
    program_.OpenHelp();
  }
}

}  // namespace korvanta::cleaner
