#pragma once
// Starts a persistent wineserver on a prefix for the tests that need one
// running, finds it the way a user's ps would, without its lock, and stops it.

#include <optional>
#include <string>

#include "store/portable/server_lock.h"
#include "support/test_support.h"

namespace korvanta::test {

struct StartedWineserver {
  long pid = 0;
  std::filesystem::path folder;  // the server folder it works in
};

// Runs `wineserver -p` on prefix and waits (up to five seconds) until a process
// works in one of the prefix's server folders; nothing when none does.
inline std::optional<StartedWineserver> StartWineserver(const std::filesystem::path& prefix) {
  if (Run("WINEPREFIX=" + ShellQuote(prefix.string()) + " wineserver -p").status != 0) return {};
  for (int i = 0; i < 100; ++i) {
    for (const auto& folder : store::WineserverDirectories(prefix)) {
      if (std::optional<long> pid = ProcessWorkingIn(folder))
        return StartedWineserver{*pid, folder};
    }
    Run("sleep 0.05");
  }
  return {};
}

// Stops the wineserver running on prefix, if any, and waits until it has gone.
inline void StopWineserver(const std::filesystem::path& prefix) {
  Run("WINEPREFIX=" + ShellQuote(prefix.string()) + " wineserver -k 2>/dev/null");
  WaitForWineserver(prefix);
}

}  // namespace korvanta::test
