// The bar's and the group window's geometry at other scales, and what of it
// is stored.
#include <gtest/gtest.h>

#include "model/bar_layout.h"
#include "model/bar_reset.h"
#include "model/dpi_scale.h"
#include "model/group_layout.h"
#include "model/stored_layout.h"

namespace kb {
namespace {

const int kDpis[] = {96, 120, 144, 168, 192, 288};

TEST(DpiScale, RoundsToTheNearestPixelAndIsTheIdentityAt96) {
  for (int px = -200; px <= 2000; ++px) EXPECT_EQ(DpiScale()(px), px);
  EXPECT_EQ(DpiScale(144)(39), 59);   // 58.5 rounds away from zero, as MulDiv does
  EXPECT_EQ(DpiScale(144)(-39), -59);
  EXPECT_EQ(DpiScale(120)(2), 3);     // 2.5
  EXPECT_EQ(DpiScale(0), DpiScale());  // a system that reports no DPI
  for (int dpi : kDpis) {
    const DpiScale s(dpi);
    for (int px = 0; px <= 1000; ++px) {
      EXPECT_LE(std::abs(s(px) * 96 - px * dpi), 48) << dpi << " " << px;
      EXPECT_EQ(s.Unscale(s(px)), px) << dpi << " " << px;  // no loss upward
    }
  }
}

// Every control of the strip keeps its place in the order, with a gap to the
// next, and the strip ends where the formula lets it end.
TEST(DpiLayout, StripHoldsTheFormulasCountWithoutOverlapAtEveryScale) {
  for (int dpi : kDpis) {
    const DpiScale s(dpi);
    for (int length = 100; length <= 3000; length += 7) {
      const int n = GroupButtonCount(length, s);
      ASSERT_EQ(GroupButtonRoom(length, s), (length - s(70)) / s(39) - 1);
      for (int edge : {kEdgeTop, kEdgeLeft}) {
        const HelpScrollLayout l = LayoutHelpAndScroll(edge, n, s);
        const bool h = edge == kEdgeTop;
        auto start = [h](const Box& b) { return h ? b.left : b.top; };
        auto end = [h](const Box& b) { return h ? b.left + b.width : b.top + b.height; };
        const Box last = SlotBox(edge, n, s);
        if (n > 0) {
          EXPECT_LT(end(last), start(l.help)) << dpi << " " << length;
        }
        EXPECT_LT(end(l.help), start(l.back));
        EXPECT_LT(end(l.back), start(l.forward));
        if (n == GroupButtonRoom(length, s)) {  // neither clamped at 0 nor at 40
          EXPECT_LE(end(l.forward), length + s(72) - s(70) + 1) << dpi << " " << length;
        }
        EXPECT_EQ(h ? l.help.height : l.help.width, s(kBarThickness));
      }
      if (n > 0 && n < kMaxGroupButtons) {
        // One button more would have run past the bar's end by more.
        const HelpScrollLayout more = LayoutHelpAndScroll(kEdgeTop, n + 1, s);
        EXPECT_GT(more.forward.left + more.forward.width, length) << dpi << " " << length;
      }
    }
  }
}

TEST(DpiLayout, BarAndGroupWindowThicknessFollowTheScaleAndAreThe96DpiOnesAt96) {
  for (int dpi : kDpis) {
    const DpiScale s(dpi);
    for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
      const Box bar = BarBounds(edge, false, 1024, 768, s);
      EXPECT_EQ(IsHorizontalEdge(edge) ? bar.height : bar.width, s(38));
      EXPECT_EQ(bar, dpi == 96 ? BarBounds(edge, false, 1024, 768) : bar);
      const GroupDisplaySettings settings{edge, false, 5};
      const auto p = PlaceGroupWindow(settings, 1024, 768, Box{}, s);
      ASSERT_TRUE(p);
      const int across = IsHorizontalEdge(edge) ? 768 : 1024;
      EXPECT_EQ(p->displayCount, across / s(39) - 1);
      const Box& w = p->box;
      EXPECT_EQ(IsHorizontalEdge(edge) ? w.width : w.height, s(38));
      // The window lies between the bar and the far side of the screen.
      const int nearSide = edge == kEdgeTop ? w.top : edge == kEdgeLeft ? w.left
                           : edge == kEdgeBottom ? 768 - (w.top + w.height) : 1024 - (w.left + w.width);
      EXPECT_EQ(nearSide, s(38)) << dpi << " " << edge;
      const auto last = ExecButtonOrigin(edge, p->displayCount, w.width, w.height, s);
      ASSERT_TRUE(last);
      EXPECT_GE(std::min(last->x, last->y), 0) << "every button inside the window";
    }
    const BarReset reset = PlanBarReset(kEdgeLeft, 1024, 768, 30, s);
    EXPECT_EQ(reset.width, s(38));
    EXPECT_EQ(reset.slots, GroupButtonCount(768, s));
  }
}

TEST(StoredLayout, CountsAndTheGroupWindowAreStoredAsAt96Dpi) {
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
    const GroupDisplaySettings settings{edge, false, 5};
    const auto base = PlaceGroupWindow(settings, 1024, 768, Box{}, DpiScale());
    for (int dpi : kDpis) {
      const DpiScale s(dpi);
      const int length = BarLength(edge, 1024, 768);
      EXPECT_EQ(StoredGroupCount(edge, 1024, 768, GroupButtonCount(length, s), s),
                GroupButtonCount(length));
      // The window opened beside group button 5, as that button places it.
      for (int k : {0, 1, 5, 12}) {
        const Box button = SlotBox(edge, k, s);
        const auto scaled = PlaceGroupWindow(settings, 1024, 768, Box{}, s);
        const Box running = AlignWithGroupButton(edge, scaled->box, button.left, button.top);
        const Box slot96 = SlotBox(edge, k);
        const Box expected = AlignWithGroupButton(edge, base->box, slot96.left, slot96.top);
        const StoredGroupWindow stored =
            StoreGroupWindow(settings, 1024, 768, running, scaled->displayCount, s);
        EXPECT_EQ(stored.box, expected) << edge << " " << dpi << " " << k;
        EXPECT_EQ(stored.number, base->displayCount);
      }
    }
  }
  // At 96 dpi what runs is stored, whatever it is.
  const Box odd{3, 4, 5, 6};
  EXPECT_EQ(StoreGroupWindow({}, 1024, 768, odd, 7, DpiScale()), (StoredGroupWindow{odd, 7}));
  EXPECT_EQ(StoredGroupCount(kEdgeTop, 1024, 768, 3, DpiScale()), 3);
}

}  // namespace
}  // namespace kb
