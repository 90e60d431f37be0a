#include "groups/edit_glyphs.h"

#include <functional>

#include "win/dpi.h"

namespace kb {
namespace {

// The bottom-left pixel is a glyph's transparent colour; olive appears in
// neither picture.
constexpr COLORREF kTransparent = RGB(128, 128, 0);

using Painter = std::function<void(HDC dc, int left, COLORREF ink)>;

// Paints the normal image with `ink` at x 0 and the disabled one, grey with
// a white shadow, at x 18.
HBITMAP CreateTwoStateGlyph(int dpi, COLORREF ink, const Painter& paint) {
  const DpiScale s(dpi);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      CreateCompatibleBitmap(screen, 2 * s(kTwoStateGlyphWidth / 2), s(kTwoStateGlyphHeight));
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  {
    win::ScaledDrawing scaled(dc, s);
    RECT all{0, 0, kTwoStateGlyphWidth, kTwoStateGlyphHeight};
    HBRUSH back = CreateSolidBrush(kTransparent);
    FillRect(dc, &all, back);
    DeleteObject(back);
    paint(dc, 0, ink);
    paint(dc, 19, GetSysColor(COLOR_BTNHIGHLIGHT));
    paint(dc, 18, GetSysColor(COLOR_GRAYTEXT));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

void WithPen(HDC dc, COLORREF colour, int width, const std::function<void()>& draw) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  draw();
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace

HBITMAP CreateDeleteGlyph(int dpi) {
  return CreateTwoStateGlyph(dpi, RGB(192, 0, 0), [](HDC dc, int left, COLORREF ink) {
    WithPen(dc, ink, 3, [&] {
      MoveToEx(dc, left + 4, 4, nullptr);
      LineTo(dc, left + 14, 14);
      MoveToEx(dc, left + 14, 4, nullptr);
      LineTo(dc, left + 4, 14);
    });
  });
}

HBITMAP CreateUpdateGlyph(int dpi) {
  return CreateTwoStateGlyph(dpi, RGB(0, 0, 192), [](HDC dc, int left, COLORREF ink) {
    WithPen(dc, ink, 2, [&] {
      Arc(dc, left + 3, 3, left + 15, 15, left + 15, 9, left + 9, 3);
    });
    HBRUSH brush = CreateSolidBrush(ink);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    WithPen(dc, ink, 1, [&] {
      const POINT head[3] = {{left + 7, 1}, {left + 11, 4}, {left + 7, 7}};
      Polygon(dc, head, 3);
    });
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
  });
}

}  // namespace kb
