// The settings dialog's "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳﾘｾｯﾄ": the bar laid out again at full
// length for the screen as it is now, scrolled to its first group button.
// Plain values, so the rule is checked on the host; the bar applies them.
#pragma once

#include "model/bar_layout.h"
#include "model/scroll_state.h"

namespace kb {

struct BarReset {
  int width = 0;   // the bar's new size; it keeps its position
  int height = 0;
  int slots = 0;   // group-button slots behind which the help and scroll buttons go
  ScrollState scroll;  // which group buttons show, and the scroll buttons' states
  bool operator==(const BarReset&) const = default;
};

// For the bar at edge `type` of a screen of the given size with
// `groupCount` group buttons.  The slots are counted as at start-up.  When
// every group button has a slot, all show and both scroll buttons are
// disabled; otherwise buttons 1 … slots show and only forward is enabled.
BarReset PlanBarReset(int type, int screenWidth, int screenHeight, int groupCount,
                      DpiScale s = {});

}  // namespace kb
