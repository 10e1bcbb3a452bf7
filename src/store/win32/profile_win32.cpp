#include "store/win32/profile_win32.h"

#include "store/win32/windows_api.h"

namespace korvanta::store {

std::uint32_t Win32Profiles::GetPrivateProfileString(const char* section, const char* key,
                                                     const char* default_value,
                                                     std::span<char> buffer, const char* file) {
  return ::GetPrivateProfileStringA(section, key, default_value, buffer.data(),
                                    static_cast<DWORD>(buffer.size()), file);
}

bool Win32Profiles::WritePrivateProfileString(const char* section, const char* key,
                                              const char* value, const char* file) {
  return ::WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool Win32Profiles::WritePrivateProfileSection(const char* section, const char* data,
                                               const char* file) {
  return ::WritePrivateProfileSectionA(section, data, file) != FALSE;
}

}  // namespace korvanta::store
