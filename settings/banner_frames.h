// The version page's animation: six frames, one a second, drawn over the
// banner's top-left corner.  Frame 0 is the banner's own corner (source row
// 0); frames 1 to 5 lie below the banner in the picture, 40 rows each.
#pragma once

#include <cstdint>

namespace kb {

inline constexpr int kBannerWidth = 350;
inline constexpr int kBannerPictureHeight = 280;
inline constexpr int kBannerHeight = 80;  // the whole banner: rows 0 to 79
inline constexpr int kFrameWidth = 240;
inline constexpr int kFrameHeight = 40;
inline constexpr int kFrameCount = 6;

// The picture row the frame for counter value `counter` is copied from.
constexpr int FrameSourceRow(uint8_t counter) {
  const int f = counter % kFrameCount;
  return f == 0 ? 0 : f * kFrameHeight + kFrameHeight;
}

// The counter after a frame was drawn: it runs 0 … 5 and starts again.
constexpr uint8_t NextFrame(uint8_t counter) {
  return static_cast<uint8_t>(counter + 1 > kFrameCount - 1 ? 0 : counter + 1);
}

}  // namespace kb
