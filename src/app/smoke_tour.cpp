#include "app/smoke_tour.h"

#include "app/formmain.h"
#include "app/forms.h"
#include "history/change_history_window.h"
#include "tools/control_panel_applets.h"

namespace korvanta::app {

std::vector<std::string> RunSmokeTour(services::Program& program, SmokeCamera& camera) {
  std::vector<std::string> missed;
  auto shoot = [&](ui::Form* form, const std::string& name) {
    camera.Settle();
    if (!form || !camera.Shoot(*form, name)) missed.push_back(name);
  };

  program.Start();
  shoot(program.Loaded("Formqd"), "Formqd");
  OpenMainWindow(program);
  program.RunPosted();
  Formmain* main = MainWindow(program);
  for (int i = 0; i < kPageCount && main; ++i) {
    main->Label3[static_cast<std::size_t>(i)]->UserClick();
    program.RunPosted();
    shoot(main, "Formmain-page" + std::to_string(i));
  }
  for (int tab = 2; tab <= 4 && main; ++tab) {
    main->cleaner.TabStrip1.UserSelectTab(tab);
    program.RunPosted();
    shoot(main, "Formmain-page8-tab" + std::to_string(tab));
    if (tab != 2) continue;
    // The quick scan's note in the drive list, then the scan method back.
    program.Act([&] { main->cleaner.Optionkssm.UserClick(); });
    shoot(main, "Formmain-page8-quick");
    program.Act([&] { main->cleaner.Optionxxam.UserClick(); });
  }
  if (main) {
    // The result list after a scan with the options the machine has.
    main->cleaner.TabStrip1.UserSelectTab(1);
    program.Act([&] { main->cleaner.Search(); });
    while (main->cleaner.Timerss.running()) program.Act([&] { main->cleaner.Timerss.Fire(); });
    shoot(main, "Formmain-page8-scan");
  }

  // Two actions for the change history to list: an applet hidden (or shown),
  // then turned back, as the control-panel tool does it.
  if (auto* applets = dynamic_cast<tools::Formkzmb*>(program.Show(tools::Formkzmb::kName));
      applets && applets->ListView1.count() > 0) {
    for (int turn = 0; turn < 2; ++turn) {
      program.Act([&] {
        applets->ListView1.UserCheckRow(0, !applets->ListView1.row(0).checked);
        applets->Commandyc.UserClick();
      });
    }
    program.Unload(*applets);
    program.RunPosted();
  }

  // Every other window that is built, one at a time.
  for (const auto& [name, factory] : FormFactories()) {
    if (!factory || name == "Formqd" || name == "Formmain" || name == "Formpass") continue;
    ui::Form* form = program.Show(name);
    // The history shows what the latest action changed.
    if (auto* history = dynamic_cast<history::Formgghs*>(form);
        history && history->ListView1.count() > 0)
      program.Act([&] { history->ListView1.UserClickRow(0); });
    shoot(form, name);
    if (form && program.Loaded(name) == form) program.Unload(*form);
    program.RunPosted();
  }
  // The start-up prompt disables the main window while it shows.
  ui::Form* prompt = program.Show("Formpass");
  shoot(prompt, "Formpass");
  if (prompt) program.Unload(*prompt);
  if (main) main->set_enabled(true);
  program.RunPosted();

  program.End();
  return missed;
}

}  // namespace korvanta::app
