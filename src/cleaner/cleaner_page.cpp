#include "cleaner/cleaner_page.h"

#include "store/paths.h"
#include "ui/declare.h"

namespace korvanta::cleaner {
namespace {

using ui::Place;

constexpr ui::Rect kPanel{240, 900, 7590, 5220};
constexpr int kButtonTop = 6360;
constexpr int kPaneButtonTop = 4740;
constexpr int kCatalogueWidth = 7110;
// A slice of the scan: long enough to walk thousands of files, short enough
// that the window answers at once.
constexpr auto kScanSlice = std::chrono::milliseconds(40);

constexpr const char* kQuickNote = "快速扫描中不能选择磁盘，将使用默认方式扫描！";
constexpr const char* kCustomNote = "自定义扫描中不能选择磁盘，将扫描用户自定义文件夹！";
constexpr const char* kRestartQuestion =
    "恢复默认设置成功，将在下次启动时生效，你是否重新运行Korvanta！";

ui::Rect PaneButton(int column) {
  return {2730 + column * 1200, kPaneButtonTop, 1140, 375};
}

}  // namespace

CleanerPage::CleanerPage(services::Program& program, ui::PictureBox& page)
    : TabStrip1(Place<ui::TabStrip>(page, "TabStrip1", {120, 480, 7830, 5760})),
      ListView2(Place<ui::ListView>(page, "ListView2", {240, 900, 7590, 4860})),
      StatusBar1(Place<ui::StatusBar>(page, "StatusBar1", {240, 5790, 7590, 330})),
      Picture2(Place<ui::PictureBox>(page, "Picture2", kPanel)),
      Picture3(Place<ui::PictureBox>(page, "Picture3", kPanel)),
      Picture4(Place<ui::PictureBox>(page, "Picture4", kPanel)),
      Commandss(Place<ui::CommandButton>(page, "Commandss", {2910, kButtonTop, 1140, 375}, "搜索")),
      Commandtz(Place<ui::CommandButton>(page, "Commandtz", {4170, kButtonTop, 1140, 375}, "停止")),
      Commandsclj(
          Place<ui::CommandButton>(page, "Commandsclj", {5430, kButtonTop, 1140, 375}, "删除")),
      Commandqbsc(
          Place<ui::CommandButton>(page, "Commandqbsc", {6690, kButtonTop, 1140, 375}, "全部删除")),
      Timerss(Place<ui::Timer>(page, "Timerss", {0, 0, 0, 0})),
      Optionkssm(Place<ui::OptionButton>(Picture2, "Optionkssm", {120, 90, 5400, 300},
                                         "使用快速扫描方法扫描垃圾文件")),
      Optionxxam(Place<ui::OptionButton>(Picture2, "Optionxxam", {120, 420, 5400, 300},
                                         "使用详细扫描方法扫描垃圾文件（推荐）")),
      Listdiv1(Place<ui::ListBox>(Picture2, "Listdiv1", {360, 780, 3000, 1440})),
      Checkddsm(
          Place<ui::CheckBox>(Picture2, "Checkddsm", {3600, 780, 3000, 300}, "自定义扫描文件夹")),
      Textdywjj(Place<ui::TextBox>(Picture2, "Textdywjj", {3600, 1140, 3300, 315})),
      Commanddysm(Place<ui::CommandButton>(Picture2, "Commanddysm", {6960, 1140, 420, 315}, "…")),
      Checknoie(Place<ui::CheckBox>(Picture2, "Checknoie", {3600, 1620, 3600, 300},
                                    "不扫描IE临时文件夹")),
      Framelx(Place<ui::Frame>(Picture2, "Framelx", {120, 2340, 7350, 2280}, "文件类型选择")),
      ListView3(Place<ui::ListView>(Framelx, "ListView3", {120, 270, kCatalogueWidth, 1890})),
      Commandbc(Place<ui::CommandButton>(Picture2, "Commandbc", PaneButton(0), "保存")),
      Commandqx(Place<ui::CommandButton>(Picture2, "Commandqx", PaneButton(1), "全选")),
      Commandzj(Place<ui::CommandButton>(Picture2, "Commandzj", PaneButton(2), "增加")),
      Commandmr(Place<ui::CommandButton>(Picture2, "Commandmr", PaneButton(3), "默认")),
      Optionsdhs(Place<ui::OptionButton>(Picture3, "Optionsdhs", {360, 300, 5000, 300},
                                         "删除文件到回收站")),
      Optionzj(
          Place<ui::OptionButton>(Picture3, "Optionzj", {360, 780, 5000, 300}, "直接删除文件")),
      Optionbfsc(Place<ui::OptionButton>(Picture3, "Optionbfsc", {360, 1260, 5000, 300},
                                         "备份删除的文件")),
      Textbbfwj(Place<ui::TextBox>(Picture3, "Textbbfwj", {720, 1620, 5640, 315})),
      Commandbfwj(Place<ui::CommandButton>(Picture3, "Commandbfwj", {6420, 1620, 420, 315}, "…")),
      Optionbkhf(Place<ui::OptionButton>(Picture3, "Optionbkhf", {360, 2160, 5000, 300},
                                         "不可恢复的删除文件")),
      Checkxcts(Place<ui::CheckBox>(Picture3, "Checkxcts", {360, 2760, 5400, 300},
                                    "直接删除文件时不显示提示信息")),
      Commandbcsz(Place<ui::CommandButton>(Picture3, "Commandbcsz", PaneButton(1), "保存")),
      Commandmr1(Place<ui::CommandButton>(Picture3, "Commandmr1", PaneButton(2), "默认")),
      Commandqkhsz(Place<ui::CommandButton>(Picture3, "Commandqkhsz", PaneButton(3), "清空回收站")),
      ListView4(Place<ui::ListView>(Picture4, "ListView4", {0, 0, 7590, 4560})),
      Commandhfwj(Place<ui::CommandButton>(Picture4, "Commandhfwj", PaneButton(1), "恢复")),
      Commandhfqb(Place<ui::CommandButton>(Picture4, "Commandhfqb", PaneButton(2), "恢复全部")),
      Commandscqb(Place<ui::CommandButton>(Picture4, "Commandscqb", PaneButton(3), "删除全部")),
      Labelhfjd(Place<ui::Label>(Picture4, "Labelhfjd", {0, kPaneButtonTop + 60, 2640, 300})),
      program_(program),
      deleter_(program),
      backups_(program, ListView4, {&Commandscqb, &Commandhfqb, &Commandhfwj}) {
  TabStrip1.AddTab("扫描结果", "显示扫描出的垃圾文件列表");
  TabStrip1.AddTab("扫描选项", "扫描选项设置");
  TabStrip1.AddTab("删除选项", "删除选项设置");
  TabStrip1.AddTab("文件恢复", "恢复被删除的文件");
  TabStrip1.AddTab("帮助", "Korvanta帮助");
  TabStrip1.on_click = [this] { TabClicked(); };
  Picture2.set_visible(false);
  Picture3.set_visible(false);
  Picture4.set_visible(false);
  Listdiv1.multi_select = true;
  StatusBar1.AddPanel(1800);
  StatusBar1.AddPanel(0);
  Commandtz.set_enabled(false);
  Timerss.set_interval(1);
  Timerss.on_timer = [this] { TimerFired(); };

  Commandss.on_click = [this] { Search(); };
  Commandtz.on_click = [this] { StopSearch(); };
  Commandsclj.on_click = [this] {
    if (!busy() && deleter_.DeleteTicked(ListView2, CurrentDeleteOptions())) WorkStarted();
  };
  Commandqbsc.on_click = [this] {
    if (!busy() && deleter_.DeleteAll(ListView2, Checkxcts.ticked())) WorkStarted();
  };

  Optionkssm.on_click = [this] { QuickScanClicked(); };
  Optionxxam.on_click = [this] { DetailedScanClicked(); };
  Checkddsm.on_click = [this] { CustomFolderClicked(); };
  Commanddysm.on_click = [this] { ChooseFolder(Textdywjj, "请选择扫描路径："); };
  Commandbc.on_click = [this] { SaveScanOptions(); };
  Commandqx.on_click = [this] { SelectAll(); };
  Commandzj.on_click = [this] { program_.Show("Formwjlx"); };
  Commandmr.on_click = [this] { RestoreScanDefaults(); };

  Commandbfwj.on_click = [this] { ChooseFolder(Textbbfwj, "请选择备份路径："); };
  Commandbcsz.on_click = [this] { SaveDeleteOptions(); };
  Commandmr1.on_click = [this] { RestoreDeleteDefaults(); };
  Commandqkhsz.on_click = [this] { program_.machine().file_tools().EmptyRecycleBin(); };

  Commandhfwj.on_click = [this] {
    if (!busy() && backups_.Restore(false)) WorkStarted();
  };
  Commandhfqb.on_click = [this] {
    if (!busy() && backups_.Restore(true)) WorkStarted();
  };
  backups_.on_end = [this] { Labelhfjd.set_caption(""); };
  Commandscqb.on_click = [this] {
    if (!busy()) backups_.Purge();
  };
}

void CleanerPage::Fill(services::LoadStep step) {
  if (step == services::LoadStep::kCleanerSettings) {
    LoadSettings();
    return;
  }
  // All five start inside the list with its scroll bar shown: the path keeps its
  // 3200 and a date its whole text; a long type name is cut short.
  ListView2.AddColumn("文件名称", 1140);
  ListView2.AddColumn("文件路径", 3200);
  ListView2.AddColumn("大小", 750);
  ListView2.AddColumn("类型", 540);
  ListView2.AddColumn("修改日期", 1635);
  ListView4.AddColumn("文件名称", 1800);
  ListView4.AddColumn("文件路径", 3000);
  ListView4.AddColumn("大小", 900);
  ListView4.AddColumn("备份路径", 1500);
  backups_.Load();
}

void CleanerPage::TabClicked() {
  const int tab = TabStrip1.selected();
  if (tab >= 1 && tab <= 4) {
    ListView2.set_visible(tab == 1);
    StatusBar1.set_visible(tab == 1);
    Picture2.set_visible(tab == 2);
    Picture3.set_visible(tab == 3);
    Picture4.set_visible(tab == 4);
  } else if (tab == 5) {
    program_.OpenHelp();
  }
}

CleanerSettings CleanerPage::Settings() {
  return CleanerSettings(program_.machine().ini(),
                         program_.machine().paths().ProgramFolder() + "\\set.ini");
}

// --- the catalogue and the options --------------------------------------------

std::vector<CleanerPage::StoredOption> CleanerPage::StoredOptions() {
  return {
      {.section = "smset", .key = "IEtemp", .value = "0", .tick = &Checknoie},
      {.section = "smset", .key = "Xxsm", .value = "1", .option = &Optionxxam},
      {.section = "smset", .key = "Kssm", .value = "0", .option = &Optionkssm},
      {.section = "delset", .key = "DelRecycle", .value = "0", .option = &Optionsdhs},
      {.section = "delset", .key = "Delfile", .value = "1", .option = &Optionzj},
      {.section = "delset", .key = "FullDel", .value = "0", .option = &Optionbkhf},
      {.section = "delset", .key = "Delbak", .value = "0", .option = &Optionbfsc},
      {.section = "delset",
       .key = "Delbakpath",
       .value = "",
       .path = &Textbbfwj,
       .with = &Optionbfsc},
      {.section = "delset", .key = "Delts", .value = "1", .tick = &Checkxcts},
  };
}

void CleanerPage::LoadSettings() {
  CleanerSettings settings = Settings();
  const int third = kCatalogueWidth / 3;
  ListView3.AddColumn("文件类型", third);
  ListView3.AddColumn("类型说明", kCatalogueWidth - third - 300);
  for (const BuiltInType& t : kBuiltInTypes) {
    ListView3.AddRow({std::string(t.pattern), std::string(t.description)});
  }
  for (JunkType& t : settings.UserTypes()) {
    ListView3.AddRow({std::move(t.pattern), std::move(t.description)});
  }
  for (int i = 0; i < ListView3.count(); ++i) {
    if (settings.Flag("filelx", ListView3.cell(i, 0))) ListView3.set_checked(i, true);
  }
  // A stored 1 sets a control; of one group's options the last row set wins.
  for (const StoredOption& o : StoredOptions()) {
    if (o.path) {
      // Read whole (see Path); its option's row comes first.
      std::string path = settings.Path(o.section, o.key);
      o.path->set_text(o.with->selected() ? path : "");
    } else if (settings.Flag(o.section, o.key)) {
      if (o.tick) o.tick->set_ticked(true);
      if (o.option) o.option->set_selected(true);
    }
  }
  if (Optionxxam.selected()) DetailedScanClicked();
  if (Optionkssm.selected()) QuickScanClicked();
}

void CleanerPage::SaveOptions(std::string_view section) {
  CleanerSettings settings = Settings();
  for (const StoredOption& o : StoredOptions()) {
    if (o.section != section) continue;
    if (o.path) {
      settings.Write(o.section, o.key, o.with->selected() ? o.path->text() : "");
    } else {
      settings.WriteFlag(o.section, o.key, o.tick ? o.tick->ticked() : o.option->selected());
    }
  }
}

void CleanerPage::WriteDefaults(std::string_view section) {
  CleanerSettings settings = Settings();
  for (const StoredOption& o : StoredOptions()) {
    if (o.section == section) settings.Write(o.section, o.key, o.value);
  }
}

void CleanerPage::SaveScanOptions() {
  SaveOptions("smset");
  CleanerSettings settings = Settings();
  for (int i = 0; i < ListView3.count(); ++i)
    settings.WriteFlag("filelx", ListView3.cell(i, 0), ListView3.row(i).checked);
}

void CleanerPage::SaveDeleteOptions() {
  SaveOptions("delset");
}

void CleanerPage::RestoreScanDefaults() {
  CleanerSettings settings = Settings();
  const int built_in = static_cast<int>(kBuiltInTypes.size());
  for (int row = built_in; row < ListView3.count(); ++row)
    settings.DeleteUserType(row - built_in, ListView3.cell(row, 0));
  settings.WriteUserTypeCount(0);
  WriteDefaults("smset");
  AskRestart();
}

void CleanerPage::RestoreDeleteDefaults() {
  WriteDefaults("delset");
  AskRestart();
}

void CleanerPage::AskRestart() {
  if (program_.dialogs().MessageBox(program_.main(), "消息", kRestartQuestion,
                                    ui::MessageIcon::kInformation,
                                    ui::MessageButtons::kOkCancel) == ui::MessageAnswer::kOk) {
    program_.End();
  }
}

void CleanerPage::SelectAll() {
  bool tick = Commandqx.caption() == "全选";
  for (int i = 0; i < ListView3.count(); ++i) ListView3.set_checked(i, tick);
  Commandqx.set_caption(tick ? "全否" : "全选");
}

void CleanerPage::QuickScanClicked() {
  Listdiv1.Clear();
  Listdiv1.AddItem(kQuickNote);
  Listdiv1.set_enabled(false);
}

void CleanerPage::DetailedScanClicked() {
  Listdiv1.Clear();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = std::string(1, letter) + ":\\";
    if (program_.machine().files().DriveType(root) == store::kDriveFixed) Listdiv1.AddItem(root);
  }
  Listdiv1.set_enabled(true);
}

