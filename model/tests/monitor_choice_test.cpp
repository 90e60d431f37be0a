#include "model/monitor_choice.h"

#include <gtest/gtest.h>

#include "model/edge_rules.h"
#include "model/group_layout.h"

namespace kb {
namespace {

MonitorDesc Monitor(const char* device, EdgeRect area, bool primary = false) {
  return {device, area, area, primary};
}

// The two heads of the test display: 1024 × 768 primary, 800 × 600 beside it.
const std::vector<MonitorDesc> kTwo = {
    Monitor("\\\\.\\DISPLAY1", {0, 0, 1024, 768}, true),
    Monitor("\\\\.\\DISPLAY2", {1024, 0, 1824, 600}),
};

TEST(MonitorChoiceTest, StoredValueFindsItsMonitorByNameThenRectangle) {
  const std::vector<MonitorDesc> reordered = {kTwo[1], kTwo[0]};
  std::vector<MonitorDesc> renamed = kTwo;
  renamed[1].device = "\\\\.\\DISPLAY7";
  std::vector<MonitorDesc> resized = kTwo;
  resized[1].area = {1024, 0, 2304, 1024};
  const std::string second = MonitorKeyValue(kTwo[1]);
  struct Case {
    const char* what;
    const std::vector<MonitorDesc>& monitors;
    std::string stored;
    int expected;
  } cases[] = {
      {"no value: the primary one", kTwo, "", 0},
      {"by its name", kTwo, second, 1},
      {"after a reordering", reordered, second, 0},
      {"renamed: by its rectangle", renamed, second, 1},
      {"another resolution: by its name", resized, second, 1},
      {"a bare device name", kTwo, "\\\\.\\DISPLAY2", 1},
      {"gone: the primary one", {kTwo[0]}, second, 0},
      {"primary listed second", reordered, "garbage,1,2", 1},
      {"a device name with a comma", kTwo, "\\\\.\\A,B,1024,0,1824,600", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseMonitor(c.monitors, c.stored), c.expected) << c.what;
  }
  EXPECT_EQ(ChooseMonitor({}, second), -1);
  EXPECT_EQ(ChooseMonitor({kTwo[1]}, ""), 0) << "none primary: the first";
  EXPECT_TRUE(StoredMonitorPresent(kTwo, second));
  EXPECT_FALSE(StoredMonitorPresent({kTwo[0]}, second));
  EXPECT_FALSE(StoredMonitorPresent(kTwo, ""));
}

TEST(MonitorChoiceTest, LabelsGiveNumberSizeAndPrimary) {
  EXPECT_EQ(MonitorLabel(1, kTwo[0]), "1: 1024 × 768 (主)");
  EXPECT_EQ(MonitorLabel(2, kTwo[1]), "2: 800 × 600");
}

// On a monitor away from (0, 0) the bar, its collapsed strip, the shell's
// rectangle and the group window are those of a monitor at (0, 0) moved by
// the origin: each lies on the monitor, at its edge.
TEST(MonitorChoiceTest, GeometryOnASecondMonitorStaysOnIt) {
  const ScreenArea screen = AreaOf(kTwo[1]);
  const EdgeRect area = kTwo[1].area;
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
    const Box bar = ToScreen(screen, BarBounds(edge, false, screen.width, screen.height));
    EXPECT_GE(bar.left, area.left) << edge;
    EXPECT_GE(bar.top, area.top) << edge;
    EXPECT_LE(bar.left + bar.width, area.right) << edge;
    EXPECT_LE(bar.top + bar.height, area.bottom) << edge;
    const bool horizontal = IsHorizontalEdge(edge);
    EXPECT_EQ(horizontal ? bar.width : bar.height,
              horizontal ? area.right - area.left : area.bottom - area.top)
        << "spans the monitor, edge " << edge;

    const Box strip = ToScreen(screen, EdgeStrip(edge, FromScreen(screen, bar),
                                                 kCollapsedThickness, screen.width, screen.height));
    const EdgeRect s = RectOf(strip), b = RectOf(bar);
    EXPECT_TRUE((edge == kEdgeTop && s.top == b.top) || (edge == kEdgeLeft && s.left == b.left) ||
                (edge == kEdgeBottom && s.bottom == b.bottom) ||
                (edge == kEdgeRight && s.right == b.right))
        << "the strip stays on the edge, edge " << edge;

    // The shell answers with the virtual screen's coordinates.
    const EdgeRect shell = ToScreen(
        screen, PutThicknessOnEdge(edge, FromScreen(screen, RectOf(bar)), bar.width, bar.height,
                                   screen.width, screen.height));
    EXPECT_EQ(shell, RectOf(bar)) << edge;

    GroupDisplaySettings display;
    display.edge = edge;
    const auto placed =
        PlaceGroupWindow(display, screen.width, screen.height, FromScreen(screen, bar));
    ASSERT_TRUE(placed);
    const EdgeRect g = RectOf(ToScreen(screen, placed->box));
    EXPECT_GE(g.left, area.left) << edge;
    EXPECT_GE(g.top, area.top) << edge;
    EXPECT_LE(g.right, area.right) << edge;
    EXPECT_LE(g.bottom, area.bottom) << edge;
    EXPECT_EQ(placed->displayCount,
              GroupDisplayCount(display, screen.width, screen.height))
        << "counted for the bar's monitor";
  }
}

TEST(MonitorChoiceTest, DialogsCentreInTheWorkAreaAndStayInside) {
  const EdgeRect work{1024, 38, 1824, 600};
  EXPECT_EQ(CentreInWorkArea(work, 400, 300), (Box{1224, 169, 400, 300}));
  const Box large = CentreInWorkArea(work, 900, 700);
  EXPECT_EQ(large.left, work.left);
  EXPECT_EQ(large.top, work.top);
}

}  // namespace
}  // namespace kb
