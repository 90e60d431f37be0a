#include "win/spin_edit.h"

#include <commctrl.h>

#include <algorithm>

#include "common/values.h"

namespace kb::win {

bool SpinEdit::Create(HWND parent, int id, int x, int y, int width, int height, int minimum,
                      int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  if (!Edit::Create(parent, id, x, y, width, height)) return false;
  SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_GROUP);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&icc);
  // UDS_ALIGNRIGHT narrows the field by the arrows' width, so the pair keeps
  // the bounds given.  The arrows write the number into the field themselves.
  arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                            WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT |
                                UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                            0, 0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!arrows_) return false;
  SendMessageW(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()), 0);
  SendMessageW(arrows_, UDM_SETRANGE32, minimum, maximum);
  SetValue(minimum);
  return true;
}

int32_t SpinEdit::Value() const {
  const int32_t value = ParseProfileInteger(Text(), minimum_);
  return std::clamp(value, static_cast<int32_t>(minimum_), static_cast<int32_t>(maximum_));
}

void SpinEdit::SetValue(int64_t value) {
  const int64_t clamped = std::clamp<int64_t>(value, minimum_, maximum_);
  SetText(std::to_string(clamped));
  if (arrows_) SendMessageW(arrows_, UDM_SETPOS32, 0, static_cast<LPARAM>(clamped));
}

}  // namespace kb::win
