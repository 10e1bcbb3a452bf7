#include "app/frame_forms.h"

#include "app/forms.h"
#include "ui/declare.h"

namespace korvanta::app {
namespace {

// The splash picture's 369 x 220 pixels, and the about picture.
constexpr ui::Rect kSplash{0, 0, 369 * ui::kTwipsPerPixel, 220 * ui::kTwipsPerPixel};
constexpr ui::Rect kAbout{0, 0, 6000, 4125};

}  // namespace

Formqd::Formqd(services::Program& program)
    : ui::Form(std::string(kName)),
      Image1(ui::Place<ui::PictureBox>(*this, "Image1", kSplash)),
      Timer1(ui::Place<ui::Timer>(*this, "Timer1", {})) {
  set_rect(kSplash);
  Image1.set_picture({ui::Picture::Type::kResource, "splash", 0});
  Timer1.set_interval(3000);
  Timer1.set_running(true);
  Timer1.on_timer = [this, &program] {
    Timer1.set_running(false);
    OpenMainWindow(program);
  };
}

Formgy::Formgy(services::Program& program)
    : ui::Form(std::string(kName)), Image1(ui::Place<ui::PictureBox>(*this, "Image1", kAbout)) {
  set_caption("关于");
  set_rect(kAbout);
  Image1.set_picture({ui::Picture::Type::kResource, "about", 0});
  auto close = [this, &program] { program.Unload(*this); };
  Image1.on_click = close;
  on_click = close;
}

Formmsg::Formmsg(services::Program& program)
    : services::MessageWindow(
          program,
          {.name = std::string(kName),
           .title = "消息",
           .text = "     Korvanta已经对您的系统进行优化，重新启动计算机后优化设置即可生效，"
                   "您确认启动计算机吗？按“确定”自动重启计算机，“取消”稍候手动启动计算机！",
           .icon = ui::MessageIcon::kInformation,
           .ok_caption = "确定(&Ok)",
           .cancel_caption = "取消(&Esc)",
           .ok_name = "Commandqd",
           .cancel_name = "Commandqx",
           .width = 6300,
           .height = 2700}) {
  on_ok = [&program] {
    program.host().Restart();
    program.End();
  };
  on_cancel = [&program] { program.End(); };
}

}  // namespace korvanta::app
