#include "launcher/group_button.h"

#include <windowsx.h>

#include "model/settings.h"
#include "win/icon_store.h"
#include "win/shell.h"

namespace kb {

std::string TGroupButton::Name() const { return GroupSectionName(Tag()); }

void TGroupButton::StoreGlyph() { icons_.CopyToCell(GlyphBitmap(), 0, Tag() - 1); }

HICON TGroupButton::RecordIcon() {
  const std::string& source = Entry.IconFile.empty() ? Entry.FPFileName : Entry.IconFile;
  return source.empty() ? nullptr : win::ExtractIconFrom(source, Entry.IconIndex);
}

void TGroupButton::RefreshGlyph() {
  KeepFields = true;
  HICON icon = nullptr;
  if (!Entry.IconFile.empty()) {
    icon = win::ExtractIconFrom(Entry.IconFile, Entry.IconIndex);
    if (!icon) {
      std::optional<win::ShellFileInfo> info = win::QueryShellFileInfo(Entry.IconFile);
      icon = info ? info->icon : nullptr;
    }
  } else {
    win::FillGlyph(GlyphBitmap());
  }
  win::OwnedIcon holder(icon);
  SetIconGlyph(icon);
  SetHint(Entry.ShowName);
  KeepFields = false;
}

void TGroupButton::MouseUp(win::MouseButton button, WPARAM keys, int, int) {
  if (events_) events_->GroupButtonMouseUp(*this, button, keys);
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
      if (events_) {
        events_->GroupButtonFilesDropped(*this, reinterpret_cast<HDROP>(wParam));
      } else {
        DragFinish(reinterpret_cast<HDROP>(wParam));
      }
      return 0;
    case WM_MOUSEMOVE:
      ForwardMouseMove(lParam);
      break;  // the glyph button tracks its pressed look too
    default:
      break;
  }
  return LaunchButton::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
