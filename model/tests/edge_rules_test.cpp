// The bar at its edge: the rectangle put back on the edge, the strip it
// collapses to, where the cursor counts as on the bar, and one timer tick.
#include <gtest/gtest.h>

#include "model/edge_rules.h"

namespace kb {
namespace {

constexpr int W = 1024, H = 768;

TEST(EdgeRules, ThicknessGoesBackOnTheEdgeKeepingTheShellsOtherSides) {
  struct Case {
    int type;
    Box bar;
    EdgeRect queried, expected;
  };
  const Case cases[] = {
      // A docked bottom or right bar starts just outside the screen.
      {kEdgeBottom, BarBounds(kEdgeBottom, true, W, H), {0, 768, 1024, 806}, {0, 730, 1024, 768}},
      {kEdgeRight, BarBounds(kEdgeRight, true, W, H), {1024, 0, 1062, 768}, {986, 0, 1024, 768}},
      {kEdgeTop, BarBounds(kEdgeTop, true, W, H), {0, 38, 1000, 76}, {0, 0, 1000, 38}},
      {kEdgeLeft, BarBounds(kEdgeLeft, true, W, H), {38, 20, 38, 700}, {0, 20, 38, 700}},
      // Another shell's answer along the edge is kept (a panel at one end).
      {kEdgeBottom, BarBounds(kEdgeBottom, true, W, H), {60, 700, 1000, 768}, {60, 730, 1000, 768}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PutThicknessOnEdge(c.type, c.queried, c.bar.width, c.bar.height, W, H), c.expected)
        << "edge " << c.type;
  }
}

TEST(EdgeRules, TheStripKeepsItsLengthAndHugsTheEdge) {
  for (int type = kEdgeTop; type <= kEdgeRight; ++type) {
    const Box expanded = BarBounds(type, false, W, H);
    const Box collapsed = EdgeStrip(type, expanded, kCollapsedThickness, W, H);
    const bool horizontal = IsHorizontalEdge(type);
    EXPECT_EQ(horizontal ? collapsed.height : collapsed.width, kCollapsedThickness) << type;
    EXPECT_EQ(horizontal ? collapsed.width : collapsed.height, horizontal ? W : H) << type;
    // Its outer side stays on the screen's edge.
    const EdgeRect r = RectOf(collapsed), e = RectOf(expanded);
    switch (type) {
      case kEdgeTop: EXPECT_EQ(r.top, 0); break;
      case kEdgeLeft: EXPECT_EQ(r.left, 0); break;
      case kEdgeBottom: EXPECT_EQ(r.bottom, H); break;
      default: EXPECT_EQ(r.right, W); break;
    }
    EXPECT_EQ(EdgeStrip(type, collapsed, kBarThickness, W, H), expanded) << type;
    EXPECT_NE(r, e);
  }
}

TEST(EdgeRules, BorderPixelsAndThePixelPastThemCountAsOnTheBar) {
  const Box bar{0, 0, 38, 768};
  struct Case {
    int x, y;
    bool outside, strictlyInside;
  };
  const Case cases[] = {
      {19, 300, false, true}, {0, 300, false, false},  {38, 300, false, false},
      {39, 300, true, false}, {19, 0, false, false},   {19, 768, false, false},
      {19, 769, true, false}, {-1, 300, true, false},  {1, 1, false, true},
      {37, 767, false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CursorOutside(bar, c.x, c.y), c.outside) << c.x << "," << c.y;
    EXPECT_EQ(CursorStrictlyInside(bar, c.x, c.y), c.strictlyInside) << c.x << "," << c.y;
  }
}

TEST(EdgeRules, OneTickOfTheBarsTimer) {
  const Box top = BarBounds(kEdgeTop, false, W, H);
  TickState base;
  base.bar = top;
  base.cursorX = 500;
  base.cursorY = 20;  // strictly inside
  auto with = [&](auto change) {
    TickState s = base;
    change(s);
    return s;
  };
  struct Case {
    const char* name;
    TickState state;
    TickActions expected;
  };
  const Case cases[] = {
      {"nothing set", base, {}},
      {"another program active hides the group window",
       with([](TickState& s) { s.notActiveHide = s.groupWindowVisible = s.autoHide = true;
                               s.cursorY = 400; }),
       {true, true, false, false}},
      {"our window active keeps the group window and stops there",
       with([](TickState& s) { s.notActiveHide = s.groupWindowVisible = s.foregroundIsOurs = true;
                               s.autoHide = true; s.cursorY = 400; }),
       {}},
      {"an open group window keeps the bar expanded",
       with([](TickState& s) { s.groupWindowVisible = s.autoHide = s.saverPause = true;
                               s.cursorY = 400; }),
       {}},
      {"cursor away: collapse", with([](TickState& s) { s.autoHide = true; s.cursorY = 39; }),
       {false, true, false, false}},
      {"cursor on the border: stays", with([](TickState& s) { s.autoHide = true; s.cursorY = 38; }),
       {}},
      {"cursor strictly inside holds the saver", with([](TickState& s) { s.saverPause = true; }),
       {false, false, false, true}},
      {"top pixel row keeps the bar but does not hold the saver",
       with([](TickState& s) { s.saverPause = s.autoHide = true; s.cursorY = 0; }),
       {}},
      {"held and still inside: nothing",
       with([](TickState& s) { s.saverPause = s.saverSuspended = true; }), {}},
      {"held and the cursor gone: release",
       with([](TickState& s) { s.saverPause = s.saverSuspended = true; s.cursorX = 2000; }),
       {false, false, true, false}},
      {"held with SaverPause switched off: release",
       with([](TickState& s) { s.saverSuspended = true; }), {false, false, true, false}},
      {"held but the group window open: wait",
       with([](TickState& s) { s.saverPause = s.saverSuspended = s.groupWindowVisible = true;
                               s.cursorX = 2000; }),
       {}},
  };
  for (const Case& c : cases) {
    const TickActions a = PlanTick(c.state);
    EXPECT_EQ(a.hideGroupWindow, c.expected.hideGroupWindow) << c.name;
    EXPECT_EQ(a.collapse, c.expected.collapse) << c.name;
    EXPECT_EQ(a.releaseSaver, c.expected.releaseSaver) << c.name;
    EXPECT_EQ(a.holdSaver, c.expected.holdSaver) << c.name;
  }
}

}  // namespace
}  // namespace kb
