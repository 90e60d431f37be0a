#include "win/modal_scope.h"

namespace kb::win {

OtherWindowsDisabled::OtherWindowsDisabled(HWND dialog) : dialog_(dialog) {
  EnumThreadWindows(GetCurrentThreadId(), &OtherWindowsDisabled::Collect,
                    reinterpret_cast<LPARAM>(this));
  for (HWND window : disabled_) EnableWindow(window, FALSE);
}

OtherWindowsDisabled::~OtherWindowsDisabled() {
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
}

BOOL CALLBACK OtherWindowsDisabled::Collect(HWND window, LPARAM self) {
  auto* scope = reinterpret_cast<OtherWindowsDisabled*>(self);
  if (window != scope->dialog_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
    scope->disabled_.push_back(window);
  }
  return TRUE;
}

}  // namespace kb::win
