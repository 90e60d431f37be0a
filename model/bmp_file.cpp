#include "model/bmp_file.h"

#include <algorithm>
#include <cstring>

namespace kb {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
constexpr size_t kFileHeaderSize = 14;

uint32_t U16(std::string_view s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 1])) << 8;
}
uint32_t U32(std::string_view s, size_t at) { return U16(s, at) | U16(s, at + 2) << 16; }
int32_t S32(std::string_view s, size_t at) { return static_cast<int32_t>(U32(s, at)); }

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The file header and the 40-byte information header of an uncompressed
// bitmap whose pixels follow at once.
void PutHeaders(std::string& out, int width, int height, int bitCount, uint32_t imageSize) {
  const uint32_t offset = kFileHeaderSize + 40;
  out += "BM";
  Put32(out, offset + imageSize);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bitCount));
  Put32(out, kRgb);
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

bool DepthFitsCompression(int bits, uint32_t compression) {
  switch (compression) {
    case kRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    case kBitFields: return bits == 16 || bits == 32;
    default: return false;
  }
}

// Reads the information header (the old 12-byte core form or the 40-byte
// form and its extensions) into info; false when it is not a bitmap.
bool ReadInfoHeader(std::string_view file, BmpInfo& info, uint32_t& headerSize,
                    uint32_t& paletteEntries, uint32_t& entrySize, uint32_t& imageSize) {
  headerSize = U32(file, kFileHeaderSize);
  const size_t at = kFileHeaderSize + 4;
  if (headerSize == 12) {
    if (file.size() < kFileHeaderSize + 12) return false;
    info.width = static_cast<int>(U16(file, at));
    info.height = static_cast<int>(U16(file, at + 2));
    if (U16(file, at + 4) != 1) return false;
    info.bitCount = static_cast<int>(U16(file, at + 6));
    info.compression = kRgb;
    entrySize = 3;
    paletteEntries = info.bitCount <= 8 ? (1u << info.bitCount) : 0;
    imageSize = 0;
    return true;
  }
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
      headerSize != 124)
    return false;
  if (file.size() < kFileHeaderSize + headerSize) return false;
  const int32_t width = S32(file, at);
  const int32_t height = S32(file, at + 4);
  if (U16(file, at + 8) != 1) return false;
  info.bitCount = static_cast<int>(U16(file, at + 10));
  info.compression = U32(file, at + 12);
  imageSize = U32(file, at + 16);
  const uint32_t used = U32(file, at + 28);
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  info.width = width;
  info.topDown = height < 0;
  info.height = height < 0 ? -height : height;
  entrySize = 4;
  if (info.bitCount <= 8) {
    const uint32_t full = 1u << info.bitCount;
    if (used > full) return false;
    paletteEntries = used ? used : full;
  } else {
    paletteEntries = used;
  }
  // Bit masks after a 40-byte header belong to the palette area.
  if (headerSize == 40 && info.compression == kBitFields) paletteEntries += 3;
  return true;
}

}  // namespace

std::optional<BmpInfo> ParseBmp(std::string_view file) { return ParseBmpHead(file, file.size()); }

std::optional<BmpInfo> ParseBmpHead(std::string_view file, uint64_t fileSize) {
  if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  BmpInfo info;
  uint32_t headerSize = 0, paletteEntries = 0, entrySize = 0, imageSize = 0;
  if (!ReadInfoHeader(file, info, headerSize, paletteEntries, entrySize, imageSize))
    return std::nullopt;
  if (!DepthFitsCompression(info.bitCount, info.compression)) return std::nullopt;
  if (info.width <= 0 || info.height <= 0 || info.width > kMaxBmpSide || info.height > kMaxBmpSide)
    return std::nullopt;
  // Run-length data cannot be stored top-down.
  if (info.topDown && (info.compression == kRle8 || info.compression == kRle4)) return std::nullopt;

  const uint64_t size = fileSize;
  const uint64_t paletteEnd =
      kFileHeaderSize + uint64_t{headerSize} + uint64_t{paletteEntries} * entrySize;
  if (paletteEntries > 256 + 3 || paletteEnd > size) return std::nullopt;
  info.pixelOffset = U32(file, 10);
  if (info.pixelOffset < paletteEnd || info.pixelOffset >= size) return std::nullopt;

  const uint64_t available = size - info.pixelOffset;
  if (info.compression == kRle8 || info.compression == kRle4) {
    if (imageSize == 0 || imageSize > available) return std::nullopt;
  } else {
    const uint64_t stride = ((uint64_t{static_cast<uint32_t>(info.width)} * info.bitCount + 31) / 32) * 4;
    if (stride * static_cast<uint64_t>(info.height) > available) return std::nullopt;
  }
  return info;
}

bool IsStoreLayout(const BmpInfo& info, int width) {
  return IsPlainRgb(info) && info.bitCount == 32 && info.topDown && info.width == width;
}

bool IsPlainRgb(const BmpInfo& info) {
  return info.compression == kRgb && (info.bitCount == 24 || info.bitCount == 32);
}

void CopyRgbPixels(std::string_view file, const BmpInfo& info, uint32_t* dst, int dstWidth,
                   int dstHeight) {
  const size_t bytesPerPixel = static_cast<size_t>(info.bitCount) / 8;
  const size_t stride = ((static_cast<size_t>(info.width) * info.bitCount + 31) / 32) * 4;
  const int width = std::min(info.width, dstWidth), height = std::min(info.height, dstHeight);
  const auto* bytes = reinterpret_cast<const uint8_t*>(file.data()) + info.pixelOffset;
  for (int y = 0; y < height; ++y) {
    const int stored = info.topDown ? y : info.height - 1 - y;
    const uint8_t* from = bytes + static_cast<size_t>(stored) * stride;
    uint32_t* to = dst + static_cast<size_t>(y) * static_cast<size_t>(dstWidth);
    if (bytesPerPixel == 4) {
      std::memcpy(to, from, static_cast<size_t>(width) * 4);
      continue;
    }
    for (int x = 0; x < width; ++x, from += bytesPerPixel) {
      to[x] = static_cast<uint32_t>(from[0]) | static_cast<uint32_t>(from[1]) << 8 |
              static_cast<uint32_t>(from[2]) << 16;
    }
  }
}

std::string Bmp32TopDownHeader(int width, int height) {
  const uint32_t imageSize = static_cast<uint32_t>(width) * 4 * static_cast<uint32_t>(height);
  std::string out;
  PutHeaders(out, width, -height, 32, imageSize);  // negative height: top-down rows
  return out;
}

std::string EncodeBmp24(int width, int height, const std::vector<uint32_t>& topDownPixels) {
  const uint32_t stride = ((static_cast<uint32_t>(width) * 24 + 31) / 32) * 4;
  const uint32_t imageSize = stride * static_cast<uint32_t>(height);
  const uint32_t offset = kFileHeaderSize + 40;
  std::string out;
  out.reserve(offset + imageSize);
  PutHeaders(out, width, height, 24, imageSize);  // positive height: bottom-up rows
  out.resize(offset + imageSize, '\0');  // row padding stays zero
  char* rows = out.data() + offset;
  for (int row = 0; row < height; ++row) {
    const uint32_t* from = topDownPixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width);
    char* to = rows + static_cast<size_t>(height - 1 - row) * stride;
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = from[x];
      *to++ = static_cast<char>(rgb & 0xFF);          // blue
      *to++ = static_cast<char>((rgb >> 8) & 0xFF);   // green
      *to++ = static_cast<char>((rgb >> 16) & 0xFF);  // red
    }
  }
  return out;
}

}  // namespace kb
