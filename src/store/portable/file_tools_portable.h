#pragma once
// The cleaner's file tools on a machine folder: walks over the host's folders
// behind the drives, type names from the machine's class registrations, dates
// in the machine's International settings, the freedesktop.org trash.

#include <map>
#include <optional>
#include <string>

#include "store/codepage.h"
#include "store/file_tools.h"
#include "store/portable/machine_folder.h"
#include "store/registry_backend.h"

namespace korvanta::store {

class PortableFileTools final : public FileTools {
 public:
  PortableFileTools(const MachineFolder& machine, RegistryBackend& registry,
                    const Codepage& codepage)
      : machine_(machine), registry_(registry), codepage_(codepage) {}

  std::unique_ptr<FolderWalk> Walk(std::string_view root) override;
  std::string TypeName(std::string_view name) override;
  std::string ShortDateTime(std::int64_t filetime) override;
  Status Overwrite(std::string_view path) override;
  void EmptyRecycleBin() override;

 private:
  // The default value of a key under HKEY_CLASSES_ROOT, or of another root.
  std::optional<std::string> Text(RegRoot root, const std::string& key, const std::string& name);

  const MachineFolder& machine_;
  RegistryBackend& registry_;
  const Codepage& codepage_;
  std::map<std::string, std::string, std::less<>> type_names_;  // by extension, upper case
  std::optional<std::string> date_format_, time_format_;
};

// Formats a local date and time with a GetDateFormat / GetTimeFormat picture
// ("yyyy-M-d", "H:mm:ss"); the parts are year, month, day, hour, minute, second
// and the day of the week (0 for Sunday).
std::string FormatDateTime(std::string_view picture, int year, int month, int day, int hour,
                           int minute, int second, int weekday);

}  // namespace korvanta::store
