#include "model/bar_reset.h"

namespace kb {

BarReset PlanBarReset(int type, int screenWidth, int screenHeight, int groupCount,
                      DpiScale s) {
  BarReset reset;
  const int length = BarLength(type, screenWidth, screenHeight);
  const bool horizontal = IsHorizontalEdge(type);
  reset.width = horizontal ? length : s(kBarThickness);
  reset.height = horizontal ? s(kBarThickness) : length;
  // Never below zero (a tiny screen) nor beyond the 40 groups of the model,
  // as when the bar makes its buttons.
  reset.slots = GroupButtonCount(length, s);
  if (reset.slots >= groupCount) {
    // Every button at its own slot.  A button beyond the last slot would sit
    // under the help button, where it could neither be seen nor scrolled to.
    reset.scroll.scrollFirst = 1;
    reset.scroll.slotCount = reset.slots;
    reset.scroll.groupCount = groupCount;
  } else {
    reset.scroll = ScrolledStart(reset.slots, groupCount);
  }
  return reset;
}

}  // namespace kb
