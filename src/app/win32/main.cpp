// korvanta.exe: the program with its Win32 windows, on the machine it runs on.
//   korvanta.exe               starts with the splash
//   korvanta.exe --smoke DIR   opens every window once and saves a picture of each
//                              in DIR; exit status 0 only when all were taken

#include <optional>
#include <string>

#include "app/forms.h"
#include "app/smoke_tour.h"
#include "app/win32/win32_host.h"
#include "app/win32/window_camera.h"
#include "services/program.h"
#include "store/clock.h"
#include "store/machine.h"
#include "store/win32/machine_win32.h"
#include "ui/win32/renderer.h"

namespace {

struct Options {
  std::optional<std::wstring> smoke_dir;
  bool valid = true;
};

Options ParseCommandLine() {
  Options options;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return options;
  for (int i = 1; i < argc; ++i) {
    std::wstring arg = argv[i];
    if (arg == L"--smoke" && i + 1 < argc) {
      options.smoke_dir = argv[++i];
    } else {
      options.valid = false;
    }
  }
  LocalFree(argv);
  return options;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace korvanta;
  Options options = ParseCommandLine();
  if (!options.valid) {
    MessageBoxW(nullptr, L"korvanta.exe [--smoke DIR]", L"Korvanta", MB_OK | MB_ICONERROR);
    return 2;
  }
  // The folder browser and OLE pictures need COM on this thread.
  OleInitialize(nullptr);
  int status = 0;
  {
    store::Machine machine(store::OpenLiveMachine());
    store::SystemClock clock;
    ui::win32::Renderer renderer(instance);
    app::win32::Win32Host host(machine, renderer);
    services::Program program(machine, host, clock, app::FormFactories());
    host.set_program(&program);
    if (options.smoke_dir) {
      app::win32::WindowCamera camera(renderer, *options.smoke_dir);
      std::vector<std::string> missed = app::RunSmokeTour(program, camera);
      status = camera.Finish(missed) ? 0 : 1;
    } else {
      program.Start();
      program.RunPosted();
      status = renderer.RunMessageLoop();
    }
  }
  OleUninitialize();
  return status;
}
