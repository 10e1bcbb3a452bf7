#include "store/settings_store.h"

#include <span>

#include "store/paths.h"

namespace korvanta::store {

std::uint32_t SettingsStore::Read(const char* section, const char* key, const char* default_value,
                                  std::uint32_t capacity, const char* file, std::string& buffer) {
  buffer.assign(capacity, '\0');
  if (capacity == 0) return 0;
  return backend_.GetPrivateProfileString(section, key, default_value, std::span<char>(buffer),
                                          file);
}

bool SettingsStore::Write(std::string_view section, std::string_view key,
                          std::optional<std::string_view> value, const char* ansi_file) {
  if (std::string bad = value ? codepage_.Unstorable(*value) : std::string(); !bad.empty()) {
    if (failures_) {
      failures_->RecordUnstorable(
          codepage_.FromAnsi(ansi_file) + " [" + std::string(section) + "] " + std::string(key),
          bad);
    }
    return false;
  }
  std::string s = codepage_.ToAnsi(section), k = codepage_.ToAnsi(key);
  std::string v = value ? codepage_.ToAnsi(*value) : std::string();
  bool written = backend_.WritePrivateProfileString(s.c_str(), k.c_str(),
                                                    value ? v.c_str() : nullptr, ansi_file);
  // A delete of what is not there may fail too: only a value not stored counts.
  if (!written && value && failures_) {
    failures_->Record(codepage_.FromAnsi(ansi_file) + " [" + std::string(section) + "] " +
                      std::string(key));
  }
  return written;
}

std::string SettingsStore::INIReadKey(std::string_view section, std::string_view key,
                                      std::string_view file, std::uint32_t capacity) {
  std::string s = codepage_.ToAnsi(section), k = codepage_.ToAnsi(key), f = codepage_.ToAnsi(file);
  std::string buffer;
  Read(s.c_str(), k.c_str(), "", capacity, f.c_str(), buffer);
  return codepage_.FromAnsi(StripNull(buffer));
}

bool SettingsStore::INIWriteKey(std::string_view section, std::string_view key,
                                const Variant& value, std::string_view file) {
  // The whole text: values used to be cut to 128 characters, which stored cut
  // folder paths in the backup index and sent restores to the wrong place.
  return Write(section, key, value.ToText(), codepage_.ToAnsi(file).c_str());
}

int SettingsStore::INIDeleteKey(std::string_view section, std::string_view key,
                                std::string_view file) {
  Write(section, key, std::nullopt, codepage_.ToAnsi(file).c_str());
  return 0;
}

int SettingsStore::INIDeleteSectionAll(std::string_view section, std::string_view file) {
  std::string s = codepage_.ToAnsi(section), f = codepage_.ToAnsi(file);
  backend_.WritePrivateProfileSection(s.c_str(), nullptr, f.c_str());
  return 0;
}

std::uint32_t SettingsStore::GetProfileString(std::string_view section, std::string_view key,
                                              std::string_view default_value,
                                              std::uint32_t capacity, std::string& text) {
  std::string s = codepage_.ToAnsi(section), k = codepage_.ToAnsi(key),
              d = codepage_.ToAnsi(default_value);
  std::string buffer;
  std::uint32_t count = Read(s.c_str(), k.c_str(), d.c_str(), capacity, kSystemProfile, buffer);
  text = codepage_.FromAnsi(std::string_view(buffer).substr(0, count));
  return count;
}

bool SettingsStore::WriteProfileString(std::string_view section, std::string_view key,
                                       std::optional<std::string_view> value) {
  return Write(section, key, value, kSystemProfile);
}

}  // namespace korvanta::store
