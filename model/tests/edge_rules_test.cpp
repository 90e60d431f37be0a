// The bar at its edge: the rectangle put back on the edge, the strip it
// collapses to, where the cursor counts as on the bar, one timer tick.
#include <gtest/gtest.h>

#include "model/edge_rules.h"

namespace kb {
namespace {

constexpr int W = 1024, H = 768;

TEST(EdgeRules, ThicknessGoesBackOnTheEdgeKeepingTheShellsOtherSides) {
  // A docked bottom bar starts just outside the screen; a top bar the shell
  // pushed inwards (another bar there) is put back on the edge.
  const Box bottom = BarBounds(kEdgeBottom, true, W, H), top = BarBounds(kEdgeTop, true, W, H);
  EXPECT_EQ(PutThicknessOnEdge(kEdgeBottom, {0, 768, 1024, 806}, bottom.width, bottom.height, W, H),
            (EdgeRect{0, 730, 1024, 768}));
  EXPECT_EQ(PutThicknessOnEdge(kEdgeTop, {20, 38, 1000, 76}, top.width, top.height, W, H),
            (EdgeRect{20, 0, 1000, 38}));
}

TEST(EdgeRules, OneTickOfTheBarsTimer) {
  // The top bar; the pointer strictly inside unless a case moves it.
  const Box top = BarBounds(kEdgeTop, false, W, H);
  auto tick = [&](int y, auto set) {
    TickState s;
    s.bar = top;
    s.cursorX = 500;
    s.cursorY = y;
    set(s);
    return s;
  };
  const struct {
    const char* name;
    TickState state;
    TickActions expected;
  } cases[] = {
      {"nothing set", tick(20, [](TickState&) {}), {}},
      {"another program: hide the group window, then go on",
       tick(400, [](TickState& s) { s.notActiveHide = s.groupWindowVisible = s.autoHide = true; }),
       {true, true, false, false}},
      {"our window active: an open group window stops the tick",
       tick(400, [](TickState& s) {
         s.notActiveHide = s.groupWindowVisible = s.foregroundIsOurs = s.autoHide = true;
       }),
       {}},
      {"pointer away: collapse", tick(39, [](TickState& s) { s.autoHide = true; }),
       {false, true, false, false}},
      {"pointer on the border: stays",
       tick(38, [](TickState& s) { s.autoHide = true; }), {}},
      {"strictly inside holds the saver", tick(20, [](TickState& s) { s.saverPause = true; }),
       {false, false, false, true}},
      {"the screen's top row does not hold it",
       tick(0, [](TickState& s) { s.saverPause = s.autoHide = true; }), {}},
      {"held and inside: nothing",
       tick(20, [](TickState& s) { s.saverPause = s.saverSuspended = true; }), {}},
      {"held and the pointer gone: release",
       tick(400, [](TickState& s) { s.saverPause = s.saverSuspended = true; }),
       {false, false, true, false}},
      {"held with SaverPause off: release",
       tick(20, [](TickState& s) { s.saverSuspended = true; }), {false, false, true, false}},
      {"held, pointer gone, group window open: wait",
       tick(400, [](TickState& s) { s.saverPause = s.saverSuspended = s.groupWindowVisible = true; }),
       {}},
  };
  for (const auto& c : cases) EXPECT_EQ(PlanTick(c.state), c.expected) << c.name;
  // Border pixels and the pixel just past them count as on the bar.
  EXPECT_FALSE(CursorOutside(top, W, 38));
  EXPECT_TRUE(CursorOutside(top, W + 1, 20));
  EXPECT_FALSE(CursorStrictlyInside(top, 0, 20));
  EXPECT_TRUE(CursorStrictlyInside(top, 1, 37));
}

}  // namespace
}  // namespace kb
