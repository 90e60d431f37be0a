#include "win/glyph_button.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "win/accessible.h"
#include "win/hints.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb::win {
namespace {

constexpr int kGlyphTextGap = 4;

// PSDPxax: where the mask is 0 paint the brush, where it is 1 keep the screen.
constexpr DWORD kRopBrushThroughMask = 0x00B8074A;

// Builds the 32 × 32 "drag a copy" cursor: an arrow with a small framed box
// and a plus sign below it.  1 in the AND mask = screen shows through.
HCURSOR MakeDragCursor() {
  constexpr int kW = 32, kH = 32, kStride = kW / 8;
  std::array<BYTE, kStride * kH> andMask;
  std::array<BYTE, kStride * kH> xorMask{};
  andMask.fill(0xFF);
  auto put = [&](int x, int y, bool white) {
    const int i = y * kStride + x / 8;
    const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
    andMask[i] &= static_cast<BYTE>(~bit);
    if (white) xorMask[i] |= bit; else xorMask[i] &= static_cast<BYTE>(~bit);
  };
  for (int y = 0; y < 12; ++y) {  // arrow: black outline, white inside
    for (int x = 0; x <= y; ++x) put(x, y, x != 0 && x != y && y != 11);
  }
  for (int y = 16; y < 28; ++y) {  // box with a plus sign
    for (int x = 8; x < 22; ++x) {
      const bool edge = y == 16 || y == 27 || x == 8 || x == 21;
      const bool plus = (x == 14 || x == 15) ? (y > 18 && y < 25) : ((y == 21 || y == 22) && x > 10 && x < 19);
      put(x, y, !(edge || plus));
    }
  }
  return CreateCursor(GetModuleHandleW(nullptr), 0, 0, kW, kH, andMask.data(), xorMask.data());
}

// A cursor made once for the process; the system frees it at exit.
class DragCursorHolder {
 public:
  DragCursorHolder() : cursor_(MakeDragCursor()) {}
  HCURSOR cursor() const { return cursor_ ? cursor_ : LoadCursorW(nullptr, IDC_ARROW); }

 private:
  HCURSOR cursor_;
};

// One off-screen buffer for all glyph buttons of a thread (painting never
// nests), kept between paints: under Wine making a bitmap and a DC for every
// WM_PAINT cost more than drawing the button.  A 32-bit DIB section, so the
// glyph is composed straight into its pixels.
class PaintBuffer {
 public:
  PaintBuffer() = default;
  PaintBuffer(const PaintBuffer&) = delete;
  PaintBuffer& operator=(const PaintBuffer&) = delete;
  ~PaintBuffer() {
    if (dc_) {
      if (old_) SelectObject(dc_, old_);
      DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
  }

  // A memory DC of at least width x height pixels, or null.
  HDC Prepare(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    if (!dc_ && !(dc_ = CreateCompatibleDC(nullptr))) return nullptr;
    if (bitmap_ && width <= width_ && height <= height_) return dc_;
    width = std::max(width, width_);
    height = std::max(height, height_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up: see DibOf
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (!old_) old_ = previous;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = bitmap;
    width_ = width;
    height_ = height;
    return dc_;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  int width_ = 0, height_ = 0;
};

// The 32-bit pixels of the bottom-up DIB section selected into dc.
struct DibTarget {
  uint32_t* bits = nullptr;
  int width = 0, height = 0;
  uint32_t* Row(int y) const {
    return bits + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width);
  }
};

std::optional<DibTarget> DibOf(HDC dc) {
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  DIBSECTION section{};
  if (!bitmap || GetObjectW(bitmap, sizeof section, &section) != sizeof section) return std::nullopt;
  // Wine reports a top-down section's height as positive too, so its row
  // order cannot be told here: only bottom-up sections are written directly.
  if (!section.dsBm.bmBits || section.dsBmih.biBitCount != 32 ||
      section.dsBmih.biCompression != BI_RGB || section.dsBmih.biHeight <= 0)
    return std::nullopt;
  DibTarget t;
  t.bits = static_cast<uint32_t*>(section.dsBm.bmBits);
  t.width = section.dsBm.bmWidth;
  t.height = section.dsBm.bmHeight;
  return t;
}

// Copies image `srcX` of glyph into dc's own 32-bit pixels at (x, y),
// leaving out the transparent colour (the image's bottom-left pixel): one
// read of the glyph and a loop, where TransparentBlt builds masks each time.
// False when dc is no 32-bit DIB section or the glyph cannot be read.
bool ComposeGlyph(HDC dc, HBITMAP glyph, int srcX, int x, int y, int w, int h) {
  const std::optional<DibTarget> target = DibOf(dc);
  if (!target || w <= 0 || h <= 0) return false;
  // The pixels are written directly: the DC's origin (a button drawn at its
  // place inside its parent's buffer) is applied here.
  POINT origin{};
  GetViewportOrgEx(dc, &origin);
  x += origin.x;
  y += origin.y;
  BITMAP shape{};
  if (!GetObjectW(glyph, sizeof shape, &shape)) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shape.bmWidth;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(shape.bmWidth) * static_cast<size_t>(h));
  if (GetDIBits(dc, glyph, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS) != h)
    return false;
  GdiFlush();  // earlier GDI drawing must be in the pixels before they are written
  const auto at = [&](int gx, int gy) {
    return pixels[static_cast<size_t>(gy) * static_cast<size_t>(shape.bmWidth) + srcX + gx] & 0xFFFFFF;
  };
  const uint32_t transparent = at(0, h - 1);
  for (int gy = std::max(0, -y); gy < h && y + gy < target->height; ++gy) {
    uint32_t* row = target->Row(y + gy);
    for (int gx = std::max(0, -x); gx < w && x + gx < target->width; ++gx) {
      const uint32_t p = at(gx, gy);
      if (p != transparent) row[x + gx] = p;
    }
  }
  return true;
}

}  // namespace

GlyphButton::~GlyphButton() {
  Destroy();
  FreeGlyph();
}

bool GlyphButton::Create(HWND parent, int x, int y, int width, int height, int id,
                         DWORD exStyle, DWORD style) {
  if (!Window::Create(kClassName, exStyle, WS_CHILD | style, x, y, width, height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)))) {
    return false;
  }
  windowText_.clear();
  UpdateWindowText();
  return true;
}

