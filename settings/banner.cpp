#include "settings/banner.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern const uint8_t kBannerBmp[];
extern const size_t kBannerBmpSize;

namespace kb {

HBITMAP LoadBannerPicture() {
  // A bitmap file: its file header, then the info header, palette and rows
  // exactly as a DIB section takes them.
  BITMAPFILEHEADER file;
  if (kBannerBmpSize < sizeof file + sizeof(BITMAPINFOHEADER)) return nullptr;
  std::memcpy(&file, kBannerBmp, sizeof file);
  if (file.bfOffBits <= sizeof file || file.bfOffBits > kBannerBmpSize) return nullptr;
  // The headers lie at an odd offset in the file: copied to aligned memory.
  std::vector<uint8_t> infoBytes(kBannerBmp + sizeof file, kBannerBmp + file.bfOffBits);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(infoBytes.data());
  const BITMAPINFOHEADER& head = info->bmiHeader;
  const size_t stride = ((static_cast<size_t>(head.biWidth) * head.biBitCount + 31) / 32) * 4;
  const size_t rows = static_cast<size_t>(head.biHeight < 0 ? -head.biHeight : head.biHeight);
  if (head.biCompression != BI_RGB || file.bfOffBits + stride * rows > kBannerBmpSize) return nullptr;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  std::memcpy(bits, kBannerBmp + file.bfOffBits, stride * rows);
  GdiFlush();
  return bitmap;
}

}  // namespace kb
