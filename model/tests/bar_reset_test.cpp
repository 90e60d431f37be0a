// "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳﾘｾｯﾄ": the bar's layout for the screen as it is now.
#include <gtest/gtest.h>

#include "model/bar_reset.h"

namespace kb {
namespace {

std::vector<int> Range(int first, int last) {
  std::vector<int> v;
  for (int k = first; k <= last; ++k) v.push_back(k);
  return v;
}

TEST(BarReset, FullLengthAndThicknessFollowTheEdge) {
  struct Case { int type, width, height, expectedWidth, expectedHeight; };
  const Case cases[] = {{0, 1024, 768, 1024, 38}, {2, 800, 600, 800, 38},
                        {1, 1024, 768, 38, 768},  {3, 640, 480, 38, 480}};
  for (const Case& k : cases) {
    const BarReset r = PlanBarReset(k.type, k.width, k.height, 5);
    EXPECT_EQ(r.width, k.expectedWidth) << k.type;
    EXPECT_EQ(r.height, k.expectedHeight) << k.type;
    EXPECT_EQ(r.slots, GroupButtonCount(BarLength(k.type, k.width, k.height))) << k.type;
  }
}

TEST(BarReset, EveryButtonFittingShowsAllAndDisablesBothScrollButtons) {
  // 1024 wide: 23 slots, for 23 and for fewer groups.
  for (int groups : {23, 10, 0}) {
    const BarReset r = PlanBarReset(0, 1024, 768, groups);
    EXPECT_EQ(r.slots, 23);
    EXPECT_EQ(ShownGroups(r.scroll), Range(1, groups)) << groups;
    EXPECT_FALSE(r.scroll.backEnabled);
    EXPECT_FALSE(r.scroll.forwardEnabled);
  }
}

TEST(BarReset, MoreButtonsThanSlotsShowsTheFirstAndScrollsForwardOnly) {
  // The screen shrank from 768 to 600 rows under a bar of 16 groups.
  const BarReset r = PlanBarReset(1, 1024, 600, 16);
  ASSERT_EQ(r.slots, 12);
  EXPECT_EQ(ShownGroups(r.scroll), Range(1, 12));
  EXPECT_EQ(r.scroll.scrollFirst, 1);
  EXPECT_EQ(r.scroll.slotCount, 12);
  EXPECT_FALSE(r.scroll.backEnabled);
  EXPECT_TRUE(r.scroll.forwardEnabled);
  // The scrolling that follows reaches the last button and stops there.
  ScrollState s = r.scroll;
  for (int i = 0; i < 10; ++i) ScrollForward(s);
  EXPECT_EQ(ShownGroups(s), Range(5, 16));
  EXPECT_FALSE(s.forwardEnabled);
}

TEST(BarReset, OneButtonMoreThanSlotsIsScrolledNotPutUnderTheHelpButton) {
  // 694 pixels hold 15 slots; the 16th button would sit where the help
  // button goes.
  const BarReset r = PlanBarReset(1, 1024, 694, 16);
  ASSERT_EQ(r.slots, 15);
  EXPECT_EQ(ShownGroups(r.scroll), Range(1, 15));
  EXPECT_TRUE(r.scroll.forwardEnabled);
}

TEST(BarReset, ATinyScreenHasNoSlotsAndShowsNothing) {
  const BarReset r = PlanBarReset(0, 100, 80, 3);
  EXPECT_EQ(r.slots, 0);
  EXPECT_TRUE(ShownGroups(r.scroll).empty());
}

}  // namespace
}  // namespace kb
