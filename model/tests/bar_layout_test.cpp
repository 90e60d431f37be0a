#include "model/bar_layout.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

TEST(BarLayout, GroupButtonCountFollowsTheScreenLength) {
  const struct { int length, count; } cases[] = {
      {480, 9}, {600, 12}, {640, 13}, {768, 16}, {800, 17}, {1024, 23}, {1280, 30}, {1600, 38}};
  for (const auto& c : cases) EXPECT_EQ(GroupButtonCount(c.length), c.count) << c.length;
}

TEST(BarLayout, FortyButtonsExactlyFrom1669To1707AndNeverMore) {
  EXPECT_EQ(GroupButtonCount(1668), 39);
  for (int length = 1669; length <= 1707; ++length) EXPECT_EQ(GroupButtonCount(length), 40);
  EXPECT_EQ(GroupButtonRoom(1708), 41);
  EXPECT_EQ(GroupButtonCount(1708), 40);
  EXPECT_EQ(GroupButtonCount(4096), 40);
}

TEST(BarLayout, ShortBarHasNoGroupButtons) {
  EXPECT_EQ(GroupButtonCount(147), 0);
  EXPECT_EQ(GroupButtonCount(148), 1);
  EXPECT_EQ(GroupButtonRoom(10), -2);  // (10 − 70) div 39 truncates toward zero: −1
  EXPECT_EQ(GroupButtonCount(10), 0);
  EXPECT_EQ(GroupButtonCount(0), 0);
}

TEST(BarLayout, StripNeverRunsPastTheBarBeyondTwoPixels) {
  for (int length = 148; length <= 1707; ++length) {
    const int n = GroupButtonCount(length);
    const HelpScrollLayout l = LayoutHelpAndScroll(kEdgeTop, n);
    EXPECT_LE(l.forward.left + l.forward.width, length + 2) << length;
  }
}

TEST(BarLayout, BarBoundsForEachEdge) {
  EXPECT_EQ(BarBounds(kEdgeTop, true, 1024, 768), (Box{0, 0, 1024, 38}));
  EXPECT_EQ(BarBounds(kEdgeLeft, true, 1024, 768), (Box{0, 0, 38, 768}));
  EXPECT_EQ(BarBounds(kEdgeBottom, true, 1024, 768), (Box{0, 768, 1024, 38}));
  EXPECT_EQ(BarBounds(kEdgeBottom, false, 1024, 768), (Box{0, 730, 1024, 38}));
  EXPECT_EQ(BarBounds(kEdgeRight, true, 1024, 768), (Box{1024, 0, 38, 768}));
  EXPECT_EQ(BarBounds(kEdgeRight, false, 1024, 768), (Box{986, 0, 38, 768}));
}

TEST(BarLayout, UnknownEdgeIsTheBottom) {
  EXPECT_EQ(NormalizeEdge(9), kEdgeBottom);
  EXPECT_EQ(NormalizeEdge(255), kEdgeBottom);
  EXPECT_EQ(NormalizeEdge(-1), kEdgeBottom);
  EXPECT_EQ(NormalizeEdge(kEdgeRight), kEdgeRight);
  EXPECT_EQ(BarBounds(9, false, 800, 600), BarBounds(kEdgeBottom, false, 800, 600));
  EXPECT_TRUE(IsHorizontalEdge(9));
  EXPECT_EQ(BarLength(9, 800, 600), 800);
  EXPECT_EQ(BarLength(kEdgeRight, 800, 600), 600);
}

TEST(BarLayout, TopBarOn1024x768) {
  const int n = GroupButtonCount(BarLength(kEdgeTop, 1024, 768));
  ASSERT_EQ(n, 23);
  EXPECT_EQ(SlotBox(kEdgeTop, 1), (Box{39, 0, 38, 38}));
  EXPECT_EQ(SlotBox(kEdgeTop, 23), (Box{897, 0, 38, 38}));
  const HelpScrollLayout l = LayoutHelpAndScroll(kEdgeTop, n);
  EXPECT_TRUE(l.horizontal);
  EXPECT_EQ(l.help, (Box{936, 0, 20, 38}));
  EXPECT_EQ(l.back, (Box{957, 0, 25, 38}));
  EXPECT_EQ(l.forward, (Box{983, 0, 25, 38}));
  EXPECT_EQ(l.helpTab, 28);
  EXPECT_EQ(l.backTab, 29);
  EXPECT_EQ(l.forwardTab, 30);
}

TEST(BarLayout, LeftBarOn1024x768) {
  const int n = GroupButtonCount(BarLength(kEdgeLeft, 1024, 768));
  ASSERT_EQ(n, 16);
  EXPECT_EQ(SlotBox(kEdgeLeft, 1), (Box{0, 39, 38, 38}));
  EXPECT_EQ(SlotBox(kEdgeLeft, 16), (Box{0, 624, 38, 38}));
  const HelpScrollLayout l = LayoutHelpAndScroll(kEdgeLeft, n);
  EXPECT_FALSE(l.horizontal);
  EXPECT_EQ(l.help, (Box{0, 663, 38, 20}));
  EXPECT_EQ(l.back, (Box{0, 684, 38, 25}));
  EXPECT_EQ(l.forward, (Box{0, 710, 38, 25}));
}

TEST(BarLayout, ButtonsBeyondFortyLeaveTheRestOfALongBarEmpty) {
  const HelpScrollLayout l = LayoutHelpAndScroll(kEdgeBottom, GroupButtonCount(2560));
  EXPECT_EQ(l.help.left, 41 * 39);
  EXPECT_EQ(l.forward.left + l.forward.width, 41 * 39 + 72);
}

}  // namespace
}  // namespace kb
