#pragma once
// A page of the main window: it declares its controls on its container, fills
// them from the machine at its steps of the main window's load, and handles its
// own buttons. Pages know the services below them and never each other; the
// main window owns them and runs their fills in the load order.

#include <span>
#include <vector>

namespace korvanta::services {

class SettingsTable;

// The steps of the main window's load that fill pages, in the order they run.
enum class LoadStep {
  kInventory,        // the system inventory, and the DirectX box it fills
  kPersonalisation,  // the rest of the personalisation page
  kDesktopAndMenu,
  kNetwork,
  kFileSystem,
  kStartup,  // startup list and boot options
  kSecurity,
  kDriveList,
  kSystemFiles,
  kOtherSettings,
  kCleanerSettings,  // junk types and the cleaner's options
  kBackupList,       // result list columns and the backup list
  kEnd,              // not a step: the steps above are all that run
};

class Page {
 public:
  virtual ~Page() = default;
  // The steps at which Fill runs (most pages have one).
  virtual std::vector<LoadStep> steps() const = 0;
  // Fills the page's controls for one of its steps, from the machine as it is now.
  virtual void Fill(LoadStep step) = 0;
  // Shows again what the machine holds now, after something else changed it
  // (an undo): a page whose controls show values of the machine reads them anew.
  virtual void Reload() {}
  // The table the page keeps its settings in, if it keeps them as one.
  virtual const SettingsTable* settings() const { return nullptr; }
};

// Runs every page's fills in the order of the load steps, whatever the order of
// the pages: for each step, the pages that fill at it, in the order given.
void FillPages(std::span<Page* const> pages);

}  // namespace korvanta::services
