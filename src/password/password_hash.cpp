#include "password/password_hash.h"

#include <array>
#include <cstdint>
#include <random>

namespace korvanta::password {
namespace {

constexpr std::string_view kPrefix = "kv1$";
constexpr int kIterations = 20000;

constexpr std::array<std::uint32_t, 64> kK = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

std::uint32_t Rotr(std::uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

std::string Hex(std::string_view bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(kDigits[c >> 4]);
    out.push_back(kDigits[c & 15]);
  }
  return out;
}

std::string Derive(std::string_view salt, std::string_view password, int iterations) {
  std::string h = Sha256(std::string(salt) + std::string(password));
  for (int i = 1; i < iterations; ++i) h = Sha256(h + std::string(salt));
  return h;
}

}  // namespace

std::string Sha256(std::string_view bytes) {
  std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::string data(bytes);
  std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  data.push_back(static_cast<char>(0x80));
  while (data.size() % 64 != 56) data.push_back('\0');
  for (int i = 7; i >= 0; --i) data.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
  for (std::size_t chunk = 0; chunk < data.size(); chunk += 64) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(data.data() + chunk + 4 * i);
      w[i] = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
             (std::uint32_t{p[2]} << 8) | p[3];
    }
    for (int i = 16; i < 64; ++i) {
      std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, hh] = h;
    for (int i = 0; i < 64; ++i) {
      std::uint32_t s1 = Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25);
      std::uint32_t ch = (e & f) ^ (~e & g);
      std::uint32_t t1 = hh + s1 + ch + kK[i] + w[i];
      std::uint32_t s0 = Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22);
      std::uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
      std::uint32_t t2 = s0 + maj;
      hh = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += hh;
  }
  std::string out;
  for (std::uint32_t v : h) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  }
  return out;
}

bool IsPasswordHash(std::string_view stored) {
  return stored.substr(0, kPrefix.size()) == kPrefix;
}

std::string HashPassword(std::string_view password) {
  std::random_device random;
  std::string salt;
  for (int i = 0; i < 16; ++i) salt.push_back(static_cast<char>(random() & 0xff));
  return std::string(kPrefix) + std::to_string(kIterations) + "$" + Hex(salt) + "$" +
         Hex(Derive(salt, password, kIterations));
}

bool PasswordMatches(std::string_view stored, std::string_view typed) {
  if (!IsPasswordHash(stored)) return stored == typed;
  std::string_view rest = stored.substr(kPrefix.size());
  std::size_t a = rest.find('$');
  std::size_t b = a == std::string_view::npos ? a : rest.find('$', a + 1);
  if (b == std::string_view::npos) return false;
  int iterations = 0;
  for (char c : rest.substr(0, a)) {
    if (c < '0' || c > '9' || iterations > 10000000) return false;
    iterations = iterations * 10 + (c - '0');
  }
  if (iterations < 1) return false;
  std::string_view salt_hex = rest.substr(a + 1, b - a - 1);
  if (salt_hex.size() % 2) return false;
  std::string salt;
  for (std::size_t i = 0; i < salt_hex.size(); i += 2) {
    auto nibble = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      return -1;
    };
    int hi = nibble(salt_hex[i]), lo = nibble(salt_hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    salt.push_back(static_cast<char>(hi * 16 + lo));
  }
  std::string expected = Hex(Derive(salt, typed, iterations));
  std::string_view actual = rest.substr(b + 1);
  // Compare without stopping early.
  if (actual.size() != expected.size()) return false;
  unsigned diff = 0;
  for (std::size_t i = 0; i < actual.size(); ++i)
    diff |= static_cast<unsigned>(actual[i] ^ expected[i]);
  return diff == 0;
}

}  // namespace korvanta::password
