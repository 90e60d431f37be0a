#include "model/bmp_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kb {
namespace {

void Put16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}

// A well-formed uncompressed bitmap file with a 40-byte header.
std::string MakeBmp(int width, int height, int bits, uint32_t paletteEntries) {
  const uint32_t stride = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
  const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
  const uint32_t stored = paletteEntries ? paletteEntries : (bits <= 8 ? 1u << bits : 0u);
  const uint32_t offset = 14 + 40 + stored * 4;
  std::string s(offset + stride * rows, '\0');
  s[0] = 'B';
  s[1] = 'M';
  Put32(s, 2, static_cast<uint32_t>(s.size()));
  Put32(s, 10, offset);
  Put32(s, 14, 40);
  Put32(s, 18, static_cast<uint32_t>(width));
  Put32(s, 22, static_cast<uint32_t>(height));
  Put16(s, 26, 1);
  Put16(s, 28, static_cast<uint32_t>(bits));
  Put32(s, 46, paletteEntries);
  return s;
}

TEST(BmpFile, EncodedStoreParsesBackWithItsSizeAndPixels) {
  std::vector<uint32_t> pixels(64 * 96);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  const std::string file = EncodeBmp24(64, 96, pixels);
  const auto info = ParseBmp(file);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 64);
  EXPECT_EQ(info->height, 96);
  EXPECT_EQ(info->bitCount, 24);
  EXPECT_FALSE(info->topDown);
  // The last stored row is the top row; its first pixel is pixels[0] (BGR).
  const size_t topRow = info->pixelOffset + static_cast<size_t>(95) * 64 * 3;
  EXPECT_EQ(static_cast<uint8_t>(file[topRow]), pixels[0] & 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(file[topRow + 2]), (pixels[0] >> 16) & 0xFF);
  const size_t bottomRowSecond = info->pixelOffset + 3;
  EXPECT_EQ(static_cast<uint8_t>(file[bottomRowSecond + 1]), (pixels[95 * 64 + 1] >> 8) & 0xFF);
}

