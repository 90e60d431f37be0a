// Portable rules of the bar at its edge: the rectangle it asks the shell for,
// its thickness when it auto-hides, where the cursor counts as on the bar,
// and what one tick of the bar's timer does.  Plain values in and out.
#pragma once

#include "model/bar_layout.h"

namespace kb {

// A rectangle as the shell gives it: left, top, right, bottom.
struct EdgeRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const EdgeRect&, const EdgeRect&) = default;
};

constexpr int kCollapsedThickness = 2;

EdgeRect RectOf(const Box& box);

// The shell's answer to a position query with the bar's thickness put back
// on its edge; the shell's other two sides are kept.
EdgeRect PutThicknessOnEdge(int type, EdgeRect queried, int barWidth, int barHeight,
                            int screenWidth, int screenHeight);

// The bar `thickness` pixels thick along its edge (38 expanded, 2 collapsed);
// its length and the other side stay as they are.
Box EdgeStrip(int type, const Box& bar, int thickness, int screenWidth, int screenHeight);

// Outside: x < left, x > left + width, y < top or y > top + height.  The
// border and the pixel just past it count as inside.
bool CursorOutside(const Box& bar, int x, int y);
// Strictly inside: left < x < left + width and top < y < top + height.
bool CursorStrictlyInside(const Box& bar, int x, int y);

// One tick of the bar's timer.
struct TickState {
  bool notActiveHide = false;
  bool autoHide = false;
  bool saverPause = false;
  bool saverSuspended = false;  // the launcher holds the screen saver off
  bool foregroundIsOurs = false;  // the bar or the group window is active
  bool groupWindowVisible = false;
  Box bar;
  int cursorX = 0, cursorY = 0;
};

struct TickActions {
  bool hideGroupWindow = false;
  bool collapse = false;
  bool releaseSaver = false;
  bool holdSaver = false;  // when the saver is active
  friend bool operator==(const TickActions&, const TickActions&) = default;
};

// Hides the group window when another program is active (NotActiveHide);
// with the group window still open nothing else happens.  Else the bar
// collapses (AutoHide) and the saver is released when the cursor has left
// the bar, and held when the cursor is strictly inside it (SaverPause).  A
// hold is also released once SaverPause has been switched off.
TickActions PlanTick(const TickState& state);

}  // namespace kb
