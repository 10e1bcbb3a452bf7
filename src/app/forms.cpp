#include "app/forms.h"

#include "app/formmain.h"
#include "app/frame_forms.h"
#include "cleaner/junk_type_editor.h"
#include "history/change_history_window.h"
#include "history/log_viewer.h"
#include "password/password_forms.h"
#include "tools/context_menu_commands.h"
#include "tools/control_panel_applets.h"
#include "tools/desktop_icons.h"
#include "tools/oem_information.h"

namespace korvanta::app {
namespace {

template <typename F>
services::FormFactory Make() {
  return [](services::Program& program) -> std::unique_ptr<ui::Form> {
    return std::make_unique<F>(program);
  };
}

}  // namespace

Formmain* MainWindow(const services::Program& program) {
  return dynamic_cast<Formmain*>(program.main());
}

void OpenMainWindow(services::Program& program) {
  if (ui::Form* splash = program.Loaded(Formqd::kName)) program.Unload(*splash);
  program.Show(Formmain::kName);
  if (!password::StoredPassword(program).empty()) program.Show(password::Formpass::kName);
}

const services::FormCatalogue& FormFactories() {
  static const services::FormCatalogue factories = {
      {"Formqd", Make<Formqd>()},
      {"Formmain", Make<Formmain>()},
      {"Formgy", Make<Formgy>()},
      {"Formmsg", Make<Formmsg>()},
      {"Formlog", Make<history::Formlog>()},
      {"Formgghs", Make<history::Formgghs>()},
      {"Formpass", Make<password::Formpass>()},
      {"Formpasscw", Make<password::Formpasscw>()},
      {"Formpasssz", Make<password::Formpasssz>()},
      {"Formmacw", Make<password::Formmacw>()},
      {"Formmacg", Make<password::Formmacg>()},
      {"Formmaqk", Make<password::Formmaqk>()},
      {"Formjmmcw", Make<password::Formjmmcw>()},
      {"Formwjlx", Make<cleaner::Formwjlx>()},
      {"Formkzmb", Make<tools::Formkzmb>()},
      {"Formggtb", Make<tools::Formggtb>()},
      {"Formoem", Make<tools::Formoem>()},
      {"Formyjgn", Make<tools::Formyjgn>()},
      {"Formqjcw", Make<tools::Formqjcw>()},
  };
  return factories;
}

}  // namespace korvanta::app
