#include "launcher/group_button.h"

#include <shellapi.h>
#include <windowsx.h>

#include <stdexcept>

#include "groups/group_actions.h"
#include "launcher/app.h"
#include "win/hints.h"

namespace kb {
namespace {

// A 32 × 32 bitmap of the screen's format, filled with the button face.
HBITMAP MakeFaceBitmap(int size) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  if (!bitmap) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

}  // namespace

TGroupButton::TGroupButton(App& app, int tag) : app_(app), tag_(tag) {}

TGroupButton::~TGroupButton() {
  // The window goes first: it must never paint a freed glyph.
  Destroy();
  SetGlyph(nullptr);
  if (glyphBitmap_) DeleteObject(glyphBitmap_);
}

void TGroupButton::Create(HWND bar, int x, int y) {
  glyphBitmap_ = MakeFaceBitmap(kGlyphSize);
  if (!glyphBitmap_ || !GlyphButton::Create(bar, x, y, kSize, kSize, tag_)) {
    throw std::runtime_error(Name() + " を作成できません");
  }
  DragAcceptFiles(hwnd(), TRUE);
  SetCaption("");
  SetGlyph(glyphBitmap_, 1, false);
}

std::string TGroupButton::Name() const { return GroupSectionName(tag_); }

void TGroupButton::GlyphChanged() {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void TGroupButton::SetHint(const std::string& sjisText) {
  hint_ = sjisText;
  if (hwnd()) win::SetHint(hwnd(), hint_);
}

void TGroupButton::FilesDropped(HDROP drop) { GroupButtonFilesDropped(app_, *this, drop); }

void TGroupButton::MouseUp(win::MouseButton button, WPARAM keys, int, int) {
  GroupButtonMouseUp(app_, *this, button, keys);
}

void TGroupButton::ForwardMouseMove(LPARAM lParam) {
  if (!OnBarMouseMove) return;
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  MapWindowPoints(hwnd(), GetParent(hwnd()), &pt, 1);
  OnBarMouseMove(pt.x, pt.y);
}

LRESULT TGroupButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DROPFILES:
      FilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_MOUSEMOVE:
      ForwardMouseMove(lParam);
      break;  // the glyph button tracks its pressed look too
    default:
      break;
  }
  return GlyphButton::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
