#include "model/first_start_note.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

// On every edge and screen, also one barely longer than the note along the
// bar and too short for it to sit level with the first group button, the
// note lies the gap off the bar's inner side and inside the screen.
TEST(FirstStartNote, LiesBesideTheBarInsideTheScreenOnEveryEdge) {
  struct Screen { int width, height; } screens[] = {{1024, 768}, {640, 480}, {400, 200}};
  for (const Screen& screen : screens) {
    for (int type = 0; type < 4; ++type) {
      const Box bar = BarBounds(type, false, screen.width, screen.height);
      const Box note = FirstStartNoteBounds(type, screen.width, screen.height, 346, 118);
      SCOPED_TRACE(testing::Message() << screen.width << "x" << screen.height << " edge " << type);
      EXPECT_FALSE(Overlap(note, bar));
      EXPECT_EQ(note.width * 1000 + note.height, 346 * 1000 + 118);
      // Across the bar it keeps the gap; along the bar it stays on the screen.
      if (IsHorizontalEdge(type)) {
        EXPECT_GE(note.left, 0);
        EXPECT_LE(note.left + note.width, screen.width);
        const int gap = type == kEdgeTop ? note.top - (bar.top + bar.height)
                                         : bar.top - (note.top + note.height);
        EXPECT_EQ(gap, kNoteGap);
      } else {
        EXPECT_GE(note.top, 0);
        EXPECT_LE(note.top + note.height, screen.height);
        const int gap = type == kEdgeLeft ? note.left - (bar.left + bar.width)
                                          : bar.left - (note.left + note.width);
        EXPECT_EQ(gap, kNoteGap);
      }
    }
  }
}

}  // namespace
}  // namespace kb
