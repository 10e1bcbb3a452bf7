#include "store/win32/registry_win32.h"

#include <string>

#include "store/win32/windows_api.h"

namespace korvanta::store {
namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
  }
  return HKEY_LOCAL_MACHINE;
}

HKEY ToHkey(KeyHandle key) {
  return reinterpret_cast<HKEY>(key.id);
}
KeyHandle FromHkey(HKEY key) {
  return KeyHandle{reinterpret_cast<std::uintptr_t>(key)};
}

}  // namespace

Status Win32Registry::OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                              KeyHandle& key) {
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExA(RootKey(root), std::string(path).c_str(), 0, access, &h);
  if (rc == ERROR_SUCCESS) key = FromHkey(h);
  return rc;
}

Status Win32Registry::CreateKey(RegRoot root, std::string_view path, KeyHandle& key) {
  HKEY h = nullptr;
  LONG rc = RegCreateKeyExA(RootKey(root), std::string(path).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &h, nullptr);
  if (rc == ERROR_SUCCESS) key = FromHkey(h);
  return rc;
}

Status Win32Registry::CloseKey(KeyHandle key) {
  return RegCloseKey(ToHkey(key));
}

Status Win32Registry::DeleteKey(RegRoot root, std::string_view path) {
  return RegDeleteKeyA(RootKey(root), std::string(path).c_str());
}

Status Win32Registry::QueryValue(KeyHandle key, std::string_view name, RegData& data) {
  std::string n(name);
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(ToHkey(key), n.c_str(), nullptr, &type, nullptr, &size);
  // The size asked first can be short of the truth for strings; grow until it fits.
  while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
    data.bytes.assign(size + 1, '\0');
    DWORD got = size + 1;
    rc = RegQueryValueExA(ToHkey(key), n.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(data.bytes.data()), &got);
    if (rc == ERROR_SUCCESS) {
      data.bytes.resize(got);
      data.type = type;
      return kSuccess;
    }
    if (rc != ERROR_MORE_DATA) break;
    size = got > size ? got : size * 2 + 16;
  }
  return rc;
}

Status Win32Registry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                               std::string_view bytes) {
  return RegSetValueExA(ToHkey(key), std::string(name).c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

Status Win32Registry::DeleteValue(KeyHandle key, std::string_view name) {
  return RegDeleteValueA(ToHkey(key), std::string(name).c_str());
}

Status Win32Registry::EnumValue(KeyHandle key, std::uint32_t index, std::string& name,
                                RegData& data) {
  DWORD max_name = 0, max_data = 0;
  RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &max_name, &max_data, nullptr, nullptr);
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string n(max_name + 2, '\0');
    data.bytes.assign(max_data + 2, '\0');
    DWORD name_size = static_cast<DWORD>(n.size()),
          data_size = static_cast<DWORD>(data.bytes.size());
    DWORD type = 0;
    LONG rc = RegEnumValueA(ToHkey(key), index, n.data(), &name_size, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.bytes.data()), &data_size);
    if (rc == ERROR_SUCCESS) {
      n.resize(name_size);
      name = std::move(n);
      data.bytes.resize(data_size);
      data.type = type;
      return kSuccess;
    }
    if (rc != ERROR_MORE_DATA) return rc;
    max_name = max_name * 2 + 64;
    max_data = max_data * 2 + 64;
  }
  return ERROR_MORE_DATA;
}

Status Win32Registry::EnumKey(KeyHandle key, std::uint32_t index, std::string& name) {
  DWORD max_name = 0;
  RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, nullptr, &max_name, nullptr, nullptr,
                   nullptr, nullptr, nullptr, nullptr);
  std::string n(max_name + 2 > 256 ? max_name + 2 : 256, '\0');
  DWORD size = static_cast<DWORD>(n.size());
  LONG rc = RegEnumKeyExA(ToHkey(key), index, n.data(), &size, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) {
    n.resize(size);
    name = std::move(n);
  }
  return rc;
}

}  // namespace korvanta::store
