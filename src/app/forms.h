#pragma once
// Every window of the program by name, with the function that makes it; windows
// that are not built yet have no function.

#include <map>
#include <string>
#include <string_view>

#include "app/program.h"

namespace korvanta::app {

const std::map<std::string, FormFactory, std::less<>>& FormFactories();

}  // namespace korvanta::app
