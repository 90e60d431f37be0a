// The version page's banner picture (made by res/make_banner.sh): a bitmap
// of 350 x 280 pixels, 8 bits per pixel, laid out as banner_frames.h says.
#pragma once

#include <windows.h>

namespace kb {

// A new DIB section holding the picture, owned by the caller; nullptr when
// Windows refuses to make it.
HBITMAP LoadBannerPicture();

}  // namespace kb