// The store's own save: the header followed by the DIB's rows as they lie in
// memory parses as a top-down 32-bit file and copies back row for row into
// a store of another size (wider and shorter), leaving the rest alone.
TEST(BmpFile, TopDown32FileOfRawRowsRoundTrips) {
  std::vector<uint32_t> pixels(5 * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x010203u * static_cast<uint32_t>(i + 1);
  const std::string file = Bmp32TopDownHeader(5, 4) +
                           std::string(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
  const auto info = ParseBmp(file);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 5);
  EXPECT_EQ(info->height, 4);
  EXPECT_EQ(info->bitCount, 32);
  EXPECT_TRUE(info->topDown);
  EXPECT_TRUE(IsPlainRgb(*info));
  EXPECT_EQ(info->pixelOffset, 54u);

  std::vector<uint32_t> store(7 * 3, 0xEEEEEE);
  CopyRgbPixels(file, *info, store.data(), 7, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(store[y * 7 + x], pixels[y * 5 + x]) << x << "," << y;
    EXPECT_EQ(store[y * 7 + 5], 0xEEEEEEu);
    EXPECT_EQ(store[y * 7 + 6], 0xEEEEEEu);
  }
  // A file one byte short of its pixel rows is refused.
  EXPECT_FALSE(ParseBmp(std::string_view(file).substr(0, file.size() - 1)));

  // Its headers alone, with the file's size, say the same; the rows can be
  // read straight into a store exactly as wide, not into another one.
  const std::string_view head = std::string_view(file).substr(0, 54);
  const auto fromHead = ParseBmpHead(head, file.size());
  ASSERT_TRUE(fromHead);
  EXPECT_EQ(fromHead->height, 4);
  EXPECT_FALSE(ParseBmpHead(head, file.size() - 1));
  EXPECT_TRUE(IsStoreLayout(*fromHead, 5));
  EXPECT_FALSE(IsStoreLayout(*fromHead, 7));
  const auto bottomUp = ParseBmp(EncodeBmp24(5, 4, pixels));
  ASSERT_TRUE(bottomUp);
  EXPECT_FALSE(IsStoreLayout(*bottomUp, 5));
}

TEST(BmpFile, RowsArePaddedToFourBytes) {
  const std::string file = EncodeBmp24(3, 2, std::vector<uint32_t>(6, 0x123456));
  EXPECT_EQ(file.size(), 14u + 40u + 2u * 12u);
  EXPECT_TRUE(ParseBmp(file));
}

TEST(BmpFile, AnyUsualDepthIsAccepted) {
  EXPECT_TRUE(ParseBmp(MakeBmp(32, 32, 1, 2)));
  EXPECT_TRUE(ParseBmp(MakeBmp(32, 32, 4, 16)));
  EXPECT_TRUE(ParseBmp(MakeBmp(32, 32, 4, 0)));  // 0 entries means the full palette
  EXPECT_TRUE(ParseBmp(MakeBmp(33, 7, 8, 256)));
  EXPECT_TRUE(ParseBmp(MakeBmp(32, 32, 16, 0)));
  EXPECT_TRUE(ParseBmp(MakeBmp(32, -32, 32, 0)));
  EXPECT_TRUE(ParseBmp(MakeBmp(32, -32, 32, 0))->topDown);
}

TEST(BmpFile, GarbageAndTruncatedFilesAreRefused) {
  EXPECT_FALSE(ParseBmp(""));
  EXPECT_FALSE(ParseBmp("BM"));
  EXPECT_FALSE(ParseBmp(std::string(4096, 'x')));
  const std::string good = MakeBmp(64, 64, 24, 0);
  EXPECT_FALSE(ParseBmp(good.substr(0, good.size() - 1)));
  EXPECT_FALSE(ParseBmp(good.substr(0, 30)));
  const std::string palette = MakeBmp(32, 32, 8, 256);
  EXPECT_FALSE(ParseBmp(palette.substr(0, 14 + 40 + 100)));
}

TEST(BmpFile, AbsurdOrBrokenHeadersAreRefused) {
  std::string wide = MakeBmp(32, 32, 24, 0);
  Put32(wide, 18, 2000000000);  // the pixel data would need gigabytes
  EXPECT_FALSE(ParseBmp(wide));
  std::string tall = MakeBmp(32, 32, 24, 0);
  Put32(tall, 22, 0x80000000u);
  EXPECT_FALSE(ParseBmp(tall));
  std::string zero = MakeBmp(32, 32, 24, 0);
  Put32(zero, 18, 0);
  EXPECT_FALSE(ParseBmp(zero));
  std::string planes = MakeBmp(32, 32, 24, 0);
  Put16(planes, 26, 2);
  EXPECT_FALSE(ParseBmp(planes));
  std::string depth = MakeBmp(32, 32, 24, 0);
  Put16(depth, 28, 7);
  EXPECT_FALSE(ParseBmp(depth));
  std::string header = MakeBmp(32, 32, 24, 0);
  Put32(header, 14, 41);
  EXPECT_FALSE(ParseBmp(header));
  std::string offset = MakeBmp(32, 32, 24, 0);
  Put32(offset, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(ParseBmp(offset));
  std::string palette = MakeBmp(32, 32, 8, 256);
  Put32(palette, 46, 257);
  EXPECT_FALSE(ParseBmp(palette));
  std::string rle = MakeBmp(32, 32, 24, 0);
  Put32(rle, 30, 1);  // run-length coding needs 8 bits
  EXPECT_FALSE(ParseBmp(rle));
  EXPECT_FALSE(ParseBmp(MakeBmp(kMaxBmpSide + 1, 1, 1, 2)));
}

TEST(BmpFile, RunLengthDataMustFitTheFile) {
  std::string rle = MakeBmp(32, 32, 8, 256);
  rle.resize(14 + 40 + 1024 + 4);
  Put32(rle, 30, 1);
  Put32(rle, 34, 4);  // four bytes of run-length data
  EXPECT_TRUE(ParseBmp(rle));
  Put32(rle, 34, 5);
  EXPECT_FALSE(ParseBmp(rle));
  Put32(rle, 34, 0);
  EXPECT_FALSE(ParseBmp(rle));
}

TEST(BmpFile, OldCoreHeaderIsAccepted) {
  std::string core(14 + 12 + 2 * 3 + 4 * 8, '\0');
  core[0] = 'B';
  core[1] = 'M';
  Put32(core, 10, 14 + 12 + 6);
  Put32(core, 14, 12);
  Put16(core, 18, 8);  // 8 × 8, 1 bit: rows of 4 bytes
  Put16(core, 20, 8);
  Put16(core, 22, 1);
  Put16(core, 24, 1);
  EXPECT_TRUE(ParseBmp(core));
  EXPECT_FALSE(ParseBmp(core.substr(0, core.size() - 4)));
}

}  // namespace
}  // namespace kb

namespace kb {
namespace {

TEST(BmpFile, PlainRgbFilesAreCopiedTopLeftInto32BitRows) {
  std::vector<uint32_t> pixels(5 * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x010203u * static_cast<uint32_t>(i + 1);
  const std::string file = EncodeBmp24(5, 4, pixels);
  const auto info = ParseBmp(file);
  ASSERT_TRUE(info && IsPlainRgb(*info));
  std::vector<uint32_t> wide(8 * 6, 0xABCDEF);
  CopyRgbPixels(file, *info, wide.data(), 8, 6);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(wide[y * 8 + x], pixels[y * 5 + x]) << x << "," << y;
  EXPECT_EQ(wide[5], 0xABCDEFu);       // beyond the file's width
  EXPECT_EQ(wide[4 * 8], 0xABCDEFu);   // beyond its height
  std::vector<uint32_t> small(2 * 2, 0);
  CopyRgbPixels(file, *info, small.data(), 2, 2);
  EXPECT_EQ(small[3], pixels[1 * 5 + 1]);
}

}  // namespace
}  // namespace kb
