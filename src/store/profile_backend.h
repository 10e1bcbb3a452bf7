#pragma once
// Profile (INI) files as a back end offers them: the kernel32 profile calls with
// their exact argument and buffer semantics, ANSI code page at the boundary. A null
// pointer stands for the Win32 NULL argument. The Settings Store (settings_store.h)
// is the program's caller; the differential tests call both back ends directly.

#include <cstdint>
#include <span>

namespace korvanta::store {

class ProfileBackend {
 public:
  virtual ~ProfileBackend() = default;

  // GetPrivateProfileStringA: fills buffer as the system does (including partial
  // writes when it is too small) and returns the count it reports.
  virtual std::uint32_t GetPrivateProfileString(const char* section, const char* key,
                                                const char* default_value, std::span<char> buffer,
                                                const char* file) = 0;
  // WritePrivateProfileStringA: a null value deletes the key, a null key the section.
  virtual bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                         const char* file) = 0;
  // WritePrivateProfileSectionA: data is a list of "key=value" texts, each ended by
  // a zero and the list by a second zero; null data deletes the section.
  virtual bool WritePrivateProfileSection(const char* section, const char* data,
                                          const char* file) = 0;
};

// The system profile calls are the private ones on win.ini.
inline constexpr const char* kSystemProfile = "win.ini";

}  // namespace korvanta::store
