#pragma once
// The registry of the live machine through advapi32's ANSI calls.

#include "store/registry_backend.h"

namespace korvanta::store {

class Win32Registry final : public RegistryBackend {
 public:
  Status OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                 KeyHandle& key) override;
  Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) override;
  Status CloseKey(KeyHandle key) override;
  Status DeleteKey(RegRoot root, std::string_view path) override;
  Status QueryValue(KeyHandle key, std::string_view name, RegData& data) override;
  Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) override;
  Status DeleteValue(KeyHandle key, std::string_view name) override;
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name, RegData& data) override;
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
};

}  // namespace korvanta::store
