#include "panels/network_page.h"

#include <array>
#include <cctype>
#include <utility>

#include "services/theme.h"
#include "ui/declare.h"

namespace korvanta::panels {
namespace {

using services::CheckRow;
using services::RegValue;
using services::RowAction;
using ui::CheckBox;
using ui::Place;

constexpr auto kHKCU = store::RegRoot::kCurrentUser;
constexpr auto kHKLM = store::RegRoot::kLocalMachine;

constexpr const char* kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kFormPolicies =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
constexpr const char* kNetTrans = "SYSTEM\\CurrentControlSet\\Services\\Class\\NetTrans\\0000";
constexpr const char* kMstcp = "SYSTEM\\CurrentControlSet\\Services\\VXD\\MSTCP";
constexpr const char* kProgramKey = "SOFTWARE\\qrmtze";
constexpr const char* kBackupTaken = "pb";
constexpr const char* kSiteHint = "在此输入网址(不带\"http://\")";
constexpr std::int32_t kDefaultCache = 83173;

// What each connection type fills in: MTU, receive window, packet lifetime. The
// load selects the type by its receive window, so those are all different.
struct Preset {
  const char* option;
  const char* caption;
  const char* mtu;
  const char* window;
  const char* ttl;
};
constexpr std::array<Preset, 7> kPresets{{
    {"Optionzdy", "自定义或其他", "", "", ""},
    {"Optionppp", "PPPoE(用于ADSL虚拟拨号接入)", "1492", "255552", "64"},
    {"Optionjy", "局域网或宽带", "1500", "8192", "64"},
    {"Optionmod", "Cable Modem", "1500", "186880", "128"},
    {"Optiondsl", "XDSL(ADSL、HDSL等专线接入)", "1500", "256960", "128"},
    {"Optionisdn", "ISDN", "576", "32767", "64"},
    {"Optiontz", "调制解调器", "576", "65392", "32"},
}};

// The frame holds the heading, the three boxes under its three words and the options in two
// columns; the blocking row and the check boxes follow on the page itself.
constexpr int kFrameTop = 480, kFrameHeight = 2340;
constexpr int kOptionsTop = 1020, kOptionPitch = 330, kOptionWidth = 3660;
constexpr int kBlockTop = 2940;
constexpr int kChecksTop = 3420, kCheckPitch = 360;

ui::Rect CheckAt(int row, int width = 7560) {
  return {240, kChecksTop + row * kCheckPitch, width, 300};
}

// A REG_DWORD flag: 1 when ticked, ticked when it reads 1.
CheckRow Flag(services::Places at, std::string control, RegValue value, RowAction unticked) {
  return services::FlagRow(at, std::move(control), std::move(value), store::kRegDword,
                           store::Variant(1), unticked);
}

constexpr const char* kAskSite = "请输入要屏蔽的网站域名，如 www.example.com";
constexpr std::string_view kWideBlank = "\u3000";  // the blank of a Chinese input method

// Blanks typed or pasted around a name are no part of it.
std::string_view TrimBlanks(std::string_view text) {
  for (bool trimmed = true; trimmed;) {
    trimmed = false;
    for (std::string_view blank : {std::string_view(" "), std::string_view("\t"), kWideBlank}) {
      if (text.starts_with(blank)) text.remove_prefix(blank.size()), trimmed = true;
      if (text.ends_with(blank)) text.remove_suffix(blank.size()), trimmed = true;
    }
  }
  return text;
}

// The bytes of the UTF-8 character that starts at i.
std::size_t CharLength(std::string_view text, std::size_t i) {
  std::size_t n = 1;
  while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xc0) == 0x80) ++n;
  return n;
}

bool IsHostChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.';
}

// The line ending the file already uses; a file without any gets the system's.
std::string_view LineEnd(std::string_view text) {
  std::size_t lf = text.find('\n');
  if (lf == std::string_view::npos) return "\r\n";
  return lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Whether a line of hosts sends site to the loop-back address already.
bool Blocks(std::string_view hosts, std::string_view site) {
  std::size_t start = 0;
  while (start < hosts.size()) {
    std::size_t end = hosts.find('\n', start);
    if (end == std::string_view::npos) end = hosts.size();
    std::string_view line = hosts.substr(start, end - start);
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
      std::size_t j = i;
      while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
      if (j > i) words.push_back(line.substr(i, j - i));
      i = j;
    }
    if (words.size() > 1 && words[0] == "127.0.0.1") {
      for (std::size_t w = 1; w < words.size(); ++w) {
        if (EqualNoCase(words[w], site)) return true;
      }
    }
    start = end + 1;
  }
  return false;
}

}  // namespace

