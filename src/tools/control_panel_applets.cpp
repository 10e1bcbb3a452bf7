#include "tools/control_panel_applets.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "ui/declare.h"

namespace korvanta::tools {
namespace {

struct KnownApplet {
  std::string_view file, name, description;
};

constexpr std::array<KnownApplet, 29> kKnownApplets = {{
    {"desk.cpl", "显示", "更改显示设置。"},
    {"inetcpl.cpl", "Internet 选项", "配置 Internet 显示和连接设置。"},
    {"intl.cpl", "区域设置", "修改数字、货币、日期与时间的现实方式。"},
    {"mmsys.cpl", "声音及多媒体", "为事件分配声音并配置声音设备。"},
    {"modem.cpl", "调制解调器", "安装新调制解调器并更改调制解调器的属性。"},
    {"netcpl.cpl", "网络", "配置网络硬件与软件。"},
    {"odbccp32.cpl", "ODBC 数据源(32位)", "维护 32位 ODBC 数据源和驱动程序。"},
    {"password.cpl", "密码", "更改密码，设置安全性选项。"},
    {"powercfg.cpl", "电源管理", "配置计算机的节能设置。"},
    {"joy.cpl", "游戏选项", "添加、删除或更改游戏控制器的设置。"},
    {"appwiz.cpl", "添加/删除程序", "安装并删除程序及 Windows 组件。"},
    {"main.cpl", "鼠标", "更改鼠标设置。"},
    {"sticpl.cpl", "扫描仪与数字相机", "配置已安装的扫描仪与数字相机。"},
    {"sysdm.cpl", "系统", "提供系统信息并更改高级设置。"},
    {"telephon.cpl", "电话", "配置电话驱动程序与拨号属性。"},
    {"timedate.cpl", "日期/时间", "更改时间、日期及时区信息。"},
    {"findfast.cpl", "文件检索", "Microsoft Find Fast (tm) 内容索引器。"},
    {"wuaucpl.cpl", "自动更新", "更改有关自动更新计算机的设置。"},
    {"ncpa.cpl", "网络连接", "配置网络软件"},
    {"nwc.cpl", "CSNW(&W)", "NetWare 客户服务"},
    {"bthprops.cpl", "Bluetooth Control Panel", "Bluetooth Control Panel Applet"},
    {"firewall.cpl", "Windows防火墙", "配置Windows防火墙"},
    {"hdwwiz.cpl", "添加硬件", "安装并诊断硬件"},
    {"irprops.cpl", "无线链接", "配置红外文件传递，图片传递和硬件设置。"},
    {"netsetup.cpl", "无线网络安装向导", "为家庭或办公室设置或添加无线网络"},
    {"nusrmgr.cpl", "用户帐户", "更改共享此计算机的用户的用户帐户设置和密码"},
    {"wscui.cpl", "安全中心", "查看当前安全状态并访问重要设置以帮助保护计算机"},
    {"nvtuicpl.cpl", "NVIDIA nView Desktop Manager", "配置NVIDIA nView Desktop Manager 设置。"},
    {"access.cpl", "辅助功能选项", "为视觉、听力和行动能力而调整计算机设置。"},
}};

constexpr const char* kDontLoad = "don't load";

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A copy is good when it exists with the size of its original.
bool SameSize(store::FileSystem& files, const std::string& from, const std::string& to) {
  std::optional<store::FileEntry> source = files.Stat(from), copy = files.Stat(to);
  return source && copy && source->size == copy->size;
}

}  // namespace

AppletInfo DescribeApplet(std::string_view file) {
  const std::string lower = Lower(file);
  for (const KnownApplet& known : kKnownApplets) {
    if (lower == known.file) return {std::string(known.name), std::string(known.description)};
  }
  // The file name without its extension (".cpl").
  std::string name(file.substr(0, file.size() >= 4 ? file.size() - 4 : 0));
  return {name, "不明项目说明。"};
}

Formkzmb::Formkzmb(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "控制面板设置", 8400, 5400),
      Textzx(ui::Place<ui::TextBox>(*this, "Textzx", {180, 4800, 1860, 330}, "Text1")),
      Commandzx(ui::Place<ui::CommandButton>(*this, "Commandzx", {2160, 4770, 1080, 375}, "执行",
                                             "执行所选项")),
      Commandtckz(ui::Place<ui::CommandButton>(*this, "Commandtckz", {7140, 4770, 1080, 375},
                                               "退出", "退出")),
      Commandhf(ui::Place<ui::CommandButton>(*this, "Commandhf", {5940, 4770, 1080, 375}, "恢复",
                                             "恢复所有被删除的控制面板项")),
      Commandsc(ui::Place<ui::CommandButton>(*this, "Commandsc", {4740, 4770, 1080, 375}, "删除",
                                             "删除所选的控制面板项")),
      Commandyc(ui::Place<ui::CommandButton>(*this, "Commandyc", {3420, 4770, 1200, 375},
                                             "隐藏\\显示", "隐藏所选的控制面板项")),
      ListView1(ui::Place<ui::ListView>(*this, "ListView1", {180, 480, 8040, 4140})) {
  ListView1.check_boxes = true;
  on_load = [this] {
    const int width = ListView1.rect().width;
    ListView1.AddColumn("项目文件", width / 4);
    ListView1.AddColumn("项目名称", width / 4);
    ListView1.AddColumn("项目说明", width / 2);
    Fill();
  };
  ListView1.on_item_click = [this](int row) {
    Textzx.set_text(ListView1.cell(row, 0));
    armed_ = true;
  };
  Textzx.on_change = [this] { armed_ = true; };
  Commandzx.on_click = [this] { Run(); };
  Commandyc.on_click = [this] { HideShow(); };
  Commandsc.on_click = [this] { Delete(); };
  Commandhf.on_click = [this] { Restore(); };
  Commandtckz.on_click = [this] { program_.Unload(*this); };
}

std::string Formkzmb::ControlIni() {
  return program_.machine().paths().WinDir() + "control.ini";
}

std::string Formkzmb::BackupFolder() {
  return program_.machine().paths().ProgramFolder() + "\\controlbak";
}

void Formkzmb::Fill() {
  store::Machine& machine = program_.machine();
  ListView1.Clear();
  std::vector<store::FileEntry> applets;
  machine.files().List(machine.paths().SysDir() + "*.cpl", applets);
  // In name order without regard to case, as an NTFS folder lists them: a machine
  // folder's listing order is whatever the host's file system gives.
  std::stable_sort(applets.begin(), applets.end(),
                   [](const store::FileEntry& a, const store::FileEntry& b) {
                     return Lower(a.name) < Lower(b.name);
                   });
  const std::string ini = ControlIni();
  for (const store::FileEntry& applet : applets) {
    if (applet.is_directory()) continue;
    AppletInfo info = DescribeApplet(applet.name);
    // Ticked: hidden, as control.ini says.
    const bool hidden = !machine.ini().INIReadKey(kDontLoad, applet.name, ini, 255).empty();
    ListView1.AddRow({applet.name, info.name, info.description}, hidden);
  }
}

void Formkzmb::Run() {
  const std::string applet = Textzx.text();
  if (!armed_ || applet.empty()) return;  // no applet named yet
  armed_ = false;
  Textzx.set_text("");
  if (!program_.machine().shell().StartsPrograms()) {
    program_.dialogs().MessageBox(this, "消息",
                                  "这台计算机上没有安装 Wine，无法运行控制面板项：" + applet,
                                  ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
    return;
  }
  program_.host().Launch({"open", program_.machine().paths().SysDir() + "rundll32.exe",
                          "shell32.dll,Control_RunDLL " + applet + ",,0", this});
}

void Formkzmb::HideShow() {
  store::SettingsStore& ini = program_.machine().ini();
  const std::string file = ControlIni();
  for (int row = 0; row < ListView1.count(); ++row) {
    const std::string& applet = ListView1.cell(row, 0);
    const std::string& name = ListView1.cell(row, 1);
    if (ListView1.row(row).checked) {
      ini.INIWriteKey(kDontLoad, applet, "no", file);
      program_.log().AppendLogEntry("隐藏控制面板项  " + name + " 成功 ");
    } else {
      ini.INIDeleteKey(kDontLoad, applet, file);
      program_.log().AppendLogEntry("显示控制面板项  " + name + " 成功 ");
    }
  }
}

void Formkzmb::Delete() {
  store::FileSystem& files = program_.machine().files();
  const std::string backup = BackupFolder() + "\\";
  const std::string system = program_.machine().paths().SysDir();
  files.CreateDirectory(BackupFolder());
  for (int row = 0; row < ListView1.count(); ++row) {
    if (!ListView1.row(row).checked) continue;
    const std::string& applet = ListView1.cell(row, 0);
    const std::string from = system + applet, to = backup + applet;
    // Deleted only when its copy is there to restore from, on the disk.
    if (files.CopyFile(from, to, true) != store::kSuccess || !SameSize(files, from, to) ||
        files.FlushFiles({to}) != store::kSuccess)
      continue;
    if (files.DeleteFile(from, false) != store::kSuccess) continue;
    program_.log().AppendLogEntry("删除控制面板项  " + ListView1.cell(row, 1) + " 成功 ");
  }
  Fill();
}

void Formkzmb::Restore() {
  store::FileSystem& files = program_.machine().files();
  const std::string backup = BackupFolder() + "\\";
  const std::string system = program_.machine().paths().SysDir();
  program_.log().AppendLogEntry("恢复控制面板项成功 ");
  std::vector<store::FileEntry> copies;
  files.List(backup + "*.cpl", copies);
  for (const store::FileEntry& copy : copies) {
    if (copy.is_directory()) continue;
    const std::string from = backup + copy.name, to = system + copy.name;
    // A copy goes only once it is back in the system folder.
    if (files.CopyFile(from, to, true) != store::kSuccess || !SameSize(files, from, to)) continue;
    files.DeleteFile(from, false);
  }
  Fill();
}

}  // namespace korvanta::tools
