#include "launcher/bar_glyphs.h"

#include <array>
#include <cstdint>

#include "win/shell.h"

namespace kb {
namespace {

// A width × height bitmap filled with the button face, selected into a
// memory DC for drawing; Finish() hands the bitmap over.
class GlyphCanvas {
 public:
  // width and height at 96 dpi; every coordinate given to the canvas is too.
  GlyphCanvas(int width96, int height96, DpiScale s) : s_(s), height_(s(height96)) {
    const int width = s(width96), height = height_;
    // A 32-bit DIB section: no device context of the screen is needed for it
    // (under Wine that costs more than the drawing).
    uint32_t* pixels = nullptr;
    bitmap_ = win::CreateTopDownDib(width, height, &pixels);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, GetSysColorBrush(COLOR_BTNFACE));
  }
  ~GlyphCanvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  GlyphCanvas(const GlyphCanvas&) = delete;
  GlyphCanvas& operator=(const GlyphCanvas&) = delete;

  HDC dc() const { return dc_; }

  void Polygon(const POINT* points, int count, COLORREF fill) {
    std::array<POINT, 8> scaled{};
    for (int i = 0; i < count && i < 8; ++i) scaled[i] = Scaled(points[i]);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc_, brush);
    HPEN pen = CreatePen(PS_SOLID, PenWidth(), RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    ::Polygon(dc_, scaled.data(), count < 8 ? count : 8);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
    SelectObject(dc_, oldBrush);
    DeleteObject(brush);
  }

  void Line(POINT from, POINT to) {
    HPEN pen = CreatePen(PS_SOLID, PenWidth(), RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    const POINT a = Scaled(from), b = Scaled(to);
    MoveToEx(dc_, a.x, a.y, nullptr);
    LineTo(dc_, b.x, b.y);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
  }

  void Text(const wchar_t* text, RECT box, COLORREF color, int height) {
    box = {s_(box.left), s_(box.top), s_(box.right), s_(box.bottom)};
    HFONT font = CreateFontW(-s_(height), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"Arial");
    HGDIOBJ oldFont = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, color);
    DrawTextW(dc_, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc_, oldFont);
    DeleteObject(font);
  }

  // Lines one pixel wide at 96 dpi, thicker in proportion.
  int PenWidth() const { return s_(1); }
  POINT Scaled(POINT p) const { return {s_(p.x), s_(p.y)}; }

  HBITMAP Finish() {
    // The bottom-left pixel names the transparent colour.
    SetPixel(dc_, 0, height_ - 1, GetSysColor(COLOR_BTNFACE));
    SelectObject(dc_, old_);
    old_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));  // anything but the bitmap
    HBITMAP result = bitmap_;
    bitmap_ = nullptr;
    return result;
  }

 private:
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DpiScale s_;
  int height_;
};

}  // namespace

HBITMAP MakeSettingsGlyph(DpiScale s) {
  GlyphCanvas canvas(32, 32, s);
  // A window with a title bar and two sliders: "options".
  const POINT frame[] = {{4, 5}, {27, 5}, {27, 26}, {4, 26}};
  canvas.Polygon(frame, 4, RGB(255, 255, 255));
  const POINT title[] = {{4, 5}, {27, 5}, {27, 10}, {4, 10}};
  canvas.Polygon(title, 4, RGB(0, 0, 128));
  const POINT knob1[] = {{9, 13}, {13, 13}, {13, 17}, {9, 17}};
  const POINT knob2[] = {{17, 19}, {21, 19}, {21, 23}, {17, 23}};
  canvas.Line({7, 15}, {25, 15});
  canvas.Line({7, 21}, {25, 21});
  canvas.Polygon(knob1, 4, RGB(192, 0, 0));
  canvas.Polygon(knob2, 4, RGB(0, 128, 0));
  return canvas.Finish();
}

HBITMAP MakeHelpGlyph(DpiScale s) {
  GlyphCanvas canvas(32, 16, s);
  canvas.Text(L"?", RECT{0, 0, 16, 16}, RGB(0, 0, 128), 14);
  canvas.Text(L"?", RECT{16, 0, 32, 16}, GetSysColor(COLOR_GRAYTEXT), 14);
  return canvas.Finish();
}

HBITMAP MakeArrowGlyph(ArrowDirection direction, DpiScale s) {
  GlyphCanvas canvas(16, 16, s);
  std::array<POINT, 3> arrow;
  switch (direction) {
    case ArrowDirection::Left: arrow = {{{10, 3}, {10, 12}, {5, 7}}}; break;
    case ArrowDirection::Right: arrow = {{{5, 3}, {5, 12}, {10, 7}}}; break;
    case ArrowDirection::Up: arrow = {{{3, 10}, {12, 10}, {7, 5}}}; break;
    case ArrowDirection::Down: arrow = {{{3, 5}, {12, 5}, {7, 10}}}; break;
  }
  canvas.Polygon(arrow.data(), 3, RGB(0, 0, 0));
  return canvas.Finish();
}

}  // namespace kb
