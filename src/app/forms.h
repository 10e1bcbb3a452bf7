#pragma once
// Every window of the program by name, with the function that makes it; windows
// that are not built yet have no function.

#include "services/program.h"

namespace korvanta::app {

class Formmain;

const services::FormCatalogue& FormFactories();

// The main window, while it is loaded.
Formmain* MainWindow(const services::Program& program);

// What the splash's timer does: unload the splash, load and show the main
// window, then ask for the password when one is stored.
void OpenMainWindow(services::Program& program);

}  // namespace korvanta::app
