#include "model/group_layout.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

GroupDisplaySettings Edge(int edge) {
  GroupDisplaySettings s;
  s.edge = edge;
  return s;
}

TEST(GroupLayoutTest, TopOf800x600HangsFourteenButtonsBelowTheBar) {
  const auto p = PlaceGroupWindow(Edge(kEdgeTop), 800, 600, GroupWindowBox{123, 0, 0, 0});
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->displayCount, 14);
  EXPECT_EQ(p->box.left, 123);  // along the bar: left to the group button
  EXPECT_EQ(p->box.top, 38);
  EXPECT_EQ(p->box.width, 38);
  EXPECT_EQ(p->box.height, 546);
  const auto first = ExecButtonOrigin(kEdgeTop, 1, p->box.width, p->box.height);
  const auto last = ExecButtonOrigin(kEdgeTop, 14, p->box.width, p->box.height);
  EXPECT_EQ(first->y, 0);
  EXPECT_EQ(last->x, 0);
  EXPECT_EQ(last->y, 507);
}

TEST(GroupLayoutTest, BottomStandsOnTheBarWithButtonOneNextToIt) {
  const auto p = PlaceGroupWindow(Edge(kEdgeBottom), 800, 600, GroupWindowBox{});
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->displayCount, 14);
  EXPECT_EQ(p->box.top, 16);
  EXPECT_EQ(p->box.height, 546);
  EXPECT_EQ(ExecButtonOrigin(kEdgeBottom, 1, p->box.width, p->box.height)->y, 507);
  EXPECT_EQ(ExecButtonOrigin(kEdgeBottom, 14, p->box.width, p->box.height)->y, 0);
}

TEST(GroupLayoutTest, RightOf1024x768RunsLeftFromTheBar) {
  const auto p = PlaceGroupWindow(Edge(kEdgeRight), 1024, 768, GroupWindowBox{0, 77, 0, 0});
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->displayCount, 25);
  EXPECT_EQ(p->box.left, 11);
  EXPECT_EQ(p->box.top, 77);
  EXPECT_EQ(p->box.width, 975);
  EXPECT_EQ(p->box.height, 38);
  EXPECT_EQ(ExecButtonOrigin(kEdgeRight, 1, p->box.width, p->box.height)->x, 936);
  EXPECT_EQ(ExecButtonOrigin(kEdgeRight, 25, p->box.width, p->box.height)->x, 0);
}

TEST(GroupLayoutTest, LeftRunsRightFromTheBar) {
  const auto p = PlaceGroupWindow(Edge(kEdgeLeft), 1024, 768, GroupWindowBox{});
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->displayCount, 25);
  EXPECT_EQ(p->box.left, 38);
  EXPECT_EQ(p->box.width, 975);
  EXPECT_EQ(p->box.height, 38);
  EXPECT_EQ(ExecButtonOrigin(kEdgeLeft, 2, p->box.width, p->box.height)->x, 39);
  EXPECT_EQ(ExecButtonOrigin(kEdgeLeft, 2, p->box.width, p->box.height)->y, 0);
}

TEST(GroupLayoutTest, FixedCountWinsOverScreenSize) {
  GroupDisplaySettings s = Edge(kEdgeTop);
  s.maxFileLimit = true;
  s.tMaxFileNum = 5;
  EXPECT_EQ(GroupDisplayCount(s, 1600, 1200), 5);
  EXPECT_EQ(PlaceGroupWindow(s, 800, 600, {})->box.height, 5 * 39);
}

TEST(GroupLayoutTest, CountsStayWithinTheFortySlots) {
  EXPECT_EQ(GroupDisplayCount(Edge(kEdgeTop), 800, 4000), 40);
  EXPECT_EQ(GroupDisplayCount(Edge(kEdgeLeft), 30, 600), 0);
  GroupDisplaySettings s = Edge(kEdgeTop);
  s.maxFileLimit = true;
  s.tMaxFileNum = 99;
  EXPECT_EQ(GroupDisplayCount(s, 800, 600), 40);
  s.tMaxFileNum = -3;
  EXPECT_EQ(GroupDisplayCount(s, 800, 600), 0);
}

TEST(GroupLayoutTest, UnknownEdgeChangesNothing) {
  EXPECT_FALSE(PlaceGroupWindow(Edge(4), 800, 600, {}).has_value());
  EXPECT_FALSE(ExecButtonOrigin(-1, 1, 38, 38).has_value());
  const GroupWindowBox box{1, 2, 3, 4};
  const GroupWindowBox same = AlignWithGroupButton(7, box, 50, 60);
  EXPECT_EQ(same.left, 1);
  EXPECT_EQ(same.top, 2);
}

TEST(GroupLayoutTest, GroupButtonSetsTheCoordinateAlongTheBar) {
  const GroupWindowBox box{0, 38, 38, 546};
  EXPECT_EQ(AlignWithGroupButton(kEdgeTop, box, 117, 0).left, 117);
  EXPECT_EQ(AlignWithGroupButton(kEdgeTop, box, 117, 0).top, 38);
  EXPECT_EQ(AlignWithGroupButton(kEdgeBottom, box, 156, 562).left, 156);
  const GroupWindowBox side{38, 0, 975, 38};
  EXPECT_EQ(AlignWithGroupButton(kEdgeLeft, side, 0, 195).top, 195);
  EXPECT_EQ(AlignWithGroupButton(kEdgeRight, side, 986, 234).left, 38);
  EXPECT_EQ(AlignWithGroupButton(kEdgeRight, side, 986, 234).top, 234);
}

}  // namespace
}  // namespace kb
