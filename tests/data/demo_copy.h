#pragma once
// Copies of the demo machine's template (data/machine) for tests to work on; the
// template itself is never opened for writing.

#include <filesystem>

namespace korvanta::test {

// The template of this checkout.
std::filesystem::path DemoMachineTemplate();
// A copy of it at dir/name, dosdevices/c: still a link into the copy; returns it.
std::filesystem::path CopyDemoMachine(const std::filesystem::path& dir,
                                      const char* name = "demo-machine");

}  // namespace korvanta::test
