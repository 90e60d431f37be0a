// The small pictures of the bar's own buttons (settings, help, scroll),
// drawn in code so the bar needs no bitmap resources.  Each is a bitmap of
// the screen's format whose bottom-left pixel is the button face, the
// glyph's transparent colour.  The caller owns the bitmap.  Each is drawn
// at the bar's scale (the sizes below are those of 96 dpi), never stretched.
#pragma once

#include <windows.h>

#include "model/dpi_scale.h"

namespace kb {

enum class ArrowDirection { Left, Right, Up, Down };

HBITMAP MakeSettingsGlyph(DpiScale s = {});  // 32 × 32
HBITMAP MakeHelpGlyph(DpiScale s = {});      // two 16 × 16 images: normal, pressed-in look
HBITMAP MakeArrowGlyph(ArrowDirection direction, DpiScale s = {});  // 16 × 16

}  // namespace kb
