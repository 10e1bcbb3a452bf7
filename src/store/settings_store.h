#pragma once
// The Settings Store: profile (INI) files addressed by full path, and the system
// profile win.ini. Texts are UTF-8 here; capacities count ANSI bytes as the
// system's buffers do.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/codepage.h"
#include "store/profile_backend.h"
#include "store/variant.h"
#include "store/write_failures.h"

namespace korvanta::store {

class SettingsStore {
 public:
  // Writes that fail are recorded in failures, when given.
  SettingsStore(ProfileBackend& backend, const Codepage& codepage,
                WriteFailures* failures = nullptr)
      : backend_(backend), codepage_(codepage), failures_(failures) {}

  // GetPrivateProfileStringA with "" as default and a capacity-byte buffer: at
  // most capacity - 1 bytes of the stored (ANSI) text; "" when the file, section or
  // key is missing. Never creates the file.
  std::string INIReadKey(std::string_view section, std::string_view key, std::string_view file,
                         std::uint32_t capacity);
  // Writes value as text, whole; creates the file, section and key when missing.
  // A text the ANSI code page cannot hold whole is not written (false).
  bool INIWriteKey(std::string_view section, std::string_view key, const Variant& value,
                   std::string_view file);
  // Removes the key line.
  int INIDeleteKey(std::string_view section, std::string_view key, std::string_view file);
  // Removes the section header and all its keys.
  int INIDeleteSectionAll(std::string_view section, std::string_view file);

  // GetProfileStringA on win.ini: the text read into a capacity-byte buffer and the
  // count the call reports.
  std::uint32_t GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view default_value, std::uint32_t capacity,
                                 std::string& text);
  // WriteProfileStringA on win.ini; no value removes the key.
  bool WriteProfileString(std::string_view section, std::string_view key,
                          std::optional<std::string_view> value);

 private:
  // GetPrivateProfileStringA into buffer, made capacity bytes; returns its count.
  std::uint32_t Read(const char* section, const char* key, const char* default_value,
                     std::uint32_t capacity, const char* file, std::string& buffer);
  // WritePrivateProfileStringA with the texts in the ANSI code page; no value
  // removes the key.
  bool Write(std::string_view section, std::string_view key, std::optional<std::string_view> value,
             const char* ansi_file);

  ProfileBackend& backend_;
  const Codepage& codepage_;
  WriteFailures* failures_;
};

}  // namespace korvanta::store
