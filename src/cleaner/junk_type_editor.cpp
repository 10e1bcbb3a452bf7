#include "cleaner/junk_type_editor.h"

#include "cleaner/junk_types.h"
#include "ui/declare.h"

namespace korvanta::cleaner {
namespace {

CleanerSettings Settings(services::Program& program) {
  return CleanerSettings(program.machine().ini(),
                         program.machine().paths().ProgramFolder() + "\\set.ini");
}

int CountOf(const std::string& text) {
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > 100000) break;
  }
  return n;
}

}  // namespace

Formwjlx::Formwjlx(services::Program& program)
    : services::SmallWindow(program, "Formwjlx", "添加垃圾文件类型", 4920, 3120),
      Label1(ui::Place<ui::Label>(*this, "Label1", {360, 570, 4200, 255}, "文件类型：(如：*.tmp)")),
      Textlx(ui::Place<ui::TextBox>(*this, "Textlx", {360, 855, 4200, 330})),
      Label2(ui::Place<ui::Label>(*this, "Label2", {360, 1320, 4200, 255}, "文件类型说明：")),
      Textsm(ui::Place<ui::TextBox>(*this, "Textsm", {360, 1605, 4200, 330})),
      Commandtj(ui::Place<ui::CommandButton>(*this, "Commandtj", {1080, 2280, 1200, 375}, "添加")),
      Commandtc(ui::Place<ui::CommandButton>(*this, "Commandtc", {2640, 2280, 1200, 375}, "退出")),
      Text1(ui::Place<ui::TextBox>(*this, "Text1", {360, 2280, 600, 330})) {
  Text1.set_visible(false);
  ui::Appearance text;
  text.transparent = true;
  Label1.set_appearance(text);
  Label2.set_appearance(text);
  on_load = [this] { Text1.set_text(std::to_string(Settings(program_).UserTypeCount())); };
  Commandtj.on_click = [this] { Add(); };
  Commandtc.on_click = [this] { Exit(); };
  Labelend.on_click = [this] { Exit(); };
}

void Formwjlx::Add() {
  int n = CountOf(Text1.text());
  std::string pattern = Textlx.text();
  Settings(program_).WriteUserType(n, {pattern, Textsm.text()});
  program_.dialogs().MessageBox(this, "消息",
                                "添加垃圾文件类型 " + pattern + " 成功，将在程序下次启动时生效！",
                                ui::MessageIcon::kInformation, ui::MessageButtons::kOk);
  Text1.set_text(std::to_string(n + 1));
  Textlx.set_text("");
  Textsm.set_text("");
}

void Formwjlx::Exit() {
  Settings(program_).WriteUserTypeCount(CountOf(Text1.text()));
  auto answer = program_.dialogs().MessageBox(
      this, "消息", "添加垃圾文件类型成功，将在下次启动时生效，你是否重新运行Korvanta！",
      ui::MessageIcon::kInformation, ui::MessageButtons::kOkCancel);
  if (answer == ui::MessageAnswer::kOk) {
    program_.End();
  } else {
    program_.Unload(*this);
  }
}

}  // namespace korvanta::cleaner
