// The button-class controls beside the push button and check box: radio
// buttons and the group box that frames related controls.
#pragma once

#include <windows.h>

#include <string>

#include "win/controls.h"

namespace kb::win {

// An automatic radio button; `firstOfGroup` starts a new group (the arrow
// keys move within one group, and only one of a group is selected).
class RadioButton : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height,
              const std::string& sjisCaption, bool firstOfGroup);
  bool Checked() const;
  void SetChecked(bool checked);
};

// A frame with a caption.  Created after the controls it frames, so it lies
// below them and never paints over them.
class GroupBox : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height,
              const std::string& sjisCaption);
};

}  // namespace kb::win
