#include "app/forms.h"

#include "app/formmain.h"
#include "app/frame_forms.h"
#include "cleaner/junk_type_editor.h"
#include "tools/desktop_icons.h"
#include "tools/control_panel_applets.h"
#include "tools/oem_information.h"
#include "tools/context_menu_commands.h"
#include "history/change_history_window.h"
#include "history/log_viewer.h"
#include "password/password_forms.h"

namespace korvanta::app {
namespace {

template <typename F>
FormFactory Make() {
  return [](Program& program) -> std::unique_ptr<ui::Form> { return std::make_unique<F>(program); };
}

}  // namespace

Formmain* MainWindow(const Program& program) {
  return dynamic_cast<Formmain*>(program.main());
}

void OpenMainWindow(Program& program) {
  if (ui::Form* splash = program.Loaded(Formqd::kName)) program.Unload(*splash);
  program.Show(Formmain::kName);
  if (!StoredPassword(program).empty()) program.Show(Formpass::kName);
}

const FormCatalogue& FormFactories() {
  static const FormCatalogue factories = {
      {"Formqd", Make<Formqd>()},         {"Formmain", Make<Formmain>()},
      {"Formgy", Make<Formgy>()},         {"Formmsg", Make<Formmsg>()},
      {"Formlog", Make<Formlog>()},       {"Formgghs", Make<Formgghs>()},
      {"Formpass", Make<Formpass>()},     {"Formpasscw", Make<Formpasscw>()},
      {"Formpasssz", Make<Formpasssz>()}, {"Formmacw", Make<Formmacw>()},
      {"Formmacg", Make<Formmacg>()},     {"Formmaqk", Make<Formmaqk>()},
      {"Formjmmcw", Make<Formjmmcw>()},   {"Formwjlx", Make<cleaner::Formwjlx>()},
      {"Formkzmb", Make<Formkzmb>()},     {"Formggtb", Make<Formggtb>()},
      {"Formoem", Make<Formoem>()},       {"Formyjgn", Make<Formyjgn>()},
      {"Formqjcw", Make<Formqjcw>()},
  };
  return factories;
}

}  // namespace korvanta::app
