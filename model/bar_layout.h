// Geometry of the main bar: where the bar sits for each screen edge, how many
// group buttons its length holds, and where each control of its strip goes.
// Plain values in and out, so the rules are checked on the host.
#pragma once

#include "model/dpi_scale.h"

namespace kb {

// A rectangle as the bar's windows are placed: left, top, width, height.
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

// Edges as stored in "Type": 0 top, 1 left, 2 bottom, 3 right.
enum : int { kEdgeTop = 0, kEdgeLeft = 1, kEdgeBottom = 2, kEdgeRight = 3 };

constexpr int kBarThickness = 38;
constexpr int kButtonPitch = 39;
constexpr int kMaxGroupButtons = 40;

// Every size below is given at 96 dpi; the functions take the scale of the
// bar's monitor and keep their formulas with the scaled sizes.

// Any value other than 0 … 3 means the bottom edge.
int NormalizeEdge(int type);
bool IsHorizontalEdge(int type);

// The bar's length L: the screen's width for a horizontal bar, else its height.
int BarLength(int type, int screenWidth, int screenHeight);

// The bar's bounds.  A docked bottom or right bar starts just outside the
// screen: the desktop-toolbar registration moves it into place.
Box BarBounds(int type, bool barDocked, int screenWidth, int screenHeight, DpiScale s = {});

// (L − 70) div 39 − 1, truncating toward zero; may be zero or negative.
// Scaled: (L − 70·s) div (39·s) − 1.
int GroupButtonRoom(int barLength, DpiScale s = {});

// The group buttons the bar actually creates: the room, never below 0 and
// never above the 40 groups the data model holds.  On a longer bar the help
// and scroll buttons follow the 40th button and the rest stays empty.
int GroupButtonCount(int barLength, DpiScale s = {});

// A 38 × 38 control at strip slot `slot` (offset slot × 39 along the bar).
Box SlotBox(int type, int slot, DpiScale s = {});

// The help and scroll buttons behind n slots, and their tab order.
struct HelpScrollLayout {
  bool horizontal = true;   // SclLeft/SclRight shown, else SclUp/SclDown
  Box help, back, forward;  // back = SclLeft/SclUp, forward = SclRight/SclDown
  int helpTab = 0, backTab = 0, forwardTab = 0;
};
HelpScrollLayout LayoutHelpAndScroll(int type, int slots, DpiScale s = {});

}  // namespace kb
