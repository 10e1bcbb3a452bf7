#include "tools/oem_information.h"

#include <cctype>
#include <vector>

#include "ui/declare.h"

namespace korvanta::tools {
namespace {

constexpr const char* kGeneral = "general";
constexpr const char* kSupport = "Support Information";
constexpr std::uint32_t kCapacity = 1000;

// The number of a "lineN" key; nothing for any other key.
std::optional<int> LineNumber(std::string_view key) {
  if (key.size() < 5) return std::nullopt;
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(key[i])) != "line"[i]) return std::nullopt;
  }
  int n = 0;
  for (char c : key.substr(4)) {
    if (c < '0' || c > '9' || n > 100000) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

Formoem::Formoem(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "OEM设置", 6600, 5700),
      Picture1(ui::Place<ui::PictureBox>(*this, "Picture1", {180, 480, 3000, 1800})),
      Label1(
          ui::Place<ui::Label>(*this, "Label1", {180, 2340, 3000, 255}, "图片规格：200×120像素")),
      Label2(ui::Place<ui::Label>(*this, "Label2", {180, 2760, 1500, 255}, "OEM公司名称：")),
      Text1(ui::Place<ui::TextBox>(*this, "Text1", {1680, 2700, 4740, 330})),
      Label3(ui::Place<ui::Label>(*this, "Label3", {180, 3180, 1500, 255}, "OEM计算机名：")),
      Text2(ui::Place<ui::TextBox>(*this, "Text2", {1680, 3120, 4740, 330})),
      Label4(ui::Place<ui::Label>(*this, "Label4", {180, 3600, 1500, 255}, "OEM支持信息：")),
      Text3(ui::Place<ui::TextBox>(*this, "Text3", {1680, 3540, 4740, 1380})),
      Commandxztp(
          ui::Place<ui::CommandButton>(*this, "Commandxztp", {3660, 600, 1440, 375}, "选择图片")),
      Commandsctp(
          ui::Place<ui::CommandButton>(*this, "Commandsctp", {3660, 1110, 1440, 375}, "删除图片")),
      Commandsc(
          ui::Place<ui::CommandButton>(*this, "Commandsc", {3660, 1620, 1440, 375}, "全部删除")),
      Commandqd(ui::Place<ui::CommandButton>(*this, "Commandqd", {4980, 5100, 1440, 375}, "确定")) {
  Text3.multi_line = true;
  ui::Appearance picture;
  picture.border = true;
  Picture1.set_appearance(picture);
  for (ui::Label* label : {&Label1, &Label2, &Label3, &Label4}) {
    ui::Appearance text;
    text.transparent = true;
    label->set_appearance(text);
  }
  on_load = [this] { Load(); };
  Commandxztp.on_click = [this] {
    if (auto chosen = program_.dialogs().OpenFile(this, "打开图片", "bmp文件|*.bmp")) {
      chosen_picture_ = *chosen;
      Picture1.set_picture({ui::Picture::Type::kFile, *chosen, 0});
    }
  };
  Commandqd.on_click = [this] { Save(); };
  Commandsctp.on_click = [this] {
    program_.log().AppendLogEntry("删除OEM图片成功  ");
    program_.machine().files().DeleteFile(LogoFile(), false);
    Picture1.Clear();
  };
  Commandsc.on_click = [this] {
    program_.log().AppendLogEntry("删除OEM信息成功  ");
    program_.machine().files().DeleteFile(LogoFile(), false);
    program_.machine().files().DeleteFile(InfoFile(), false);
    Text1.set_text("");
    Text2.set_text("");
    Text3.set_text("");
    Picture1.Clear();
  };
}

std::string Formoem::InfoFile() {
  return program_.machine().paths().SysDir() + "oeminfo.ini";
}

std::string Formoem::LogoFile() {
  return program_.machine().paths().SysDir() + "oemlogo.bmp";
}

void Formoem::ShowLogo(const std::string& path) {
  if (program_.machine().files().Stat(path)) {
    Picture1.set_picture({ui::Picture::Type::kFile, path, 0});
  } else {
    Picture1.Clear();
  }
}

void Formoem::Load() {
  store::SettingsStore& ini = program_.machine().ini();
  const std::string file = InfoFile();
  Text3.set_text("");
  ShowLogo(LogoFile());
  Text1.set_text(ini.INIReadKey(kGeneral, "Manufacturer", file, kCapacity));
  Text2.set_text(ini.INIReadKey(kGeneral, "Model", file, kCapacity));
  // The support text ends with one empty line after the last line stored.
  std::string support;
  for (int n = 1;; ++n) {
    std::string line = ini.INIReadKey(kSupport, "line" + std::to_string(n), file, kCapacity);
    support += line + "\r\n";
    if (line.empty()) break;
  }
  Text3.set_text(support);
}

void Formoem::Save() {
  store::Machine& machine = program_.machine();
  const std::string file = InfoFile();
  // A maker name the code page cannot hold would be stored as '?': the user is
  // told which characters, and nothing is saved.
  std::string unstorable = machine.UnstorableMessage({Text1.text(), Text2.text(), Text3.text()});
  if (!unstorable.empty()) {
    program_.dialogs().MessageBox(this, "警告", unstorable, ui::MessageIcon::kExclamation,
                                  ui::MessageButtons::kOk);
    return;
  }
  program_.log().AppendLogEntry("OEM信息设置成功  ");
  if (chosen_picture_) machine.files().CopyFile(*chosen_picture_, LogoFile(), true);
  machine.ini().INIWriteKey(kGeneral, "Manufacturer", Text1.text(), file);
  machine.ini().INIWriteKey(kGeneral, "Model", Text2.text(), file);
  std::string_view rest = Text3.text();
  int n = 1;
  for (std::size_t at; (at = rest.find("\r\n")) != std::string_view::npos; ++n) {
    machine.ini().INIWriteKey(kSupport, "line" + std::to_string(n), rest.substr(0, at), file);
    rest.remove_prefix(at + 2);
  }
  machine.ini().INIWriteKey(kSupport, "line" + std::to_string(n), rest, file);
  RemoveLinesAfter(n);
}

void Formoem::RemoveLinesAfter(int last) {
  store::Machine& machine = program_.machine();
  const std::string section = machine.codepage().ToAnsi(kSupport);
  const std::string file = machine.codepage().ToAnsi(InfoFile());
  // The key list: names each ended by a zero, the list by a second one.
  std::vector<char> buffer(65536);
  std::uint32_t count = machine.backend().profiles().GetPrivateProfileString(
      section.c_str(), nullptr, "", buffer, file.c_str());
  std::vector<std::string> stale;
  for (std::size_t i = 0; i < count && buffer[i] != '\0';) {
    std::string key(buffer.data() + i);
    i += key.size() + 1;
    std::optional<int> n = LineNumber(key);
    if (n && *n > last) stale.push_back(machine.codepage().FromAnsi(key));
  }
  for (const std::string& key : stale) machine.ini().INIDeleteKey(kSupport, key, InfoFile());
}

}  // namespace korvanta::tools