std::optional<std::string> SiteToBlock(std::string_view typed, std::string* problem) {
  auto refuse = [problem](std::string why) -> std::optional<std::string> {
    if (problem) *problem = std::move(why);
    return std::nullopt;
  };
  std::string_view site = TrimBlanks(typed);
  if (site == kSiteHint) return refuse(kAskSite);
  if (std::size_t scheme = site.find("://"); scheme != std::string_view::npos) {
    site.remove_prefix(scheme + 3);
  }
  site = site.substr(0, site.find_first_of("/?#"));
  if (site.empty()) return refuse(kAskSite);
  for (std::size_t i = 0; i < site.size(); i += CharLength(site, i)) {
    const std::string_view c = site.substr(i, CharLength(site, i));
    if (IsHostChar(c.front())) continue;
    if (c == " " || c == "\t" || c == kWideBlank) return refuse("网址中间不能有空格，请重新输入！");
    if (c == ":" && site.find_first_not_of("0123456789", i + 1) == std::string_view::npos) {
      return refuse("网址不能带端口号（如“:8080”），请去掉端口号后重新输入！");
    }
    const bool shown = static_cast<unsigned char>(c.front()) >= 0x20 && c.front() != 0x7f;
    return refuse("网址中有不允许的字符" + (shown ? "“" + std::string(c) + "”" : std::string()) +
                  "，网址只能由字母、数字、“-”和“.”组成！");
  }
  if (site.size() > 253) return refuse("网址太长，域名最多只能有253个字符！");
  if (site.front() == '.' || site.back() == '.' || site.find("..") != std::string_view::npos) {
    return refuse("网址格式不正确：不能以“.”开头或结尾，也不能有连续的“.”！");
  }
  return std::string(site);
}

NetworkPage::NetworkPage(services::Program& program, ui::PictureBox& page)
    : Frame11(Place<ui::Frame>(page, "Frame11", {120, kFrameTop, 7830, kFrameHeight},
                               "网络加速（选择相应上网方式）")),
      Textmut(Place<ui::TextBox>(Frame11, "Textmut", {240, 570, 1500, 330})),
      Textdyhc(Place<ui::TextBox>(Frame11, "Textdyhc", {2190, 570, 1500, 330})),
      Textfzsm(Place<ui::TextBox>(Frame11, "Textfzsm", {3990, 570, 1500, 330})),
      Textpb(Place<ui::TextBox>(page, "Textpb", {1920, kBlockTop + 15, 3960, 330}, kSiteHint)),
      Textcache(Place<ui::TextBox>(page, "Textcache",
                                   {4560, kChecksTop + 6 * kCheckPitch - 15, 1500, 330})),
      Checkpb(Place<CheckBox>(page, "Checkpb", {6060, kBlockTop + 45, 1560, 300}, "屏蔽网站")),
      Commandhfpb(Place<ui::CommandButton>(page, "Commandhfpb", {240, kBlockTop, 1560, 375},
                                           "恢复屏蔽网站", "恢复到第一次屏蔽前的状态")),
      Commandszwl(Place<ui::CommandButton>(page, "Commandszwl", services::theme::PageButton(1),
                                           "设置", "设置被选项")),
      program_(program),
      table_(program.machine().reg(), *page.form(), Rows()) {
  Place<ui::Label>(Frame11, "Label1", {240, 300, 7400, 270},
                   "最大传送单元大小             传输单元缓冲区             TCP/IP分组寿命");
  for (std::size_t i = 0; i < kPresets.size(); ++i) {
    const Preset& preset = kPresets[i];
    const int column = static_cast<int>(i % 2), row = static_cast<int>(i / 2);
    auto& option = Place<ui::OptionButton>(
        Frame11, preset.option,
        {240 + column * (kOptionWidth + 120), kOptionsTop + row * kOptionPitch, kOptionWidth, 300},
        preset.caption);
    option.on_click = [this, &preset] {
      Textmut.set_text(preset.mtu);
      Textdyhc.set_text(preset.window);
      Textfzsm.set_text(preset.ttl);
    };
    presets_.push_back(&option);
  }

  constexpr const char* kChecks[] = {"Checkzdbh",  "设置自动拨号功能",
                                     "Checkiezj",  "禁止IE组件自动安装",
                                     "Checkqdly",  "启用Win2000\\NT Server 的路由功能",
                                     "Checkbcmm",  "禁用IE属性中的自动完成保存密码",
                                     "Checkzdwc",  "禁用IE属性中的表单的自动完成功能",
                                     "Checkjcsd",  "禁止Windows2000系统检测网络的连接速度",
                                     "Checkcache", "设置浏览器Cache的大小(默认：83173)",
                                     "Checkjzbh",  "禁止拨号"};
  for (int i = 0; i < 8; ++i) {
    Place<CheckBox>(page, kChecks[2 * i], CheckAt(i, i == 6 ? 4200 : 7560), kChecks[2 * i + 1]);
  }

  // The box shows how to fill it until the user clicks into it.
  Textpb.on_click = [this] { Textpb.set_text(""); };
  Commandhfpb.on_click = [this] { RestoreHosts(); };
  Commandszwl.on_click = [this] { Apply(); };
}

