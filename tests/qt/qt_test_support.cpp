#include "qt/qt_test_support.h"

#include <gtest/gtest.h>

#include "store/portable/machine_choice.h"
#include "store/portable/machine_portable.h"

namespace korvanta::ui::qt::test {
namespace fs = std::filesystem;

fs::path CopyDemoMachine(const fs::path& dir) {
  fs::path target = dir / "machine";
  std::string error;
  EXPECT_TRUE(store::CreateDemoMachine(fs::path(KORVANTA_DATA_DIR) / "machine", target, error))
      << error;
  return target;
}

fs::path PicturesFolder() {
  return fs::path(KORVANTA_DATA_DIR) / "pictures";
}

QtProgram::QtProgram() {
  Open(CopyDemoMachine(dir_.path()), {});
}

QtProgram::QtProgram(const fs::path& root, const store::MachineFolderOptions& options) {
  Open(root, options);
}

void QtProgram::Open(const fs::path& root, const store::MachineFolderOptions& options) {
  machine_ = std::make_unique<store::Machine>(store::OpenMachineFolder(root, options));
  folder_ = std::make_unique<store::MachineFolder>(root);
  files_ = std::make_unique<store::PortableMachineFiles>(*folder_);
  pictures_ =
      std::make_unique<ui::qt::Pictures>(std::vector<fs::path>{PicturesFolder()}, files_.get());
  host_ = std::make_unique<app::qt::QtHost>(*machine_, *files_, *pictures_);
  program_ = std::make_unique<services::Program>(*machine_, *host_, clock_, app::FormFactories());
  host_->set_program(program_.get());
}

QtProgram::~QtProgram() {
  if (!program_->ended()) program_->End();
  program_.reset();
  host_.reset();
  Settle(10);  // windows go with deferred deletes
}

FormWindow* QtProgram::WindowOf(const std::string& form_name) {
  ui::Form* form = program_->Loaded(form_name);
  return form ? host_->renderer().Find(*form) : nullptr;
}

}  // namespace korvanta::ui::qt::test