void CleanerPage::CustomFolderClicked() {
  Listdiv1.Clear();
  Listdiv1.AddItem(kCustomNote);
  Listdiv1.set_enabled(false);
  bool custom = Checkddsm.ticked();
  if (custom) {
    Optionkssm.set_selected(false);
    Optionxxam.set_selected(false);
  }
  Optionkssm.set_enabled(!custom);
  Optionxxam.set_enabled(!custom);
}

void CleanerPage::ChooseFolder(ui::TextBox& box, const char* title) {
  if (auto folder = program_.dialogs().BrowseForFolder(program_.main(), title))
    box.set_text(*folder);
}

DeleteOptions CleanerPage::CurrentDeleteOptions() const {
  DeleteOptions options;
  if (Optionsdhs.selected()) options.mode = DeleteMode::kRecycle;
  if (Optionzj.selected()) options.mode = DeleteMode::kDirect;
  if (Optionbkhf.selected()) options.mode = DeleteMode::kOverwrite;
  if (Optionbfsc.selected()) options.mode = DeleteMode::kBackup;
  options.backup_folder = Textbbfwj.text();
  options.no_prompt = Checkxcts.ticked();
  return options;
}

// --- the scan ------------------------------------------------------------------

std::vector<ScanSearch> CleanerPage::Searches(bool& any_method) {
  std::vector<JunkPattern> ticked;
  for (int i = 0; i < ListView3.count(); ++i) {
    if (ListView3.row(i).checked) ticked.emplace_back(ListView3.cell(i, 0));
  }
  std::vector<std::string> roots;
  bool with_cache = !Checknoie.ticked();
  any_method = true;
  if (Optionxxam.selected()) {
    for (int i = 0; i < Listdiv1.count(); ++i) {
      if (Listdiv1.selected(i)) roots.push_back(Listdiv1.items()[static_cast<std::size_t>(i)].text);
    }
  } else if (Optionkssm.selected()) {
    roots = {program_.machine().paths().DirTemp(), program_.machine().paths().WinDir()};
  } else if (Checkddsm.ticked()) {
    roots = {Textdywjj.text()};
    with_cache = false;
    if (program_.machine().files().LeadsOutside(Textdywjj.text())) {
      // The back end would find nothing there; the user should know why.
      program_.dialogs().MessageBox(program_.main(), "警告", OutsideMachineText(Textdywjj.text()),
                                    ui::MessageIcon::kExclamation, ui::MessageButtons::kOk);
      roots.clear();
    }
  } else {
    any_method = false;
    return {};
  }
  std::vector<ScanSearch> searches;
  if (with_cache) {
    // Without the value the folder would be the root of the current drive, and
    // every file on it would count as junk.
    store::Variant cache;
    if (program_.machine().reg().QueryValue(
            store::RegRoot::kCurrentUser,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Cache",
            cache) == store::kSuccess &&
        !cache.ToText().empty()) {
      searches.push_back({cache.ToText() + "\\", {}});
    }
  }
  if (!ticked.empty()) {
    for (std::string& root : roots) {
      if (!root.empty()) searches.push_back({std::move(root), ticked});
    }
  }
  return searches;
}

