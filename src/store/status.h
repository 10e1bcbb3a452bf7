#pragma once
// Status codes of the storage layer: the Win32 error codes the registry, profile
// and file calls return, so that both back ends report failures alike.

#include <cstdint>

namespace korvanta::store {

using Status = std::int32_t;

inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;   // ERROR_FILE_NOT_FOUND: missing key, value or file
inline constexpr Status kPathNotFound = 3;   // ERROR_PATH_NOT_FOUND
inline constexpr Status kAccessDenied = 5;   // ERROR_ACCESS_DENIED (also: key still has subkeys)
inline constexpr Status kInvalidHandle = 6;  // ERROR_INVALID_HANDLE
inline constexpr Status kInvalidData = 13;   // ERROR_INVALID_DATA: a text that is not a number
inline constexpr Status kWriteFault = 29;    // ERROR_WRITE_FAULT: a save that did not complete
inline constexpr Status kSharingViolation = 32;  // ERROR_SHARING_VIOLATION: machine in use by Wine
inline constexpr Status kFileExists = 80;        // ERROR_FILE_EXISTS
inline constexpr Status kInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr Status kMoreData = 234;         // ERROR_MORE_DATA
inline constexpr Status kNoMoreItems = 259;      // ERROR_NO_MORE_ITEMS
inline constexpr Status kBadPathname = 161;      // ERROR_BAD_PATHNAME
// ERROR_NO_UNICODE_TRANSLATION: a text holds characters the ANSI code page cannot.
inline constexpr Status kNoUnicodeTranslation = 1113;

}  // namespace korvanta::store
