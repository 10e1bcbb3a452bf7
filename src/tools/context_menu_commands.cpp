#include "tools/context_menu_commands.h"

#include "ui/declare.h"

namespace korvanta::tools {
namespace {

constexpr store::RegRoot kHKLM = store::RegRoot::kLocalMachine;
constexpr store::RegRoot kHKCR = store::RegRoot::kClassesRoot;

std::string FolderVerb(int number) {
  return "SOFTWARE\\CLASSES\\Directory\\shell\\" + std::to_string(number);
}

std::string FileVerb(int number) {
  return "*\\shell\\" + std::to_string(number);
}

std::string LogText(std::string_view what, const std::string& name, const std::string& command) {
  return std::string(what) + "'" + name + " ——> " + command + "'" + " 成功 ";
}

services::MessageWindow::Spec EmptyFieldSpec() {
  services::MessageWindow::Spec spec;
  spec.name = std::string(Formqjcw::kName);
  spec.title = "消息";
  spec.text = " 右键名称和执行文件不能为空！";
  spec.icon = ui::MessageIcon::kCritical;
  return spec;
}

}  // namespace

Formqjcw::Formqjcw(services::Program& program)
    : services::MessageWindow(program, EmptyFieldSpec()) {}

Formyjgn::Formyjgn(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "自定义右键", 6600, 5280),
      Label1(ui::Place<ui::Label>(*this, "Label1", {180, 480, 2400, 255}, "已定义的右键：")),
      ListView1(ui::Place<ui::ListView>(*this, "ListView1", {180, 780, 6240, 2400})),
      Label2(ui::Place<ui::Label>(*this, "Label2", {180, 3420, 1200, 255}, "右键名称：")),
      Textname(ui::Place<ui::TextBox>(*this, "Textname", {1380, 3360, 5040, 330})),
      Label3(ui::Place<ui::Label>(*this, "Label3", {180, 3900, 1200, 255}, "执行文件：")),
      Textfile(ui::Place<ui::TextBox>(*this, "Textfile", {1380, 3840, 4500, 330})),
      Commandfile(ui::Place<ui::CommandButton>(*this, "Commandfile", {5940, 3840, 480, 330}, "…",
                                               "浏览文件")),
      Commandtj(ui::Place<ui::CommandButton>(*this, "Commandtj", {2340, 4620, 1200, 375}, "添加")),
      Commandsc(ui::Place<ui::CommandButton>(*this, "Commandsc", {3780, 4620, 1200, 375}, "删除")),
      Commandend(
          ui::Place<ui::CommandButton>(*this, "Commandend", {5220, 4620, 1200, 375}, "退出")) {
  ListView1.check_boxes = false;
  for (ui::Label* label : {&Label1, &Label2, &Label3}) {
    ui::Appearance text;
    text.transparent = true;
    label->set_appearance(text);
  }
  on_load = [this] { Load(); };
  ListView1.on_item_click = [this](int row) {
    Textname.set_text(ListView1.cell(row, 0));
    Textfile.set_text(ListView1.cell(row, 1));
  };
  Commandfile.on_click = [this] {
    if (auto chosen = program_.dialogs().OpenFile(this, "打开文件", "所有文件[*.*]|*.*")) {
      Textfile.set_text(*chosen);
    }
  };
  Commandtj.on_click = [this] { Add(); };
  Commandsc.on_click = [this] { Delete(); };
  Commandend.on_click = [this] { program_.Unload(*this); };
}

std::string Formyjgn::Entry(int number, bool command) {
  store::Variant value;
  std::string key = FolderVerb(number);
  if (command) key += "\\command";
  program_.machine().reg().QueryValue(kHKLM, key, "", value);
  return value.ToText();
}

void Formyjgn::Load() {
  const int half = ListView1.rect().width / 2;
  ListView1.AddColumn("右键名称", half);
  ListView1.AddColumn("执行命令", half);
  // Numbers may have gaps (a deleted entry): every number up to the bound is looked at.
  for (int i = 1; i <= kLastEntry; ++i) {
    std::string name = Entry(i, false);
    if (!name.empty()) ListView1.AddRow({name, Entry(i, true)});
  }
}

void Formyjgn::Add() {
  const std::string name = Textname.text(), command = Textfile.text();
  if (name.empty() || command.empty()) {
    program_.Show(Formqjcw::kName);
    return;
  }
  // The first number without a command; one with only a menu text is reused.
  int free = 0;
  for (int i = 1; i <= kLastEntry && free == 0; ++i) {
    if (Entry(i, true).empty()) free = i;
  }
  if (free == 0) return;
  program_.log().AppendLogEntry(LogText("设置自定义右键 ", name, command));
  store::Registry& reg = program_.machine().reg();
  reg.SetValue(kHKLM, FolderVerb(free), "", store::kRegSz, store::Variant(name));
  reg.SetValue(kHKLM, FolderVerb(free) + "\\command", "", store::kRegSz, store::Variant(command));
  reg.SetValue(kHKCR, FileVerb(free), "", store::kRegSz, store::Variant(name));
  reg.SetValue(kHKCR, FileVerb(free) + "\\command", "", store::kRegSz, store::Variant(command));
  ListView1.AddRow({name, command});
  Textname.set_text("");
  Textfile.set_text("");
}

void Formyjgn::Delete() {
  const std::string name = Textname.text(), command = Textfile.text();
  int found = 0;
  for (int i = 1; i <= kLastEntry && found == 0; ++i) {
    if (!name.empty() && Entry(i, false) == name) found = i;
  }
  if (found == 0) return;  // nothing stored under that text: nothing to delete
  program_.log().AppendLogEntry(LogText("删除自定义右键 ", name, command));
  store::Registry& reg = program_.machine().reg();
  // Each subkey before its parent: a key with subkeys is not removed.
  reg.DeleteKey(kHKLM, FolderVerb(found) + "\\command");
  reg.DeleteKey(kHKCR, FileVerb(found) + "\\command");
  reg.DeleteKey(kHKLM, FolderVerb(found));
  reg.DeleteKey(kHKCR, FileVerb(found));
  for (int row = 0; row < ListView1.count(); ++row) {
    if (ListView1.cell(row, 0) == name) {
      ListView1.RemoveRow(row);
      break;
    }
  }
  Textname.set_text("");
  Textfile.set_text("");
}

}  // namespace korvanta::tools