// Loaded and applied in the same order.
std::vector<services::SettingRow> NetworkPage::Rows() {
  return {
      // Auto-dial and routing are switched off by 0; the policies by their absence.
      Flag({.load = 1, .apply = 1}, "Checkzdbh", {kHKCU, kInternetSettings, "NoNetAutodial"},
           RowAction::kWrite),
      Flag({.load = 2, .apply = 2}, "Checkjzbh",
           {kHKLM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network", "NoDialIn"},
           RowAction::kDeleteValue),
      Flag({.load = 3, .apply = 3}, "Checkiezj",
           {kHKLM, "SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Infodelivery\\Restrictions",
            "NoJITSetup"},
           RowAction::kDeleteValue),
      Flag({.load = 4, .apply = 4}, "Checkqdly",
           {kHKLM, "System\\CurrentControlSet\\Services\\Tcpip\\Parameters", "IPEnableRouter"},
           RowAction::kWrite),
      Flag({.load = 5, .apply = 5}, "Checkbcmm", {kHKCU, kFormPolicies, "FormSuggest Passwords"},
           RowAction::kDeleteValue),
      Flag({.load = 6, .apply = 6}, "Checkzdwc", {kHKCU, kFormPolicies, "FormSuggest"},
           RowAction::kDeleteValue),
      Flag({.load = 7, .apply = 7}, "Checkjcsd",
           {kHKLM, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
            "SlowLinkDetectEnabled"},
           RowAction::kDeleteValue),
      // The cache size: ticked, with the number, while it differs from the
      // browser's default; unticking puts the default back.
      CheckRow{.at = {.load = 8, .apply = 8},
               .control = "Checkcache",
               .text_box = "Textcache",
               .value = {kHKCU, std::string(kInternetSettings) + "\\Cache\\Content", "CacheLimit"},
               .type = store::kRegDword,
               .unticked = RowAction::kWrite,
               .unticked_data = store::Variant(kDefaultCache),
               .start = store::Variant(kDefaultCache),
               .match = store::Variant(kDefaultCache),
               .match_when_equal = false,
               .fill_text = CheckRow::Text::kOnMatch},
      // The site to block is typed anew each time: nothing of it loads.
      services::HookRow{.at = {.load = services::kNever, .apply = 9},
                        .name = "blocking",
                        .apply = [this] { BlockSite(); }},
      services::HookRow{.at = {.load = 10, .apply = 10},
                        .name = "connection",
                        .load = [this] { LoadConnection(); },
                        .apply = [this] { ApplyConnection(); }},
  };
}

void NetworkPage::Reload() {
  table_.Load();
}

void NetworkPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kNetwork) table_.Load();
}

