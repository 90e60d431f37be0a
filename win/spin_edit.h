// A number field with up and down arrows: an edit control and an up-down
// control attached to its right edge, within minimum..maximum.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "win/controls.h"

namespace kb::win {

class SpinEdit : public Edit {
 public:
  // The pair takes the bounds given; the arrows sit inside them on the right.
  // The field starts a new tab group (it ends a group of radio buttons).
  bool Create(HWND parent, int id, int x, int y, int width, int height, int minimum, int maximum);

  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  // The field's text brought into the range; text that is no number reads
  // as the minimum.
  int32_t Value() const;
  void SetValue(int64_t value);
  HWND Arrows() const { return arrows_; }

 private:
  HWND arrows_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 0;
};

}  // namespace kb::win
