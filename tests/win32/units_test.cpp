// The renderer's arithmetic and encodings: twips at any DPI, the PNG files the
// smoke tour writes (read back by a decoder of the test's own), file filters.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/win32/dpi.h"
#include "ui/win32/png_writer.h"
#include "ui/win32/win32_dialogs.h"

namespace korvanta::ui::win32 {
namespace {

TEST(Dpi, TwipsBecomePixelsAtEveryScale) {
  // 96 DPI: 15 twips a pixel, the model's own measure.
  EXPECT_EQ(TwipsToPixels(10500, 96), 700);
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(8, 96), 1) << "halves round up";
  EXPECT_EQ(TwipsToPixels(-8, 96), -1) << "and away from zero below it";
  // 125 %, 150 %, 200 %.
  EXPECT_EQ(TwipsToPixels(10500, 120), 875);
  EXPECT_EQ(TwipsToPixels(10500, 144), 1050);
  EXPECT_EQ(TwipsToPixels(10500, 192), 1400);
  EXPECT_EQ(TwipsToPixels(369 * 15, 144), 554) << "553.5";
  EXPECT_EQ(PixelsToTwips(700, 96), 10500);
  EXPECT_EQ(PixelsToTwips(461, 120), 5532);
  // Points: 9 points is 12 pixels at 96 DPI, 18 at 144.
  EXPECT_EQ(FontHeight(9, 96), -12);
  EXPECT_EQ(FontHeight(9, 144), -18);
  EXPECT_EQ(FontHeight(10, 120), -17);
}

TEST(Dpi, SizesReportedBackDoNotCreep) {
  // A window told its size in twips must come out the same pixels again, or each
  // Resize would move it by a pixel.
  for (int dpi : {96, 120, 144, 168, 192, 240}) {
    for (int twips = 0; twips < 20000; twips += 7) {
      int pixels = TwipsToPixels(twips, dpi);
      EXPECT_EQ(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels)
          << twips << " twips at " << dpi << " DPI";
    }
  }
}

TEST(Dpi, ControlsThatTouchInTwipsTouchOnScreen) {
  // Two controls side by side at 125 %: edges are rounded, so no gap or overlap.
  for (int dpi : {96, 120, 144}) {
    PixelRect a = ToPixels({100, 40, 1337, 300}, dpi);
    PixelRect b = ToPixels({1437, 40, 1000, 300}, dpi);
    EXPECT_EQ(a.left + a.width, b.left) << dpi;
    // A frame's offset is added in twips, before rounding.
    PixelRect inside = ToPixels({150, 450, 2400, 300}, dpi, 600, 900);
    EXPECT_EQ(inside, ToPixels({750, 1350, 2400, 300}, dpi));
  }
}

// A reader of what EncodePng writes: chunks with their CRCs, a zlib stream of
// stored blocks with its Adler-32.
struct DecodedPng {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
};

std::uint32_t BigEndian(const std::string& s, std::size_t at) {
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at])) << 24) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 16) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 2])) << 8) |
         static_cast<std::uint8_t>(s[at + 3]);
}

DecodedPng Decode(const std::string& png) {
  DecodedPng out;
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::string idat;
  std::size_t at = 8;
  std::vector<std::string> types;
  while (at + 12 <= png.size()) {
    std::uint32_t length = BigEndian(png, at);
    std::string type = png.substr(at + 4, 4);
    std::string data = png.substr(at + 8, length);
    EXPECT_EQ(BigEndian(png, at + 8 + length), Crc32(png.substr(at + 4, 4 + length))) << type;
    types.push_back(type);
    if (type == "IHDR") {
      out.width = static_cast<int>(BigEndian(data, 0));
      out.height = static_cast<int>(BigEndian(data, 4));
      EXPECT_EQ(data.substr(8), std::string("\x08\x02\x00\x00\x00", 5));
    } else if (type == "IDAT") {
      idat += data;
    }
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_EQ((static_cast<std::uint8_t>(idat[0]) * 256 + static_cast<std::uint8_t>(idat[1])) % 31, 0)
      << "zlib header check";
  std::string raw;
  std::size_t p = 2;
  for (bool last = false; !last;) {
    last = idat[p] & 1;
    EXPECT_EQ(idat[p] & 6, 0) << "stored block";
    std::size_t n = static_cast<std::uint8_t>(idat[p + 1]) |
                    (static_cast<std::size_t>(static_cast<std::uint8_t>(idat[p + 2])) << 8);
    std::size_t inverse = static_cast<std::uint8_t>(idat[p + 3]) |
                          (static_cast<std::size_t>(static_cast<std::uint8_t>(idat[p + 4])) << 8);
    EXPECT_EQ(n ^ inverse, 0xffffu);
    raw += idat.substr(p + 5, n);
    p += 5 + n;
  }
  EXPECT_EQ(BigEndian(idat, p), Adler32(raw));
  std::size_t row = static_cast<std::size_t>(out.width) * 3 + 1;
  EXPECT_EQ(raw.size(), row * static_cast<std::size_t>(out.height));
  for (int y = 0; y < out.height; ++y) {
    EXPECT_EQ(raw[y * row], 0) << "filter of row " << y;
    out.rgb.insert(out.rgb.end(), raw.begin() + static_cast<long>(y * row + 1),
                   raw.begin() + static_cast<long>((y + 1) * row));
  }
  return out;
}

TEST(Png, ChecksumsMatchTheirStandards) {
  EXPECT_EQ(Crc32("123456789"), 0xcbf43926u);
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Adler32("Wikipedia"), 0x11e60398u);
  EXPECT_EQ(Adler32(""), 1u);
  // Long runs: the sums are reduced before they overflow.
  EXPECT_EQ(Adler32(std::string(100000, '\xff')), 0x149a302cu);
}

TEST(Png, PicturesReadBackPixelForPixel) {
  // 300 x 200 RGB: 180,200 bytes of scan lines, so three stored blocks.
  int width = 300, height = 200;
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      rgb.push_back(static_cast<std::uint8_t>(x));
      rgb.push_back(static_cast<std::uint8_t>(y));
      rgb.push_back(static_cast<std::uint8_t>(x ^ y));
    }
  }
  DecodedPng back = Decode(EncodePng(width, height, rgb));
  EXPECT_EQ(back.width, width);
  EXPECT_EQ(back.height, height);
  EXPECT_EQ(back.rgb, rgb);

  DecodedPng dot = Decode(EncodePng(1, 1, {1, 2, 3}));
  EXPECT_EQ(dot.rgb, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(FileDialog, FiltersBecomeNulSeparatedPairs) {
  EXPECT_EQ(FileDialogFilter("bmp文件|*.bmp"), std::wstring(L"bmp\u6587\u4ef6\0*.bmp\0\0", 13));
  EXPECT_EQ(FileDialogFilter("图标|*.ico;*.exe|所有文件|*.*"),
            std::wstring(L"\u56fe\u6807\0*.ico;*.exe\0\u6240\u6709\u6587\u4ef6\0*.*\0\0", 25));
  EXPECT_EQ(FileDialogFilter(""), L"") << "no filter: every file";
}

}  // namespace
}  // namespace korvanta::ui::win32
