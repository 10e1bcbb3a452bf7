#pragma once
// A PNG encoder small enough to carry: 8-bit RGB, no filtering, the image data in
// stored (uncompressed) deflate blocks. Screenshots need nothing more.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::ui::win32 {

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);
std::uint32_t Adler32(std::string_view bytes, std::uint32_t adler = 1);

// rgb holds height rows of width pixels, three bytes (red, green, blue) each.
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace korvanta::ui::win32
