// The one font every window of the launcher uses: "ＭＳ Ｐゴシック" with
// 12-pixel characters in the Shift-JIS character set.
#pragma once

#include <windows.h>

#include <string>

namespace kb::win {

// The request the UI font is made from (tests check it; forms never need it).
// `dpi` scales the 12 pixels of 96 dpi.
LOGFONTW UiLogFont(int dpi = 96);

// The shared font.  It is made on first use and lives until the process ends;
// it is never changed, so every window may select it without owning it.
HFONT UiFont();
// The same font at another DPI (made on first use for each DPI, kept too).
HFONT UiFont(int dpi);

// The extent of one line of Shift-JIS text in the UI font ("&" counts as a
// character: it is measured as shown by a label without prefixes).
SIZE MeasureUiText(const std::string& sjisText, int dpi = 96);

// Gives a window the UI font (WM_SETFONT with redraw).
void ApplyUiFont(HWND hwnd, int dpi = 96);

}  // namespace kb::win
