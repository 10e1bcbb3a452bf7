#include "history/log_viewer.h"

#include "ui/declare.h"

namespace korvanta::history {

Formlog::Formlog(services::Program& program)
    : services::SmallWindow(program, std::string(kName), "系统设置日志", 7200, 5400),
      Text1(ui::Place<ui::TextBox>(*this, "Text1", {180, 480, 6840, 4200})),
      Commandqk(ui::Place<ui::CommandButton>(*this, "Commandqk", {3960, 4830, 1440, 375},
                                             "清空日志", "清空日志文件")),
      Commandtcrz(
          ui::Place<ui::CommandButton>(*this, "Commandtcrz", {5580, 4830, 1440, 375}, "退出")),
      Commandcxgg(ui::Place<ui::CommandButton>(*this, "Commandcxgg", {2340, 4830, 1440, 375},
                                               "撤销更改…", "查看并撤销对系统所做的更改")) {
  topmost = true;
  Text1.multi_line = true;
  Text1.locked = true;  // the viewer shows the log; nothing typed there would be kept
  on_load = [this] {
    // A snapshot: entries written while the viewer is open show next time.
    Text1.set_text(program_.log().ReadForViewer());
  };
  Commandqk.on_click = [this] {
    // A log that could not be emptied (read-only, locked) still holds what the
    // viewer shows: a blank box would say otherwise.
    if (program_.log().Clear()) Text1.set_text("");
  };
  Commandtcrz.on_click = [this] { program_.Unload(*this); };
  Commandcxgg.on_click = [this] { program_.Show("Formgghs"); };
}

}  // namespace korvanta::history
