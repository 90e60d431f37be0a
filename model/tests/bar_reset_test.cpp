// The settings dialog's reset: the bar's layout for the screen as it is now.
#include <gtest/gtest.h>

#include "model/bar_reset.h"

namespace kb {
namespace {

std::vector<int> Range(int first, int last) {
  std::vector<int> v;
  for (int k = first; k <= last; ++k) v.push_back(k);
  return v;
}

TEST(BarReset, SizeSlotsAndScrollingFollowTheScreenAndTheButtons) {
  struct Case { int type, width, height, groups, w, h, slots, shownLast; bool forward; };
  const Case cases[] = {
      {0, 1024, 768, 23, 1024, 38, 23, 23, false},  // all fit
      {2, 800, 600, 10, 800, 38, 17, 10, false},
      {1, 1024, 600, 16, 38, 600, 12, 12, true},    // the screen shrank under 16 groups
      {3, 1024, 694, 16, 38, 694, 15, 15, true},    // one too many: not under the help button
      {0, 100, 80, 3, 100, 38, 0, 0, true},         // no room at all
  };
  for (const Case& c : cases) {
    const BarReset r = PlanBarReset(c.type, c.width, c.height, c.groups);
    EXPECT_EQ(r.width, c.w) << c.height;
    EXPECT_EQ(r.height, c.h) << c.height;
    EXPECT_EQ(r.slots, c.slots) << c.height;
    EXPECT_EQ(ShownGroups(r.scroll), Range(1, c.shownLast)) << c.height;
    EXPECT_FALSE(r.scroll.backEnabled);
    EXPECT_EQ(r.scroll.forwardEnabled, c.forward) << c.height;
  }
}

TEST(BarReset, ScrollingAfterAResetReachesTheLastButtonAndStops) {
  ScrollState s = PlanBarReset(1, 1024, 600, 16).scroll;
  for (int i = 0; i < 10; ++i) ScrollForward(s);
  EXPECT_EQ(ShownGroups(s), Range(5, 16));
  EXPECT_FALSE(s.forwardEnabled);
}

}  // namespace
}  // namespace kb