void GlyphButton::SetGlyph(HBITMAP bitmap, int imageCount, bool takeOwnership) {
  if (bitmap != glyph_) FreeGlyph();
  glyph_ = bitmap;
  imageCount_ = imageCount == 2 ? 2 : 1;
  ownsGlyph_ = takeOwnership && bitmap;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void GlyphButton::FreeGlyph() {
  if (ownsGlyph_ && glyph_) DeleteObject(glyph_);
  glyph_ = nullptr;
  ownsGlyph_ = false;
}

void GlyphButton::SetCaption(const std::string& sjisCaption) {
  caption_ = sjisCaption;
  if (hwnd()) {
    UpdateWindowText();
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
}

void GlyphButton::SetHint(const std::string& sjisText) { hint_ = sjisText; }

void GlyphButton::SetUnnamedText(const std::string& sjisText) { unnamedText_ = sjisText; }

std::string GlyphButton::AccessibleName() const {
  if (!caption_.empty()) return caption_;
  return hint_.empty() ? unnamedText_ : hint_;
}

// The window text lets tests and accessibility tools read the button's name.
// A caption is stored as the window's text.  A hint or the unnamed text is
// only answered to WM_GETTEXT: under Wine each SetWindowText costs 50 µs,
// and a group switch renames forty buttons.  Screen readers ask through
// WM_GETOBJECT, whose object reads the text inside this process.
void GlyphButton::UpdateWindowText() {
  if (!hwnd() || caption_ == windowText_) return;
  windowText_ = caption_;
  SetWindowTextW(hwnd(), Widen(caption_).c_str());
}

LRESULT GlyphButton::AnswerText(UINT msg, WPARAM wParam, LPARAM lParam) {
  const std::wstring name = Widen(AccessibleName());
  if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(name.size());
  auto* buffer = reinterpret_cast<wchar_t*>(lParam);
  const size_t room = static_cast<size_t>(wParam);
  if (!buffer || room == 0) return 0;
  const size_t n = std::min(name.size(), room - 1);
  std::copy_n(name.data(), n, buffer);
  buffer[n] = L'\0';
  return static_cast<LRESULT>(n);
}

void GlyphButton::SetEnabled(bool enabled) {
  if (!hwnd()) return;
  EnableWindow(hwnd(), enabled ? TRUE : FALSE);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

bool GlyphButton::Enabled() const { return hwnd() && IsWindowEnabled(hwnd()); }

void GlyphButton::SetVisible(bool visible) {
  if (hwnd()) ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void GlyphButton::SetCursor(HCURSOR cursor) {
  cursor_ = cursor;
  POINT pt;
  if (hwnd() && GetCursorPos(&pt) && WindowFromPoint(pt) == hwnd()) {
    ::SetCursor(cursor_ ? cursor_ : LoadCursorW(nullptr, IDC_ARROW));
  }
}

HCURSOR GlyphButton::DragCursor() {
  static const DragCursorHolder holder;
  return holder.cursor();
}

void GlyphButton::SetDefault(bool isDefault) {
  default_ = isDefault;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

int GlyphButton::Id() const { return hwnd() ? GetDlgCtrlID(hwnd()) : 0; }

void GlyphButton::Click() {
  if (!hwnd() || !IsWindowEnabled(hwnd())) return;
  HWND self = hwnd();
  const int id = Id();
  if (OnClick) OnClick();
  // The handler may have destroyed the button (a dialog that closes).
  if (IsWindow(self) && id != 0) {
    if (HWND parent = GetParent(self)) {
      SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(self));
    }
  }
}

void GlyphButton::KeyboardClick() {
  if (!hwnd() || !IsWindowEnabled(hwnd())) return;
  HWND self = hwnd();
  Click();
  if (!IsWindow(self) || hwnd() != self) return;
  RECT rc;
  GetClientRect(self, &rc);
  MouseUp(MouseButton::Left, 0, rc.right / 2, rc.bottom / 2);
}

namespace {

// Set on a top-level window once its focus marks show.  Kept by the
// launcher itself: Wine answers WM_QUERYUISTATE with 0 whatever it was told.
constexpr wchar_t kFocusMarksProperty[] = L"KobaruneFocusMarks";

}  // namespace

bool GlyphButton::FocusMarkShown() const {
  return hwnd() && GetPropW(GetAncestor(hwnd(), GA_ROOT), kFocusMarksProperty) != nullptr;
}

void GlyphButton::ShowFocusMarks(HWND window) {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (!root || GetPropW(root, kFocusMarksProperty)) return;
  SetPropW(root, kFocusMarksProperty, reinterpret_cast<HANDLE>(1));
  // The system's own state follows, for the system's controls in the window.
  SendMessageW(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  RedrawWindow(root, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The first key shows the focus marks of the whole window, as Windows does.
void GlyphButton::KeyboardUsed() { ShowFocusMarks(hwnd()); }

void GlyphButton::MouseUp(MouseButton, WPARAM, int, int) {}

bool GlyphButton::Inside(int x, int y) const {
  RECT rc;
  GetClientRect(hwnd(), &rc);
  return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
}

void GlyphButton::SetPressedLook(bool pressed) {
  if (pressed_ == pressed) return;
  pressed_ = pressed;
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void GlyphButton::OnButtonDown(MouseButton button) {
  // A disabled window gets no real input; posted messages still arrive.
  if (tracking_ || !IsWindowEnabled(hwnd())) return;  // also a second button while one is held
  tracking_ = true;
  trackedButton_ = button;
  SetCapture(hwnd());
  if (button == MouseButton::Left) {
    if (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_TABSTOP) SetFocus(hwnd());
    SetPressedLook(true);
  }
}

void GlyphButton::OnButtonUp(MouseButton button, WPARAM wParam, LPARAM lParam) {
  if (!tracking_ || button != trackedButton_) return;
  tracking_ = false;
  if (GetCapture() == hwnd()) ReleaseCapture();
  SetPressedLook(false);
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  HWND self = hwnd();
  if (button == MouseButton::Left && Inside(x, y)) Click();
  if (IsWindow(self) && hwnd() == self) MouseUp(button, wParam, x, y);
}

void GlyphButton::ApplyHint(WPARAM wParam, LPARAM lParam) {
  if (hint_ == appliedHint_) return;
  const bool added = appliedHint_.empty();
  if (!win::SetHint(hwnd(), hint_)) return;
  appliedHint_ = hint_;
  // The tool tip sees the mouse from the next message on; this first move
  // is handed to it, so a pointer that stops right here still gets its hint.
  HWND tip = HintWindowOf(hwnd());
  if (added && tip) {
    MSG move{hwnd(), WM_MOUSEMOVE, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    GetCursorPos(&move.pt);
    SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
  }
}

void GlyphButton::OnMouseMove(LPARAM lParam) {
  if (tracking_ && trackedButton_ == MouseButton::Left) {
    SetPressedLook(Inside(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
  }
}

LRESULT GlyphButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnButtonDown(MouseButton::Left); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: OnButtonDown(MouseButton::Right); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: OnButtonDown(MouseButton::Middle); return 0;
    case WM_LBUTTONUP: OnButtonUp(MouseButton::Left, wParam, lParam); return 0;
    case WM_RBUTTONUP: OnButtonUp(MouseButton::Right, wParam, lParam); return 0;
    case WM_MBUTTONUP: OnButtonUp(MouseButton::Middle, wParam, lParam); return 0;
    case WM_MOUSEMOVE:
      ApplyHint(wParam, lParam);
      OnMouseMove(lParam);
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away (another window, a modal dialog): drop the press.
      if (tracking_ && reinterpret_cast<HWND>(lParam) != hwnd()) {
        tracking_ = false;
        SetPressedLook(false);
      }
      return 0;
    case WM_SETCURSOR:
      if (cursor_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_GETDLGCODE: {
      // Enter on a focused glyph button clicks that button (as a focused
      // push button does), so it is asked for; the form still gets Escape
      // and, with the focus elsewhere, Enter as IDOK.
      const auto* keyMsg = reinterpret_cast<const MSG*>(lParam);
      if (keyMsg && keyMsg->message == WM_KEYDOWN && keyMsg->wParam == VK_RETURN) {
        return DLGC_WANTMESSAGE | DLGC_BUTTON;
      }
      return DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    }
    case WM_UPDATEUISTATE: {
      // The system tells the window's state (Windows: a key pressed in a
      // dialog, or an application's WM_CHANGEUISTATE).
      const LRESULT result = DefaultHandling(msg, wParam, lParam);
      if (HIWORD(wParam) & UISF_HIDEFOCUS) {
        HWND root = GetAncestor(hwnd(), GA_ROOT);
        if (LOWORD(wParam) == UIS_CLEAR) SetPropW(root, kFocusMarksProperty, reinterpret_cast<HANDLE>(1));
        if (LOWORD(wParam) == UIS_SET) RemovePropW(root, kFocusMarksProperty);
      }
      InvalidateRect(hwnd(), nullptr, FALSE);
      return result;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      if (caption_.empty()) return AnswerText(msg, wParam, lParam);
      break;
    case WM_GETOBJECT:
      if (const LRESULT object = AnswerPushButtonObject(hwnd(), wParam, lParam)) return object;
      break;
    case WM_SYSKEYDOWN:
      KeyboardUsed();
      if (OnKeyDown && OnKeyDown(wParam, true)) return 0;
      break;
    case WM_KEYDOWN: {
      KeyboardUsed();
      HWND self = hwnd();
      if (OnKeyDown && OnKeyDown(wParam, false)) return 0;
      if (IsWindow(self) && wParam == VK_RETURN) KeyboardClick();
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_SPACE) KeyboardClick();
      // The system makes WM_CONTEXTMENU of the context-menu key's release.
      if (wParam == VK_APPS) break;
      return 0;
    case BM_CLICK: Click(); return 0;
    case WM_SETFONT:
      // A form laid out at another scale hands its buttons the font of it.
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_ ? font_ : UiFont());
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: InvalidateRect(hwnd(), nullptr, FALSE); break;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: Paint(); return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

void GlyphButton::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  // Drawn off screen first so the face never flickers under the glyph.
  RECT rc;
  GetClientRect(hwnd(), &rc);
  static thread_local PaintBuffer buffer;
  if (HDC mem = buffer.Prepare(rc.right, rc.bottom)) {
    const int saved = SaveDC(mem);  // the buffer is shared: no state leaks between buttons
    PaintContent(mem);
    RestoreDC(mem, saved);
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  } else {
    PaintContent(dc);
  }
  EndPaint(hwnd(), &ps);
}

void GlyphButton::PaintInParent(HWND parent, const std::vector<const GlyphButton*>& buttons) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(parent, &ps);
  RECT all;
  GetClientRect(parent, &all);
  static thread_local PaintBuffer buffer;
  HDC mem = buffer.Prepare(all.right, all.bottom);
  HDC target = mem ? mem : dc;
  FillRect(target, &all, GetSysColorBrush(COLOR_BTNFACE));
  for (const GlyphButton* button : buttons) {
    if (!button || !button->hwnd() || !IsWindowVisible(button->hwnd())) continue;
    RECT r;
    GetWindowRect(button->hwnd(), &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.right <= r.left || r.bottom <= r.top) continue;
    const int saved = SaveDC(target);
    SetViewportOrgEx(target, r.left, r.top, nullptr);
    IntersectClipRect(target, 0, 0, r.right - r.left, r.bottom - r.top);
    button->PaintContent(target);
    RestoreDC(target, saved);
  }
  if (mem) BitBlt(dc, 0, 0, all.right, all.bottom, mem, 0, 0, SRCCOPY);
  EndPaint(parent, &ps);
  // Everything is on screen: the buttons' own WM_PAINT would only draw it
  // again, one device context and one flush each.
  RedrawWindow(parent, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
}

void GlyphButton::PaintContent(HDC dc) const {
  RECT rc{};
  if (!hwnd() || !GetClientRect(hwnd(), &rc)) return;
  const bool enabled = Enabled();
  if (default_) {
    FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rc, -1, -1);
  }
  DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
  const int shift = pressed_ ? 1 : 0;

  int glyphW = 0, glyphH = 0;
  if (glyph_) {
    BITMAP bm{};
    GetObjectW(glyph_, sizeof bm, &bm);
    glyphW = bm.bmWidth / imageCount_;
    glyphH = bm.bmHeight;
  }
  const std::wstring text = Widen(caption_);
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : UiFont());
  SIZE textSize{};
  if (!text.empty()) {
    RECT calc{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, DT_SINGLELINE | DT_CALCRECT);
    textSize = {calc.right, calc.bottom};
  }
  const int gap = (glyphW && textSize.cx) ? kGlyphTextGap : 0;
  const int total = glyphW + gap + textSize.cx;
  const int left = (rc.left + rc.right - total) / 2 + shift;
  if (glyph_) {
    DrawGlyph(dc, left, (rc.top + rc.bottom - glyphH) / 2 + shift, glyphW, glyphH, enabled);
  }
  if (!text.empty()) {
    RECT tr{left + glyphW + gap, rc.top + shift, left + total + 1, rc.bottom + shift};
    SetBkMode(dc, TRANSPARENT);
    if (enabled) {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER);
    } else {
      OffsetRect(&tr, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER);
      OffsetRect(&tr, -1, -1);
      SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER);
    }
  }
  SelectObject(dc, oldFont);
  if (GetFocus() == hwnd() && FocusMarkShown()) {
    RECT fr = rc;
    const int inset = text.empty() ? 2 : 4;  // a glyph alone keeps its picture clear
    InflateRect(&fr, -inset, -inset);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &fr);
  }
}

void GlyphButton::DrawGlyph(HDC dc, int x, int y, int w, int h, bool enabled) const {
  const bool ownDisabled = !enabled && imageCount_ == 2;
  if ((enabled || ownDisabled) && ComposeGlyph(dc, glyph_, ownDisabled ? w : 0, x, y, w, h)) return;
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ oldSrc = SelectObject(src, glyph_);
  const bool ownDisabledImage = !enabled && imageCount_ == 2;
  const int srcX = ownDisabledImage ? w : 0;
  const COLORREF transparent = GetPixel(src, srcX, h - 1);
  if (enabled || ownDisabledImage) {
    TransparentBlt(dc, x, y, w, h, src, srcX, 0, w, h, transparent);
  } else {
    // Embossed from the glyph's shape: a monochrome mask (1 = transparent)
    // painted in highlight one pixel down-right, then in shadow.
    HDC maskDc = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    SetBkColor(src, transparent);
    BitBlt(maskDc, 0, 0, w, h, src, 0, 0, SRCCOPY);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const std::array<std::pair<int, int>, 2> layers{{{1, COLOR_BTNHIGHLIGHT}, {0, COLOR_BTNSHADOW}}};
    for (const auto& [offset, colour] : layers) {
      HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(colour));
      BitBlt(dc, x + offset, y + offset, w, h, maskDc, 0, 0, kRopBrushThroughMask);
      SelectObject(dc, oldBrush);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    SelectObject(maskDc, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDc);
  }
  SelectObject(src, oldSrc);
  DeleteDC(src);
}

}  // namespace kb::win
