#pragma once
// The shell of a machine folder: the freedesktop trash for recycled files, Wine
// (when installed) to open the machine's files and restart it, the desktop's
// opener for addresses and for documents when Wine is not there.

#include <string>
#include <string_view>
#include <vector>

#include "store/portable/machine_folder.h"
#include "store/shell.h"

namespace korvanta::store {

// A Windows command line's arguments as the C runtime splits them: blanks
// separate them, double quotes group them, a backslash escapes only a quote.
std::vector<std::string> SplitCommandLine(std::string_view line);

class PortableShell final : public Shell {
 public:
  explicit PortableShell(const MachineFolder& machine) : machine_(machine) {}
  void RecycleFile(std::string_view path) override;
  void Execute(std::string_view verb, std::string_view file, std::string_view parameters,
               std::uintptr_t owner) override;
  bool StartsPrograms() const override;
  void RunMinimized(std::string_view program) override;
  // wineboot --restart on the prefix when Wine is installed; nothing otherwise.
  void RequestRestart() override;
  void ShowDesktopIconView(bool visible) override;

 private:
  const MachineFolder& machine_;
};

}  // namespace korvanta::store
