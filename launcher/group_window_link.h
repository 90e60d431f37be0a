// What the bar needs to know of the group window, which lives in another
// subsystem: the application connects it.
#pragma once

#include <windows.h>

namespace kb {

class GroupWindowLink {
 public:
  virtual ~GroupWindowLink() = default;
  // The group window's handle (nullptr before it exists).
  virtual HWND GroupWindowHandle() const = 0;
  // Hides it, as its own close does.
  virtual void HideGroupWindow() = 0;
  // The group it shows or showed last (0 before the first).
  virtual int ShownGroup() const { return 0; }
};

}  // namespace kb
