#include "data/demo_copy.h"

namespace korvanta::test {
namespace fs = std::filesystem;

fs::path DemoMachineTemplate() {
  return fs::path(KORVANTA_SOURCE_DIR) / "data/machine";
}

fs::path CopyDemoMachine(const fs::path& dir, const char* name) {
  fs::path copy = dir / name;
  fs::copy(DemoMachineTemplate(), copy,
           fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  return copy;
}

}  // namespace korvanta::test
