#include "tools/desktop_icons.h"

#include "ui/declare.h"

namespace korvanta::tools {
namespace {

constexpr store::RegRoot kHKCR = store::RegRoot::kClassesRoot;

struct ObjectClass {
  std::string_view key;
  std::string_view icon_value;  // the DefaultIcon value that holds the location
  std::string_view fallback;
};

// The rows of the list: the two Recycle Bin rows share one class key.
constexpr std::array<ObjectClass, Formggtb::kObjects> kClasses = {{
    {"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "", "explorer.exe, 0"},
    {"CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}", "empty", "shell32.dll,31"},
    {"CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}", "full", "shell32.dll,32"},
    {"CLSID\\{2227A280-3AEA-1069-A2DE-08002B30309D}", "", "shell32.dll,-138"},
    {"CLSID\\{1A9BA3A0-143A-11CF-8350-444553540000}", "", "shell32.dll,-173"},
    {"CLSID\\{FF393560-C2A7-11CF-BFF4-444553540000}", "", "SHDOCVW.DLL,-20785"},
    {"CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}", "", "shell32.dll,17"},
    {"CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}", "", "shell32.dll,-137"},
    {"CLSID\\{992CFFA0-F557-101A-88EC-00DD010CCC48}", "", "rnaui.dll,0"},
}};
constexpr int kRecycleEmpty = 1, kRecycleFull = 2;

std::string IconKey(int row) {
  return std::string(kClasses[static_cast<std::size_t>(row)].key) + "\\DefaultIcon";
}

// The list entry of a row, from the name read.
std::string EntryText(int row, const std::string& name) {
  switch (row) {
    case 0:
      return name.empty() ? "我的电脑" : name;
    case kRecycleEmpty:
      return (name.empty() ? "回收站" : name) + "(空)";
    case kRecycleFull:
      return (name.empty() ? "回收站" : name) + "(满)";
    case 4:
      return name == "Shell Favorite Folder" ? "收藏夹" : name;
    default:
      return name;
  }
}

}  // namespace

IconLocation SplitIconLocation(std::string_view location) {
  IconLocation out;
  std::size_t comma = location.find(',');
  out.file = std::string(location.substr(0, comma));
  if (comma == std::string_view::npos) return out;
  out.has_comma = true;
  std::string_view rest = location.substr(comma + 1);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  long long value = 0;
  for (char c : rest) {
    if (c < '0' || c > '9' || value > 0x7fffffff) break;
    value = value * 10 + (c - '0');
  }
  if (value > 0x7fffffff) value = 0x7fffffff;
  out.index = static_cast<int>(negative ? -value : value);
  return out;
}

Formggtb::Formggtb(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "更改图标", 6120, 3600),
      List3(ui::Place<ui::ListBox>(*this, "List3", {180, 480, 2880, 2880})),
      Picture2(ui::Place<ui::PictureBox>(*this, "Picture2", {3240, 480, 720, 720})),
      Text2(ui::Place<ui::TextBox>(*this, "Text2", {3240, 1380, 2700, 330})),
      Check1(ui::Place<ui::CheckBox>(
          *this, "Check1", {3240, 2460, 2700, 300}, "透明桌面图标",
          "将桌面图标背景设为透明色(请勿刷新桌面，刷新桌面后请在次执行此功能！)")),
      Check2(ui::Place<ui::CheckBox>(
          *this, "Check2", {3240, 2880, 2700, 300}, "横向排列图标",
          "将桌面图标横向排列(请将自动排列图标设为假否则此操作为无效操作！)")),
      Commandgm(ui::Place<ui::CommandButton>(*this, "Commandgm", {3240, 1860, 1260, 375}, "改名")),
      Commandtb(
          ui::Place<ui::CommandButton>(*this, "Commandtb", {4680, 1860, 1260, 375}, "更改图标")) {
  ui::Appearance picture;
  picture.border = true;
  Picture2.set_appearance(picture);
  on_load = [this] { Load(); };
  List3.on_click = [this] { Select(); };
  Commandgm.on_click = [this] { Rename(); };
  Commandtb.on_click = [this] { ChangeIcon(); };
  Check1.on_click = [this] {
    if (Check1.ticked()) {
      SetIconText(0xFFFFFF, 0, true);
      program_.log().AppendLogEntry("透明桌面图标设置成功 ");
    } else {
      RestoreColor();
    }
  };
  Check2.on_click = [this] {
    if (!Check2.ticked()) return;
    ArrangeDesktopIcon(100, 100);
    program_.log().AppendLogEntry("横向排列图标成功 ");
  };
}

void Formggtb::Load() {
  store::Registry& reg = program_.machine().reg();
  for (int row = 0; row < kObjects; ++row) {
    const ObjectClass& object = kClasses[static_cast<std::size_t>(row)];
    Object& entry = objects_[static_cast<std::size_t>(row)];
    store::Variant name, location;
    reg.QueryValue(kHKCR, object.key, "", name);
    entry.name = name.ToText();
    List3.AddItem(EntryText(row, entry.name));
    reg.QueryValue(kHKCR, IconKey(row), object.icon_value, location);
    entry.icon = location.ToText();
    entry.fallback = std::string(object.fallback);
  }
}

IconLocation Formggtb::ShownIcon(int row) {
  const Object& object = objects_[static_cast<std::size_t>(row)];
  IconLocation own = SplitIconLocation(object.icon);
  if (own.has_comma && program_.machine().icons().HasIcon(own.file, own.index)) return own;
  return SplitIconLocation(object.fallback);
}

void Formggtb::Select() {
  const int row = List3.list_index();
  if (row < 0 || row >= kObjects) return;
  IconLocation shown = ShownIcon(row);
  Picture2.set_picture({ui::Picture::Type::kIcon, shown.file, shown.index});
  Text2.set_text(objects_[static_cast<std::size_t>(row)].name);
}

void Formggtb::Rename() {
  int row = List3.list_index();
  if (row < 0 || row >= kObjects) return;  // no object chosen yet
  // One Recycle Bin with two icons: its name is stored once, from the first row.
  if (row == kRecycleFull) row = kRecycleEmpty;
  objects_[static_cast<std::size_t>(row)].name = Text2.text();
  if (row == kRecycleEmpty) objects_[kRecycleFull].name = Text2.text();
  // Only the name that was changed is written: the others may not have been
  // readable, and writing them back would store empty names.
  program_.machine().reg().SetValue(kHKCR, kClasses[static_cast<std::size_t>(row)].key, "",
                                    store::kRegSz, store::Variant(Text2.text()));
}

void Formggtb::ChangeIcon() {
  const int row = List3.list_index();
  if (row < 0 || row >= kObjects) return;  // no object chosen yet
  IconLocation start = ShownIcon(row);
  ui::IconPick pick = program_.dialogs().PickIcon(this, ui::IconChoice{start.file, start.index});
  if (pick.unavailable) {
    // Nothing was chosen, so nothing changes and nothing is logged; the user
    // would otherwise wait for a picker that never comes.
    program_.dialogs().MessageBox(this, "警告", "无法打开图标选择窗口，图标没有更改。",
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
    return;
  }
  if (!pick.choice) return;  // cancelled: every location stays as it is
  const ui::IconChoice& chosen = *pick.choice;
  std::string path = store::StripNull(chosen.file);
  if (!program_.machine().icons().HasIcon(path, chosen.index)) return;
  program_.log().AppendLogEntry("更改图标成功 ");
  Object& object = objects_[static_cast<std::size_t>(row)];
  object.icon = path + "," + std::to_string(chosen.index);
  Picture2.set_picture({ui::Picture::Type::kIcon, path, chosen.index});
  program_.machine().reg().SetValue(kHKCR, IconKey(row),
                                    kClasses[static_cast<std::size_t>(row)].icon_value,
                                    store::kRegSz, store::Variant(object.icon));
}

void Formggtb::RestoreColor() {
  program_.machine().icons().RestoreDesktopColor();
}

void Formggtb::SetIconText(std::uint32_t text_color, std::uint32_t back_color, bool transparent) {
  store::ShellIcons& desktop = program_.machine().icons();
  desktop.SetDesktopTextColors(text_color, back_color, transparent);
  desktop.RedrawDesktop();
}

void Formggtb::ArrangeDesktopIcon(int step_x, int step_y) {
  store::ShellIcons& desktop = program_.machine().icons();
  const int count = desktop.DesktopItemCount();
  const int right = desktop.ScreenWidth() - 32;
  int x = 20, y = 20;
  for (int item = 0; item < count; ++item) {
    desktop.SetDesktopItemPosition(item, x, y);
    x += step_x;
    if (x > right) {
      x = 20;
      y += step_y;
    }
  }
  desktop.RedrawDesktop();
}

}  // namespace korvanta::tools
