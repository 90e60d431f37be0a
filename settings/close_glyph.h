// The glyph of the settings dialog's "Kobaruneの終了(&C)" button: an open
// door with an arrow leaving it, normal and disabled side by side (32 x 16).
#pragma once

#include <windows.h>

namespace kb {

inline constexpr int kCloseGlyphWidth = 32;
inline constexpr int kCloseGlyphHeight = 16;

// At `dpi` drawn at its size scaled from 96 dpi.
HBITMAP CreateCloseGlyph(int dpi = 96);

}  // namespace kb
