// While a modal dialog is open, every other visible window of its thread is
// disabled (the bar, the group window, a dialog it was opened from), and
// enabled again when the scope ends.
#pragma once

#include <windows.h>

#include <vector>

namespace kb::win {

class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND dialog);
  ~OtherWindowsDisabled();
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self);

  HWND dialog_;
  std::vector<HWND> disabled_;
};

}  // namespace kb::win