void NetworkPage::Apply() {
  // Connection texts the code page cannot hold would be stored as '?': the user
  // is told which characters, and the apply writes nothing.
  if (!Textmut.text().empty() && !Textdyhc.text().empty() && !Textfzsm.text().empty()) {
    std::string unstorable =
        program_.machine().UnstorableMessage({Textmut.text(), Textdyhc.text(), Textfzsm.text()});
    if (!unstorable.empty()) {
      program_.dialogs().MessageBox(program_.main(), "警告", unstorable,
                                    ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
      return;
    }
  }
  services::ApplySettingsPage(program_, "网络系统设置成功  ", table_);
}

// The stored receive window picks the connection type; the type, not the
// stored MTU and lifetime, fills the three boxes.
void NetworkPage::LoadConnection() {
  store::Variant window;
  program_.machine().reg().QueryValue(kHKLM, kMstcp, "DefaultRcvWindow", window);
  std::size_t chosen = 0;  // custom or other
  for (std::size_t i = 1; i < kPresets.size(); ++i) {
    if (window == kPresets[i].window) chosen = i;
  }
  presets_[chosen]->set_selected(true);
  Textmut.set_text(kPresets[chosen].mtu);
  Textdyhc.set_text(kPresets[chosen].window);
  Textfzsm.set_text(kPresets[chosen].ttl);
}

// Written as typed, and only as a whole: a type with an empty box is left alone.
void NetworkPage::ApplyConnection() {
  if (Textmut.text().empty() || Textdyhc.text().empty() || Textfzsm.text().empty()) return;
  store::Registry& reg = program_.machine().reg();
  reg.SetValue(kHKLM, kNetTrans, "MaxMTU", store::kRegSz, store::Variant(Textmut.text()));
  reg.SetValue(kHKLM, kNetTrans, "IPMTU", store::kRegSz, store::Variant(Textmut.text()));
  reg.SetValue(kHKLM, kMstcp, "DefaultRcvWindow", store::kRegSz, store::Variant(Textdyhc.text()));
  reg.SetValue(kHKLM, kMstcp, "DefaultTTl", store::kRegSz, store::Variant(Textfzsm.text()));
}

void NetworkPage::BlockSite() {
  if (!Checkpb.ticked()) return;
  // What lands in a system file must be a host name: anything else would add
  // lines the resolver misreads, so nothing is written and the user is told.
  std::string problem;
  std::optional<std::string> site = SiteToBlock(Textpb.text(), &problem);
  if (!site) {
    program_.dialogs().MessageBox(program_.main(), "警告", problem, ui::MessageIcon::kExclamation,
                                  ui::MessageButtons::kOk);
    return;
  }
  store::Machine& machine = program_.machine();
  store::FileSystem& files = machine.files();
  store::SystemPaths& paths = machine.paths();
  const std::string windows = paths.WinDir();
  const std::string program = paths.ProgramFolder();
  const std::string sample = windows + "hosts.sam";
  const std::string nt_hosts = windows + "system32\\drivers\\etc\\hosts";
  const std::string working = program + "\\hosts.txt";
  const std::string backup = program + "\\hostsbak\\hosts.txt";

  // The NT hosts file wins over the 9x sample where both exist.
  std::string hosts;
  for (const std::string& source : {sample, nt_hosts}) {
    std::string bytes;
    if (files.ReadFile(source, bytes) == store::kSuccess) hosts = std::move(bytes);
  }
  if (Blocks(hosts, *site)) return;

  // The hosts files and the flag that says their backup is taken change
  // together: hosts rewritten without the flag would have the next blocking
  // back up a hosts file that already blocks, and the original would be gone.
  if (!machine.WriteRefusal().empty()) {
    for (const std::string& file : HostsFiles()) machine.RecordWriteFailure(file);
    return;
  }
  store::Registry& reg = machine.reg();
  store::Variant taken;
  reg.QueryValue(kHKLM, kProgramKey, kBackupTaken, taken);
  files.CreateDirectory(program + "\\hostsbak");
  // The backup is the hosts file from before the first blocking, and only that:
  // one already there is never replaced.
  if (!(taken == 1) && !files.Stat(backup)) {
    for (const std::string& source : {sample, nt_hosts}) {
      files.CopyFile(source, backup, true);
    }
    // Without its backup the original could not be restored: the files stay.
    if (!hosts.empty() && !files.Stat(backup)) {
      machine.RecordWriteFailure(backup);
      return;
    }
  }
  // A last line without its break gains the blank line's space and the entry
  // still starts on a line of its own; the file keeps its own line endings.
  const std::string_view eol = LineEnd(hosts);
  hosts += " ";
  hosts += eol;
  hosts += "127.0.0.1 " + machine.codepage().ToAnsi(*site);
  hosts += eol;
  if (files.WriteFile(working, hosts) == store::kSuccess) WriteHostsFiles(hosts);
  files.DeleteFile(working, true);
  reg.SetValue(kHKLM, kProgramKey, kBackupTaken, store::kRegDword, store::Variant(1));
}

void NetworkPage::RestoreHosts() {
  std::string bytes;
  const std::string backup = program_.machine().paths().ProgramFolder() + "\\hostsbak\\hosts.txt";
  if (program_.machine().files().ReadFile(backup, bytes) != store::kSuccess) return;
  WriteHostsFiles(bytes);
}

std::vector<std::string> NetworkPage::HostsFiles() {
  store::FileSystem& files = program_.machine().files();
  const std::string windows = program_.machine().paths().WinDir();
  std::vector<std::string> found;
  for (const char* name : {"hosts.sam", "hosts", "system32\\drivers\\etc\\hosts"}) {
    std::string file = windows + name;
    std::string folder = file.substr(0, file.rfind('\\'));
    if (std::optional<store::FileEntry> entry = files.Stat(folder);
        entry && entry->is_directory()) {
      found.push_back(std::move(file));
    }
  }
  return found;
}

// Each file is replaced whole through a file beside it, so a machine is never
// left with half a hosts file. A read-only one is left as it is, as Windows
// leaves it.
void NetworkPage::WriteHostsFiles(std::string_view bytes) {
  store::Machine& machine = program_.machine();
  for (const std::string& file : HostsFiles()) {
    std::optional<store::FileEntry> entry = machine.files().Stat(file);
    const bool read_only = entry && (entry->attributes & store::kAttrReadOnly) != 0;
    if (read_only || machine.files().WriteFile(file, bytes) != store::kSuccess) {
      machine.RecordWriteFailure(file);
    }
  }
}

}  // namespace korvanta::panels
