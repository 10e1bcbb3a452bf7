#include "services/small_window.h"

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::services {
namespace {

constexpr int kTitleHeight = 345;

}  // namespace

SmallWindow::SmallWindow(Program& program, std::string name, std::string title, int width,
                         int height)
    : ui::Form(std::move(name)),
      Labelbt(ui::Place<ui::Label>(*this, "Labelbt", {0, 0, width, kTitleHeight}, title)),
      Labelend(ui::Place<ui::Label>(*this, "Labelend", {width - 600, 45, 540, 255}, "关闭")),
      program_(program) {
  set_caption(std::move(title));
  set_rect({0, 0, width, height});
  ui::Appearance window;
  window.back = theme::kWindowBack;
  window.border = true;
  set_appearance(window);
  theme::StyleTitle(Labelbt);
  theme::StyleTitleButton(Labelend);
  Labelend.on_click = [this] { program_.Unload(*this); };
}

MessageWindow::MessageWindow(Program& program, const Spec& spec)
    : SmallWindow(program, spec.name, spec.title, spec.width, spec.height),
      Image1(ui::Place<ui::PictureBox>(*this, "Image1", {300, 645, 480, 480})),
      Label1(ui::Place<ui::Label>(*this, "Label1",
                                  {960, 585, spec.width - 1200, spec.height - 1350}, spec.text)),
      ok(ui::Place<ui::CommandButton>(*this, spec.ok_name, {0, spec.height - 615, 1200, 375},
                                      spec.ok_caption)) {
  topmost = true;
  Image1.set_picture(
      {ui::Picture::Type::kResource, std::string(ui::MessageIconResource(spec.icon)), 0});
  ui::Appearance text;
  text.transparent = true;
  Label1.set_appearance(text);
  ok.is_default = true;
  if (!spec.cancel_caption.empty()) {
    cancel = &ui::Place<ui::CommandButton>(*this, spec.cancel_name,
                                           {spec.width / 2 + 150, spec.height - 615, 1200, 375},
                                           spec.cancel_caption);
    cancel->is_cancel = true;
    ok.Move(spec.width / 2 - 1350, ok.rect().top);
    cancel->on_click = [this] { Answer(false); };
  } else {
    ok.Move((spec.width - 1200) / 2, ok.rect().top);
  }
  ok.on_click = [this] { Answer(true); };
  // The close label answers as Cancel does, or as OK on a window without Cancel.
  Labelend.on_click = [this] { Answer(cancel == nullptr); };
  message = ui::MessageWindowInfo{spec.title, spec.text, &ok, cancel};
  on_load = [this] { program_.host().Beep(); };
}

void MessageWindow::Answer(bool ok_pressed) {
  program_.Unload(*this);
  const auto& then = ok_pressed ? on_ok : on_cancel;
  if (then) then();
}

}  // namespace korvanta::services
