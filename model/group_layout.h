// Where the group window sits and where its program buttons go.
//
// Plain values in, plain values out: the window layer only applies them.  The
// window runs from the bar across the screen; button 1 always lies next to the
// bar and numbers grow away from it.
#pragma once

#include <optional>

#include "model/bar_layout.h"

namespace kb {

// The edges (kEdgeTop ...), the bar's thickness and the 39-pixel pitch are
// the bar's; the group window shares them.
constexpr int kButtonSize = 38;       // a program button is 38 x 38, the strip is 38 thick
constexpr int kMaxDisplayCount = 40;  // the table holds 40 slots per group

using GroupWindowBox = Box;

// Display settings that decide the number of program buttons.
struct GroupDisplaySettings {
  int edge = kEdgeTop;
  bool maxFileLimit = false;  // fixed count instead of "as many as fit"
  int tMaxFileNum = 5;        // the fixed count, 1..40
};

struct GroupWindowPlacement {
  int displayCount = 0;
  // The window's bounds.  The coordinate along the bar (left on a horizontal
  // bar, top on a vertical one) is kept from `current`: the group button sets
  // it when it shows the window beside itself.
  GroupWindowBox box;
};

// Number of program buttons for a screen: the fixed count when set, else
// (extent across the bar) / (39·s) - 1; never more than the 40 slots of a group
// and never negative.
int GroupDisplayCount(const GroupDisplaySettings& settings, int screenWidth, int screenHeight,
                      DpiScale s = {});

// The window's size and distance from the bar.  nullopt for an edge value
// outside 0..3, which leaves the window as it is.
std::optional<GroupWindowPlacement> PlaceGroupWindow(const GroupDisplaySettings& settings,
                                                     int screenWidth, int screenHeight,
                                                     const GroupWindowBox& current,
                                                     DpiScale s = {});

// Top-left corner of program button n (1-based) inside a window of the given
// size; nullopt for an unknown edge.
struct ButtonOrigin {
  int x = 0, y = 0;
};
std::optional<ButtonOrigin> ExecButtonOrigin(int edge, int n, int windowWidth, int windowHeight,
                                             DpiScale s = {});

// Where the group window goes when group button `buttonLeft`/`buttonTop`
// opens it: a horizontal bar moves the window's left to the button's left, a
// vertical bar its top to the button's top.
GroupWindowBox AlignWithGroupButton(int edge, const GroupWindowBox& window, int buttonLeft,
                                    int buttonTop);

}  // namespace kb
