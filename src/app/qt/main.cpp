// korvanta: the Linux program. Works on a machine folder in Wine-prefix layout
// (--machine DIR or the name of a Wine prefix, else WINEPREFIX, else the one the
// user picks among the prefixes found, else ~/.wine, else the demo machine) and
// shows the program's windows with Qt. --list-machines prints the prefixes found
// and needs no display. --smoke OUTDIR opens every window in turn,
// saves a picture of each and exits 0 only when every picture was taken.
// --host-drives lets the machine's drives and links that lead to this computer's
// own files (Wine's Z:) be scanned and written; without it they are not there.

#include <QApplication>
#include <QMessageBox>
#include <cstring>
#include <iostream>
#include <optional>

#include "app/forms.h"
#include "app/qt/data_folders.h"
#include "app/qt/machine_start.h"
#include "app/qt/qt_host.h"
#include "app/qt/smoke_camera.h"
#include "app/smoke_tour.h"
#include "services/program.h"
#include "store/clock.h"
#include "store/machine.h"
#include "store/portable/machine_choice.h"
#include "store/portable/machine_files_portable.h"
#include "store/portable/machine_folder.h"
#include "store/portable/machine_portable.h"
#include "ui/qt/application.h"
#include "ui/qt/pictures.h"

namespace {

namespace fs = std::filesystem;

int Usage() {
  std::cerr << "usage: korvanta [--machine DIR|NAME] [--host-drives] [--smoke OUTDIR]\n"
               "       korvanta --list-machines\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace korvanta;
  // Before Qt looks for a display: listing needs none.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--list-machines") == 0) {
      app::qt::ListMachines(std::cout, store::MachineEnvironment::FromProcess());
      return 0;
    }
  }
  QApplication app(argc, argv);
  ui::qt::SetUpApplication(app);

  std::optional<std::string> machine_dir;
  std::optional<QString> smoke;
  bool host_drives = false;
  QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--machine") && i + 1 < args.size()) {
      machine_dir = args[++i].toStdString();
    } else if (args[i] == QStringLiteral("--host-drives")) {
      host_drives = true;
    } else if (args[i] == QStringLiteral("--smoke") && i + 1 < args.size()) {
      smoke = args[++i];
    } else {
      return Usage();
    }
  }

  std::vector<fs::path> data =
      app::qt::DataFolders(fs::path(QCoreApplication::applicationDirPath().toStdString()));
  std::vector<fs::path> templates, pictures;
  store::MachineFolderOptions options;
  options.host_drives = host_drives;
  for (const fs::path& folder : data) {
    templates.push_back(folder / "machine");
    pictures.push_back(folder / "pictures");
    std::error_code ec;
    if (options.shipped_settings.empty() && fs::is_regular_file(folder / "set.ini", ec)) {
      options.shipped_settings = folder / "set.ini";
    }
  }
  app::qt::StartMachine start = app::qt::ChooseStartMachine(
      machine_dir, store::MachineEnvironment::FromProcess(), templates, !smoke);
  if (start.cancelled) return 0;
  store::MachineChoiceResult& chosen = start.chosen;
  options.title = start.title;
  if (!chosen.choice) {
    std::cerr << "korvanta: " << chosen.error << '\n';
    if (!smoke) {
      QMessageBox::critical(
          nullptr, QStringLiteral("Korvanta"),
          QStringLiteral("找不到要优化的计算机：\n") + QString::fromStdString(chosen.error));
    }
    return 1;
  }
  if (chosen.choice->created) {
    std::cerr << "korvanta: made a demo machine at " << chosen.choice->folder.string() << '\n';
  }

  store::Machine machine(store::OpenMachineFolder(chosen.choice->folder, options));
  store::MachineFolder folder(chosen.choice->folder, host_drives);
  store::PortableMachineFiles files(folder);
  ui::qt::Pictures picture_store(pictures, &files);
  QApplication::setWindowIcon(picture_store.WindowIcon("korvanta"));
  store::SystemClock clock;
  app::qt::QtHost host(machine, files, picture_store);
  services::Program program(machine, host, clock, app::FormFactories());
  host.set_program(&program);

  int status = 0;
  if (smoke) {
    app::qt::QtSmokeCamera camera(host.renderer(), *smoke);
    std::vector<std::string> missed = app::RunSmokeTour(program, camera);
    for (const std::string& name : missed) std::cerr << "korvanta: no picture of " << name << '\n';
    status = missed.empty() ? 0 : 1;
  } else {
    program.Start();
    if (!host.ended()) status = QApplication::exec();
  }
  // Every window goes with the program, before the program's forms do.
  if (!program.ended()) program.End();
  return status;
}
