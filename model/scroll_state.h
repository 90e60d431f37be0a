// The main bar's scrolling of its group buttons.  The bar scrolls only after
// the settings dialog's reset found more group buttons than slots; the back
// and forward buttons then move the window of shown buttons by one.
#pragma once

#include <vector>

namespace kb {

struct ScrollState {
  int scrollFirst = 0;   // ScrollFirst: first group button shown
  int slotCount = 0;     // SlotCount: slots shown while scrolled
  int groupCount = 0;    // GroupCount
  bool backEnabled = false;
  bool forwardEnabled = false;
};

// The state the settings dialog's reset leaves behind: first button 1 shown,
// forward enabled when there is more to see, back disabled.
ScrollState ScrolledStart(int slotCount, int groupCount);

// SclLeftClick / SclUpClick.  A disabled button ignores the click.
void ScrollBack(ScrollState& state);
// SclRightClick / SclDownClick.  A disabled button ignores the click.
void ScrollForward(ScrollState& state);

// Relayout: the group button shown at slot i (1 … SlotCount) is entry i − 1;
// every other group button is hidden (bounds 0, 0, 0, 0).
std::vector<int> ShownGroups(const ScrollState& state);

}  // namespace kb
