#include "password/password_forms.h"

#include "password/password_hash.h"
#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::password {
namespace {

constexpr const char* kProgramKey = "SOFTWARE\\qrmtze";
constexpr const char* kHelpAddress = "https://www.korvanta.com/password-help.htm";
constexpr int kMenuColor = 4, kWindowColor = 5, kScrollBarColor = 0;

services::MessageWindow::Spec Warning(std::string_view name, std::string text,
                                      ui::MessageIcon icon) {
  services::MessageWindow::Spec spec;
  spec.name = std::string(name);
  spec.title = "警告";
  spec.text = std::move(text);
  spec.icon = icon;
  return spec;
}

void SetMainEnabled(services::Program& program, bool enabled) {
  if (ui::Form* main = program.main()) main->set_enabled(enabled);
}

}  // namespace

std::string StoredPassword(services::Program& program) {
  store::Variant value;
  program.machine().reg().QueryValue(store::RegRoot::kLocalMachine, kProgramKey, "password", value);
  return value.ToText();
}

Formpass::Formpass(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "消息", 4800, 2400),
      Label1(ui::Place<ui::Label>(*this, "Label1", {360, 630, 1500, 300}, "请输入密码：")),
      Textpass(ui::Place<ui::TextBox>(*this, "Textpass", {1860, 585, 2520, 330})),
      Label2(ui::Place<ui::Label>(*this, "Label2", {3540, 1080, 840, 300}, "忘记密码")),
      Command1(
          ui::Place<ui::CommandButton>(*this, "Command1", {1020, 1740, 1260, 375}, "确定(&Ok)")),
      Command2(
          ui::Place<ui::CommandButton>(*this, "Command2", {2520, 1740, 1260, 375}, "取消(&Esc)")) {
  topmost = true;
  Textpass.password_char = '*';
  ui::Appearance link;
  link.fore = services::theme::kHeadingFore;  // a link: it opens the help page
  link.transparent = true;
  Label2.set_appearance(link);
  Command1.is_default = true;
  Command2.is_cancel = true;
  on_load = [this] {
    program_.host().Beep();
    SetMainEnabled(program_, false);
  };
  Command1.on_click = [this] { Check(); };
  Labelend.on_click = [this] { Check(); };
  Command2.on_click = [this] {
    if (ui::Form* main = program_.main()) program_.Unload(*main);
    program_.End();
  };
  Label2.on_click = [this] { program_.host().Launch({"Open", kHelpAddress, "", this}); };
}

void Formpass::Check() {
  bool right = PasswordMatches(StoredPassword(program_), Textpass.text());
  program_.Unload(*this);
  if (right) {
    SetMainEnabled(program_, true);
  } else {
    program_.Show(Formpasscw::kName);
  }
}

Formpasssz::Formpasssz(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "密码设置", 4800, 3000),
      TxtOldPass(ui::Place<ui::TextBox>(*this, "TxtOldPass", {1920, 600, 2400, 330})),
      TxtNewPass(ui::Place<ui::TextBox>(*this, "TxtNewPass", {1920, 1080, 2400, 330})),
      TxtAgainNewPass(ui::Place<ui::TextBox>(*this, "TxtAgainNewPass", {1920, 1560, 2400, 330})),
      passqr(ui::Place<ui::CommandButton>(*this, "passqr", {1080, 2280, 1200, 375}, "确认")),
      Command2(ui::Place<ui::CommandButton>(*this, "Command2", {2520, 2280, 1200, 375}, "取消")) {
  topmost = true;
  ui::Place<ui::Label>(*this, "Label1", {360, 645, 1500, 300}, "旧密码：");
  ui::Place<ui::Label>(*this, "Label2", {360, 1125, 1500, 300}, "新密码：");
  ui::Place<ui::Label>(*this, "Label3", {360, 1605, 1500, 300}, "确认新密码：");
  for (ui::TextBox* box : {&TxtOldPass, &TxtNewPass, &TxtAgainNewPass}) box->password_char = '*';
  passqr.is_default = true;
  Command2.is_cancel = true;
  on_load = [this] {
    if (!StoredPassword(program_).empty()) SetNewBoxes(false, kMenuColor);
  };
  TxtOldPass.on_change = [this] { CompareOld(); };
  TxtOldPass.on_click = [this] { CompareOld(); };
  passqr.on_click = [this] { Confirm(); };
  Command2.on_click = [this] { program_.Unload(*this); };
}

