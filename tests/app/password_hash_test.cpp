#include "password/password_hash.h"

#include <gtest/gtest.h>

namespace korvanta::app {
namespace {

std::string Hex(const std::string& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) out += {kDigits[c >> 4], kDigits[c & 15]};
  return out;
}

TEST(PasswordHash, Sha256KnownAnswers) {
  EXPECT_EQ(Hex(password::Sha256("")),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(password::Sha256("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Hex(password::Sha256(std::string(1000, 'a'))),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

TEST(PasswordHash, StoredHashesVerifyAndNeverHoldThePassword) {
  std::string stored = password::HashPassword("秘密Abc");
  EXPECT_TRUE(password::IsPasswordHash(stored));
  EXPECT_EQ(stored.find("秘密Abc"), std::string::npos);
  EXPECT_TRUE(password::PasswordMatches(stored, "秘密Abc"));
  EXPECT_FALSE(password::PasswordMatches(stored, "秘密abc")) << "letter case counts";
  EXPECT_FALSE(password::PasswordMatches(stored, ""));
  EXPECT_NE(password::HashPassword("秘密Abc"), stored) << "every hash has its own salt";

  // Any one digit of the salt or the hash changed: first, middle and last.
  const std::size_t hash = stored.rfind('$') + 1, salt = stored.rfind('$', hash - 2) + 1;
  for (std::size_t at : {salt, salt + 15, hash - 2, hash, hash + 1, hash + 31, hash + 32,
                         stored.size() - 2, stored.size() - 1}) {
    std::string tampered = stored;
    tampered[at] = tampered[at] == '0' ? '1' : '0';
    EXPECT_FALSE(password::PasswordMatches(tampered, "秘密Abc")) << "digit " << at;
  }
  EXPECT_FALSE(password::PasswordMatches("kv1$x$00$00", "x")) << "a malformed hash matches nothing";
}

TEST(PasswordHash, PlainTextOfEarlierVersionsStillWorks) {
  EXPECT_TRUE(password::PasswordMatches("abc", "abc"));
  EXPECT_FALSE(password::PasswordMatches("abc", "ABC"));
  EXPECT_TRUE(password::PasswordMatches("", "")) << "no password matches the empty text";
  EXPECT_FALSE(password::IsPasswordHash("abc"));
}

}  // namespace
}  // namespace korvanta::app
