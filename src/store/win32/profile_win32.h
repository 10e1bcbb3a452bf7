#pragma once
// Profile files of the live machine: kernel32's ...A profile calls, unchanged.

#include "store/profile_backend.h"

namespace korvanta::store {

class Win32Profiles final : public ProfileBackend {
 public:
  std::uint32_t GetPrivateProfileString(const char* section, const char* key,
                                        const char* default_value, std::span<char> buffer,
                                        const char* file) override;
  bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                                 const char* file) override;
  bool WritePrivateProfileSection(const char* section, const char* data, const char* file) override;
};

}  // namespace korvanta::store
