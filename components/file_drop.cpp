#include "components/file_drop.h"

#include <commctrl.h>

#include <stdexcept>

#include "win/text.h"
#include "win/window.h"

namespace kb {

namespace {

constexpr char kNoTarget[] = "Invalidate Window Handle in FileDrop";

// A dropped name whole, however long: cutting it to a fixed buffer would
// hand over the name of some other file.
std::wstring QueryDroppedName(HDROP drop, UINT index) {
  const UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring name(static_cast<size_t>(length) + 1, L'\0');
  const UINT copied = DragQueryFileW(drop, index, name.data(), length + 1);
  name.resize(copied);
  return name;
}

}  // namespace

TFileDrop::TFileDrop(HWND ownerForm) : owner_(ownerForm) {}

TFileDrop::~TFileDrop() { UnhookControl(); }

void TFileDrop::Loaded() {
  if (!control_) SetControl(nullptr);
}

void TFileDrop::SetAccept(bool accept) {
  if (accept == accept_) return;
  accept_ = accept;
  if (hooked_) DragAcceptFiles(hooked_, accept_ ? TRUE : FALSE);
}

void TFileDrop::SetControl(HWND control) {
  UnhookControl();
  control_ = control;
  HookControl();
}

HWND TFileDrop::Target() const {
  if (control_ && IsWindow(control_)) return control_;
  if (!control_ && owner_ && IsWindow(owner_)) return owner_;
  return nullptr;
}

void TFileDrop::HookControl() {
  HWND target = Target();
  if (!target) throw std::runtime_error(kNoTarget);
  // A subclass of its own (rather than a swapped window procedure) keeps any
  // other subclass of the same window working, whichever is removed first.
  if (!SetWindowSubclass(target, &TFileDrop::DropWndProc, reinterpret_cast<UINT_PTR>(this),
                         reinterpret_cast<DWORD_PTR>(this))) {
    throw std::runtime_error(kNoTarget);
  }
  hooked_ = target;
  DragAcceptFiles(target, accept_ ? TRUE : FALSE);
}

void TFileDrop::UnhookControl() {
  if (!hooked_) return;
  // The drop registration stays: the window keeps accepting files, but
  // nobody here handles them any more.
  if (IsWindow(hooked_)) {
    RemoveWindowSubclass(hooked_, &TFileDrop::DropWndProc, reinterpret_cast<UINT_PTR>(this));
  }
  hooked_ = nullptr;
}

void TFileDrop::ControlDestroyed() {
  UnhookControl();
  if (control_) {
    control_ = nullptr;
    accept_ = false;
  }
}

void TFileDrop::DoFileDrop(HDROP drop) {
  if (!OnFileDrop) return;
  std::vector<std::string> files;
  POINT point{};
  DragQueryPoint(drop, &point);
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  files.reserve(count);
  // A name Shift-JIS cannot hold is refused with the whole drop (the
  // exception reaches the error box); none is passed on mangled.
  for (UINT i = 0; i < count; ++i) files.push_back(win::NarrowOrThrow(QueryDroppedName(drop, i)));
  OnFileDrop(*this, static_cast<int>(count), files, point.x, point.y);
}

LRESULT CALLBACK TFileDrop::DropWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) {
  auto* drop = reinterpret_cast<TFileDrop*>(self);
  if (msg == WM_DROPFILES) {
    const HDROP handle = reinterpret_cast<HDROP>(wParam);
    win::GuardCallback([&] { drop->DoFileDrop(handle); });
    DragFinish(handle);
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    // The control goes away: the component keeps no handle to a dead window.
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    win::GuardCallback([&] { drop->ControlDestroyed(); });
    return result;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace kb