void CleanerPage::Search() {
  if (busy()) return;
  bool any_method = false;
  std::vector<ScanSearch> searches = Searches(any_method);
  if (!any_method) return;
  ListView2.Clear();
  Commandtz.set_enabled(true);
  Commandss.set_enabled(false);
  StatusBar1.set_panel_text(1, "请稍侯...");
  scan_ = std::make_unique<JunkScan>(program_.machine().file_tools(), std::move(searches));
  Timerss.set_running(true);
}

bool CleanerPage::busy() const {
  return scan_ || deleter_.busy() || backups_.busy();
}

void CleanerPage::TimerFired() {
  if (scan_) {
    ScanSlice();
    return;
  }
  bool more = deleter_.busy() ? deleter_.Continue() : backups_.busy() && backups_.Continue();
  if (more) {
    ShowProgress();
  } else {
    WorkEnded();
  }
}

// A delete or restore that did not end in its first slice goes on, slice by
// slice, on the scan's timer; "停止" ends it at a slice boundary.
void CleanerPage::WorkStarted() {
  Commandtz.set_enabled(true);
  Commandss.set_enabled(false);
  StatusBar1.set_panel_text(1, "请稍侯...");
  ShowProgress();
  Timerss.set_running(true);
}

void CleanerPage::ShowProgress() {
  StatusBar1.set_panel_text(2, deleter_.busy() ? deleter_.Progress() : backups_.Progress());
  Labelhfjd.set_caption(backups_.Progress());
}

