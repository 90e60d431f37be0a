#include "settings/close_glyph.h"

#include "win/dpi.h"

namespace kb {
namespace {

// The bottom-left pixel is the glyph's transparent colour; olive appears
// nowhere in the picture.
constexpr COLORREF kTransparent = RGB(128, 128, 0);

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  RECT r{left, top, right, bottom};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The door frame, the door swung open and the arrow, drawn at x = left.
void PaintDoor(HDC dc, int left, COLORREF frame, COLORREF door, COLORREF arrow) {
  Fill(dc, left + 1, 1, left + 9, 2, frame);    // lintel
  Fill(dc, left + 1, 1, left + 2, 15, frame);   // jambs
  Fill(dc, left + 8, 1, left + 9, 15, frame);
  Fill(dc, left + 2, 2, left + 6, 14, door);    // the open door, seen at a slant
  Fill(dc, left + 4, 7, left + 5, 9, frame);    // its knob
  Fill(dc, left + 9, 7, left + 12, 9, arrow);   // the arrow's shaft and head
  for (int i = 0; i < 3; ++i) Fill(dc, left + 12 + i, 4 + i, left + 13 + i, 12 - i, arrow);
}

}  // namespace

HBITMAP CreateCloseGlyph(int dpi) {
  const DpiScale s(dpi);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 2 * s(kCloseGlyphWidth / 2), s(kCloseGlyphHeight));
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  {
    win::ScaledDrawing scaled(dc, s);
    Fill(dc, 0, 0, kCloseGlyphWidth, kCloseGlyphHeight, kTransparent);
    PaintDoor(dc, 0, RGB(64, 32, 0), RGB(160, 96, 32), RGB(0, 128, 0));
    const COLORREF shadow = GetSysColor(COLOR_BTNHIGHLIGHT), grey = GetSysColor(COLOR_GRAYTEXT);
    PaintDoor(dc, 17, shadow, shadow, shadow);
    PaintDoor(dc, 16, grey, GetSysColor(COLOR_BTNFACE), grey);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

}  // namespace kb
