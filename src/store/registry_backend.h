#pragma once
// The registry as a back end offers it: the advapi32 calls the program makes, with
// every text in the machine's ANSI code page (as the ...A calls take and return it).
// The Registry Access Layer (reg.h) is the only caller; it converts to and from
// UTF-8 and adds the program's rules on top.

#include <cstdint>
#include <string>
#include <string_view>

#include "store/status.h"

namespace korvanta::store {

enum class RegRoot : std::uint32_t {
  kClassesRoot = 0x80000000u,
  kCurrentUser = 0x80000001u,
  kLocalMachine = 0x80000002u,
};

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;

// An open key; 0 is no key. Its meaning belongs to the back end that issued it.
struct KeyHandle {
  std::uintptr_t id = 0;
  explicit operator bool() const { return id != 0; }
};

// A value as RegQueryValueExA returns it: for the string types (1, 2, 7) the data
// is in the ANSI code page and holds the terminating zero(s) as stored; other
// types are the raw bytes.
struct RegData {
  std::uint32_t type = kRegNone;
  std::string bytes;
};

class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;

  // RegOpenKeyExA: kFileNotFound when a level of the path is missing.
  virtual Status OpenKey(RegRoot root, std::string_view path, std::uint32_t access,
                         KeyHandle& key) = 0;
  // RegCreateKeyExA (non-volatile): opens the key, creating it and every missing
  // level above it; an existing key and its values stay as they are.
  virtual Status CreateKey(RegRoot root, std::string_view path, KeyHandle& key) = 0;
  virtual Status CloseKey(KeyHandle key) = 0;
  // RegDeleteKeyA: removes a key without subkeys (kAccessDenied when it has some).
  virtual Status DeleteKey(RegRoot root, std::string_view path) = 0;

  // RegQueryValueExA of the whole value, whatever its length; "" is the default value.
  virtual Status QueryValue(KeyHandle key, std::string_view name, RegData& data) = 0;
  // RegSetValueExA: string types are converted from ANSI as the system does. As
  // the system does, it looks at the byte after the data of a string type (a
  // terminator the count left out is added when it is there): bytes must be
  // followed by a readable byte, as a std::string's are.
  virtual Status SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                          std::string_view bytes) = 0;
  virtual Status DeleteValue(KeyHandle key, std::string_view name) = 0;
  // RegEnumValueA at index (from 0) with buffers large enough for any name and
  // data; kNoMoreItems after the last value.
  virtual Status EnumValue(KeyHandle key, std::uint32_t index, std::string& name,
                           RegData& data) = 0;
  // RegEnumKeyExA at index (from 0); kNoMoreItems after the last subkey.
  virtual Status EnumKey(KeyHandle key, std::uint32_t index, std::string& name) = 0;
};

}  // namespace korvanta::store
