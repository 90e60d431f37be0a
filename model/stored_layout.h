// What the settings file and the icon store keep of the layout is always
// the layout of 96 dpi: a settings folder moves between machines of any
// scaling without change, and a launcher at 150 % writes byte for byte what
// one at 100 % writes for the same state.  The running launcher may show
// fewer group and program buttons at its scale; the counts stored are those
// of 96 dpi, and the records and icons beyond what it shows stay as they were.
#pragma once

#include "model/bar_layout.h"
#include "model/group_layout.h"

namespace kb {

// The group count to store ("Group"/"Number") and the rows the icon store
// keeps at least: the running count at 96 dpi, else the count the bar holds
// at 96 dpi on the same screen.
int StoredGroupCount(int type, int screenWidth, int screenHeight, int runningCount, DpiScale s);

// The group window's "Window" section: its bounds and button count as at
// 96 dpi.  The coordinate along the bar is the group button's it was opened
// beside: that button's slot is kept, the rest unscaled.
struct StoredGroupWindow {
  Box box;
  int number = 0;
  friend bool operator==(const StoredGroupWindow&, const StoredGroupWindow&) = default;
};
StoredGroupWindow StoreGroupWindow(const GroupDisplaySettings& settings, int screenWidth,
                                   int screenHeight, const Box& running, int runningCount,
                                   DpiScale s);

}  // namespace kb
