#pragma once
// The program password as stored: a salted, iterated SHA-256 of the password's
// UTF-8 bytes, so the registry value no longer gives the password away. Values
// stored as plain text by earlier versions are still accepted.

#include <string>
#include <string_view>

namespace korvanta::password {

// "kv1$<iterations>$<salt hex>$<hash hex>" for a new random salt.
std::string HashPassword(std::string_view password);
// Whether typed is the password stored; a stored value that is not a hash is an
// earlier version's plain text and compares exactly.
bool PasswordMatches(std::string_view stored, std::string_view typed);
bool IsPasswordHash(std::string_view stored);

// SHA-256 of bytes, as 32 raw bytes.
std::string Sha256(std::string_view bytes);

}  // namespace korvanta::password
