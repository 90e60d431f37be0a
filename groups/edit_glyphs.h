// The two-state glyphs (normal and disabled side by side, 36 x 18) of the
// registration dialog's "登録削除" and "更新(&A)" buttons, drawn at run time.
#pragma once

#include <windows.h>

namespace kb {

inline constexpr int kTwoStateGlyphWidth = 36;
inline constexpr int kTwoStateGlyphHeight = 18;

// At `dpi` each is drawn at its size scaled from 96 dpi.
// A red cross: deleting the registration.
HBITMAP CreateDeleteGlyph(int dpi = 96);
// A blue circular arrow: taking the list again.
HBITMAP CreateUpdateGlyph(int dpi = 96);

}  // namespace kb