void Formpasssz::SetNewBoxes(bool enabled, int system_color) {
  for (ui::TextBox* box : {&TxtNewPass, &TxtAgainNewPass}) {
    box->set_enabled(enabled);
    box->set_back_color(ui::Color::System(system_color));
  }
}

void Formpasssz::CompareOld() {
  // A missing value compares equal only to the empty text.
  if (PasswordMatches(StoredPassword(program_), TxtOldPass.text())) {
    SetNewBoxes(true, kWindowColor);
  } else {
    SetNewBoxes(false, kMenuColor);
  }
}

void Formpasssz::Confirm() {
  auto empty_boxes = [this] {
    TxtOldPass.set_text("");
    TxtNewPass.set_text("");
    TxtAgainNewPass.set_text("");
  };
  if (TxtNewPass.text() != TxtAgainNewPass.text()) {
    program_.Show(Formmacw::kName);
    empty_boxes();
    return;
  }
  // With a password stored, only someone who gave the old one may replace or clear
  // it (two empty new boxes used to clear any password).
  std::string stored = StoredPassword(program_);
  if (!stored.empty() && !PasswordMatches(stored, TxtOldPass.text())) {
    program_.Show(Formjmmcw::kName);
    empty_boxes();
    SetNewBoxes(false, kMenuColor);
    return;
  }
  store::Registry& reg = program_.machine().reg();
  std::string password = TxtNewPass.text();
  reg.CreateKey(store::RegRoot::kLocalMachine, kProgramKey);
  if (!password.empty()) {
    // Stored as a salted hash, never as typed.
    reg.SetValue(store::RegRoot::kLocalMachine, kProgramKey, "password", store::kRegSz,
                 store::Variant(HashPassword(password)));
  } else {
    reg.DeleteValue(store::RegRoot::kLocalMachine, kProgramKey, "password");
  }
  // Success is told, and logged, only for a password that is stored; what
  // could not be written is told once the action is over.
  if (!program_.machine().Commit()) {
    empty_boxes();
    SetNewBoxes(false, kScrollBarColor);
    return;
  }
  if (!password.empty()) {
    program_.Show(Formmacg::kName);
    program_.log().AppendLogEntry("设置Korvanta密码成功 ");
  } else {
    program_.Show(Formmaqk::kName);
    program_.log().AppendLogEntry("清空Korvanta密码成功 ");
  }
  empty_boxes();
  SetNewBoxes(false, kScrollBarColor);
}

Formpasscw::Formpasscw(services::Program& program)
    : services::MessageWindow(program, Warning(kName, "   密码错误，请确认你的输入是否正确！",
                                               ui::MessageIcon::kCritical)) {
  on_ok = [&program] { program.Show(Formpass::kName); };
}

Formmacw::Formmacw(services::Program& program)
    : services::MessageWindow(
          program, Warning(kName, "两次输入密码不相同请重新输入！", ui::MessageIcon::kCritical)) {}

Formmacg::Formmacg(services::Program& program)
    : services::MessageWindow(
          program, Warning(kName, "你已成功修改了密码！", ui::MessageIcon::kInformation)) {}

Formmaqk::Formmaqk(services::Program& program)
    : services::MessageWindow(
          program, Warning(kName, "你已成功清除密码！", ui::MessageIcon::kInformation)) {}

Formjmmcw::Formjmmcw(services::Program& program)
    : services::MessageWindow(
          program, Warning(kName, "旧密码不正确，请先输入旧密码！", ui::MessageIcon::kCritical)) {}

}  // namespace korvanta::password
