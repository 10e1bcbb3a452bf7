#include "ui/win32/png_writer.h"

#include <array>
#include <cstddef>

namespace korvanta::ui::win32 {
namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xff);
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  std::string body(type);
  body.append(data);
  out += body;
  PutBigEndian(out, Crc32(body));
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  const auto& table = CrcTable();
  crc ^= 0xffffffffu;
  for (char ch : bytes) crc = table[(crc ^ static_cast<std::uint8_t>(ch)) & 0xff] ^ (crc >> 8);
  return crc ^ 0xffffffffu;
}

std::uint32_t Adler32(std::string_view bytes, std::uint32_t adler) {
  constexpr std::uint32_t kMod = 65521;
  std::uint32_t a = adler & 0xffff, b = adler >> 16;
  // 5552 bytes is the most that can be summed before the 32-bit sums overflow.
  while (!bytes.empty()) {
    std::size_t n = bytes.size() < 5552 ? bytes.size() : 5552;
    for (std::size_t i = 0; i < n; ++i) {
      a += static_cast<std::uint8_t>(bytes[i]);
      b += a;
    }
    a %= kMod;
    b %= kMod;
    bytes.remove_prefix(n);
  }
  return (b << 16) | a;
}

std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
  // Scan lines: filter type 0 (none), then the row's bytes.
  std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  std::string raw;
  raw.reserve((row_bytes + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(rgb.data()) + row_bytes * static_cast<std::size_t>(y),
               row_bytes);
  }

  // zlib stream: header (deflate, 32K window, no dictionary), stored blocks of at
  // most 65535 bytes, Adler-32 of the raw data.
  std::string zlib = "\x78\x01";
  std::size_t pos = 0;
  do {
    std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    bool last = pos + n == raw.size();
    zlib += static_cast<char>(last ? 1 : 0);
    zlib += static_cast<char>(n & 0xff);
    zlib += static_cast<char>(n >> 8);
    zlib += static_cast<char>(~n & 0xff);
    zlib += static_cast<char>((~n >> 8) & 0xff);
    zlib.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  PutBigEndian(zlib, Adler32(raw));

  std::string header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header += '\x08';                // bits per sample
  header += '\x02';                // colour type: RGB
  header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace

  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace korvanta::ui::win32
