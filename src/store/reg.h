#pragma once
// The Registry Access Layer: how every page reads, writes and deletes registry
// values. Texts are UTF-8 here and cross to the back end in the ANSI code page.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/codepage.h"
#include "store/registry_backend.h"
#include "store/variant.h"
#include "store/write_failures.h"

namespace korvanta::store {

class Registry {
 public:
  // Writes that fail are recorded in failures, when given.
  Registry(RegistryBackend& backend, const Codepage& codepage, WriteFailures* failures = nullptr)
      : backend_(backend), codepage_(codepage), failures_(failures) {}

  const Codepage& codepage() const { return codepage_; }

  // Reads one value into value: a text for REG_SZ and REG_EXPAND_SZ (unexpanded,
  // whatever its length), a signed integer for REG_DWORD and REG_BINARY of up to 4
  // bytes. Leaves value untouched when the key or value is missing (kFileNotFound),
  // for a longer binary value (kMoreData) and for other types (kSuccess).
  Status QueryValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                    Variant& value);
  // The same, and the type the value is stored with (left as it was when the value
  // is missing).
  Status QueryValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                    Variant& value, std::uint32_t& type);
  // Writes one value, creating the key and every missing level above it. REG_SZ
  // and REG_EXPAND_SZ store the text whole with one terminating zero; REG_DWORD
  // stores value as a 32-bit integer; REG_BINARY the first size bytes (at most 4)
  // of it. size becomes the byte count stored; value becomes the integer for the
  // number types. A text that is not a number writes nothing (kInvalidData), nor
  // does a text the ANSI code page cannot hold whole (kNoUnicodeTranslation).
  Status SetValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                  std::uint32_t type, Variant& value, std::int32_t& size);
  Status SetValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                  std::uint32_t type, Variant value);
  // Writes raw bytes as they stand (for values a page writes with an explicit count).
  Status SetRawValue(RegRoot root, std::string_view sub_key, std::string_view value_name,
                     std::uint32_t type, std::string_view bytes);
  // Deletes one value; a missing key or value is no error (kSuccess).
  Status DeleteValue(RegRoot root, std::string_view sub_key, std::string_view value_name);

  // For pages that walk the values of a key: OpenKey, EnumValue from index 0 until
  // it fails, CloseKey.
  Status OpenKey(RegRoot root, std::string_view sub_key, std::uint32_t access, KeyHandle& key);
  Status CloseKey(KeyHandle key);
  Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name);
  Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name);

  // RegCreateKeyA: the key exists afterwards; an existing key and its values stay.
  Status CreateKey(RegRoot root, std::string_view sub_key);
  // RegDeleteKeyA: removes a key without subkeys; a missing key reports
  // kFileNotFound but is not recorded as a failed write.
  Status DeleteKey(RegRoot root, std::string_view sub_key);

 private:
  // Records a failed write of root\sub_key (\value_name when given).
  Status Recorded(Status status, RegRoot root, std::string_view sub_key,
                  const std::string_view* value_name, std::string_view unstorable = {});

  RegistryBackend& backend_;
  const Codepage& codepage_;
  WriteFailures* failures_;
};

// "HKEY_LOCAL_MACHINE" and the like.
std::string_view RootName(RegRoot root);

}  // namespace korvanta::store