void CleanerPage::WorkEnded() {
  Timerss.set_running(false);
  Commandtz.set_enabled(false);
  Commandss.set_enabled(true);
  StatusBar1.set_panel_text(2, "共有" + std::to_string(ListView2.count()) + "个文件");
  StatusBar1.set_panel_text(1, "就绪");
  Labelhfjd.set_caption("");
}

void CleanerPage::ScanSlice() {
  if (!scan_) return;
  std::vector<ScanRow> rows;
  bool more = scan_->Step(kScanSlice, rows);
  AddRows(rows);
  if (more) {
    StatusBar1.set_panel_text(2, "正在搜索 " + scan_->folder());
  } else {
    ScanEnded();
  }
}

void CleanerPage::StopSearch() {
  if (deleter_.busy() || backups_.busy()) {
    deleter_.Stop();
    backups_.Stop();
    WorkEnded();
    return;
  }
  if (!scan_) return;
  std::vector<ScanRow> rows;
  scan_->Stop(rows);
  AddRows(rows);
  ScanEnded();
}

void CleanerPage::AddRows(std::vector<ScanRow>& rows) {
  store::FileTools& tools = program_.machine().file_tools();
  for (ScanRow& r : rows) {
    std::string type = tools.TypeName(r.name);
    ListView2.AddRow({std::move(r.name), std::move(r.folder), SizeText(r.size), std::move(type),
                      tools.ShortDateTime(r.modified)});
  }
}

void CleanerPage::ScanEnded() {
  Timerss.set_running(false);
  scan_.reset();
  Commandtz.set_enabled(false);
  Commandss.set_enabled(true);
  StatusBar1.set_panel_text(2, "共有" + std::to_string(ListView2.count()) + "个文件");
  StatusBar1.set_panel_text(1, "就绪");
}

}  // namespace korvanta::cleaner
