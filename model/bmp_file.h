// The icon store's file format: a Windows bitmap file.  The header check runs
// before Windows sees the file, so a garbage, truncated or absurd-sized
// "Iconbmp.dat" is turned away instead of becoming a bitmap.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kb {

struct BmpInfo {
  int width = 0;
  int height = 0;          // always positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = 0;
  uint32_t pixelOffset = 0;
};

// Largest side accepted: far beyond any store (41 × 32 by 40 × 32 with the
// limits of the settings, 256 × 32 with the widest 8-bit list count).
constexpr int kMaxBmpSide = 16384;

// Parses and checks the file header and the information header: "BM", a
// known header size, 1 plane, a known depth and compression that fit each
// other, sane dimensions, palette and pixel data inside the file.
std::optional<BmpInfo> ParseBmp(std::string_view file);

// The same checks on the first bytes of a file of fileSize bytes (at least
// its headers): the sizes are checked against fileSize, so the pixels can
// then be read straight to where they belong.
std::optional<BmpInfo> ParseBmpHead(std::string_view head, uint64_t fileSize);

// The first bytes ParseBmpHead needs at most (headers and a full palette).
constexpr size_t kBmpHeadSize = 14 + 124 + 259 * 4;

// True when the file's pixel rows are laid out exactly as a 32-bit top-down
// DIB `width` pixels wide holds them (what the icon store saves).
bool IsStoreLayout(const BmpInfo& info, int width);

// True for the depths CopyRgbPixels reads itself (uncompressed 24 and 32
// bits: what the store writes); the others go through the system's reader.
bool IsPlainRgb(const BmpInfo& info);

// Copies the top-left part of a plain-RGB file (checked by ParseBmp) into
// top-down 0x00RRGGBB rows of dstWidth × dstHeight pixels; pixels the file
// does not cover are left alone.  32-bit rows are copied whole, their
// fourth byte as stored.
void CopyRgbPixels(std::string_view file, const BmpInfo& info, uint32_t* dst, int dstWidth,
                   int dstHeight);

// The file and information headers of a 32-bit top-down bitmap file of
// width × height pixels: followed by the rows of a 32-bit top-down DIB as
// they lie in memory, it is the whole file, so a store is saved without
// converting or copying its pixels.
std::string Bmp32TopDownHeader(int width, int height);

// A 24-bit bottom-up bitmap file from top-down 0x00RRGGBB pixels
// (width × height of them).
std::string EncodeBmp24(int width, int height, const std::vector<uint32_t>& topDownPixels);

}  // namespace kb
