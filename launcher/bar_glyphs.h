// The small pictures of the bar's own buttons (settings, help, scroll),
// drawn in code so the bar needs no bitmap resources.  Each is a bitmap of
// the screen's format whose bottom-left pixel is the button face, the
// glyph's transparent colour.  The caller owns the bitmap.
#pragma once

#include <windows.h>

namespace kb {

enum class ArrowDirection { Left, Right, Up, Down };

HBITMAP MakeSettingsGlyph();                       // 32 × 32
HBITMAP MakeHelpGlyph();                           // two 16 × 16 images: normal, pressed-in look
HBITMAP MakeArrowGlyph(ArrowDirection direction);  // 16 × 16

}  // namespace kb
