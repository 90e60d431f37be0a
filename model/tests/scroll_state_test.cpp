#include "model/scroll_state.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kb {
namespace {

std::vector<int> Range(int first, int last) {
  std::vector<int> v(static_cast<size_t>(last - first + 1));
  std::iota(v.begin(), v.end(), first);
  return v;
}

TEST(ScrollState, TenGroupsEightSlotsWalk) {
  ScrollState s = ScrolledStart(8, 10);
  EXPECT_EQ(ShownGroups(s), Range(1, 8));
  EXPECT_TRUE(s.forwardEnabled);
  EXPECT_FALSE(s.backEnabled);

  ScrollForward(s);
  EXPECT_EQ(ShownGroups(s), Range(2, 9));
  EXPECT_TRUE(s.forwardEnabled);
  EXPECT_TRUE(s.backEnabled);

  ScrollForward(s);
  EXPECT_EQ(ShownGroups(s), Range(3, 10));
  EXPECT_FALSE(s.forwardEnabled);

  ScrollBack(s);
  EXPECT_EQ(ShownGroups(s), Range(2, 9));
  EXPECT_TRUE(s.forwardEnabled);
  EXPECT_TRUE(s.backEnabled);

  ScrollBack(s);
  EXPECT_EQ(ShownGroups(s), Range(1, 8));
  EXPECT_FALSE(s.backEnabled);
  EXPECT_TRUE(s.forwardEnabled);
}

TEST(ScrollState, DisabledButtonsIgnoreClicks) {
  ScrollState s = ScrolledStart(8, 10);
  ScrollBack(s);  // back starts disabled
  EXPECT_EQ(s.scrollFirst, 1);
  ScrollForward(s);
  ScrollForward(s);
  ScrollForward(s);  // forward is disabled at the end
  EXPECT_EQ(s.scrollFirst, 3);
  EXPECT_EQ(ShownGroups(s).back(), 10);
}

TEST(ScrollState, UnscrolledBarDoesNotMove) {
  ScrollState s;  // before any reset: both disabled, nothing shown
  ScrollForward(s);
  ScrollBack(s);
  EXPECT_EQ(s.scrollFirst, 0);
  EXPECT_TRUE(ShownGroups(s).empty());
  ScrollState fits = ScrolledStart(10, 10);
  EXPECT_FALSE(fits.forwardEnabled);
}

TEST(ScrollState, OneMoreGroupThanSlots) {
  ScrollState s = ScrolledStart(3, 4);
  ScrollForward(s);
  EXPECT_EQ(ShownGroups(s), Range(2, 4));
  EXPECT_FALSE(s.forwardEnabled);
  EXPECT_TRUE(s.backEnabled);
  ScrollBack(s);
  EXPECT_FALSE(s.backEnabled);
  EXPECT_TRUE(s.forwardEnabled);
}

}  // namespace
}  // namespace kb
