#pragma once
// Profile files on a machine folder: our own engine with the observable behaviour
// of Wine 8's kernel32 profile calls, the ...A wrappers and IniFileMapping
// included, so that a page reading or writing win.ini or any other profile file
// gets the bytes, counts, files and registry values the system would give it.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "store/file_system.h"
#include "store/profile_backend.h"
#include "store/registry_backend.h"

namespace korvanta::store {

class PortableProfiles final : public ProfileBackend {
 public:
  // files reads and replaces whole files by Windows path; registry holds the
  // IniFileMapping key and the keys it maps sections to; windows_directory gives
  // what GetWindowsDirectory would ("C:\windows", UTF-8), where bare file names live.
  PortableProfiles(FileSystem& files, RegistryBackend& registry,
                   std::function<std::string()> windows_directory);

  std::uint32_t GetPrivateProfileString(const char* section, const char* key,
                                        const char* default_value, std::span<char> buffer,
                                        const char* file) override;
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override;
  bool WritePrivateProfileSection(const char* section, const char* data, const char* file) override;

 private:
  FileSystem& files_;
  RegistryBackend& registry_;
  std::function<std::string()> windows_directory_;
};

}  // namespace korvanta::store
