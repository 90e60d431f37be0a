#include "model/keyboard_nav.h"

#include <gtest/gtest.h>

#include "model/bar_layout.h"

namespace kb {
namespace {

using M = GroupWindowMove;

TEST(KeyboardNav, ArrowsFollowTheStripForEveryEdge) {
  struct Case {
    int edge;
    NavKey key;
    M move;
  };
  const Case cases[] = {
      {kEdgeTop, NavKey::Down, M::Next},        {kEdgeTop, NavKey::Up, M::Previous},
      {kEdgeTop, NavKey::Left, M::PreviousGroup}, {kEdgeTop, NavKey::Right, M::NextGroup},
      {kEdgeBottom, NavKey::Up, M::Next},       {kEdgeBottom, NavKey::Down, M::Previous},
      {kEdgeBottom, NavKey::Right, M::NextGroup}, {kEdgeLeft, NavKey::Right, M::Next},
      {kEdgeLeft, NavKey::Left, M::Previous},   {kEdgeLeft, NavKey::Up, M::PreviousGroup},
      {kEdgeLeft, NavKey::Down, M::NextGroup},  {kEdgeRight, NavKey::Left, M::Next},
      {kEdgeRight, NavKey::Right, M::Previous}, {kEdgeRight, NavKey::Down, M::NextGroup},
      {7, NavKey::Up, M::Next},  // any other value is the bottom edge
      {kEdgeLeft, NavKey::Home, M::First},      {kEdgeRight, NavKey::End, M::Last},
      {kEdgeTop, NavKey::PageUp, M::PreviousGroup}, {kEdgeBottom, NavKey::PageDown, M::NextGroup},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GroupWindowKeyMove(c.edge, c.key), c.move)
        << "edge " << c.edge << " key " << static_cast<int>(c.key);
  }
}

TEST(KeyboardNav, StepWrapsAtBothEnds) {
  struct Case {
    int current, delta, count, expected;
  };
  const Case cases[] = {{1, 1, 5, 2}, {5, 1, 5, 1}, {1, -1, 5, 5}, {3, -1, 5, 2},
                        {1, 1, 1, 1}, {2, 0, 0, 0}, {9, 1, 5, 2}, {2, -7, 5, 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(StepWrapped(c.current, c.delta, c.count), c.expected)
        << c.current << " " << c.delta << " " << c.count;
  }
}

TEST(KeyboardNav, FirstCharacterIsOneShiftJisCharacter) {
  EXPECT_EQ(FirstCharacter("表示"), std::string_view("表"));
  EXPECT_EQ(FirstCharacter("ｶﾅ"), std::string_view("ｶ"));
  EXPECT_EQ(FirstCharacter("abc"), std::string_view("a"));
  EXPECT_EQ(FirstCharacter(""), std::string_view());
}

TEST(KeyboardNav, NextNameStartingWithTypedCharacter) {
  // "表" ends in 0x5C and "ソ" (83 5C) shares that trail byte: only whole
  // characters match, never a byte of one.
  const std::vector<std::string> names = {"Notepad", "表計算", "\\net", "ｶﾒﾗ", "notes",
                                          "",        "ソフト", "カメラ", "N"};
  struct Case {
    int current;
    std::string ch;
    int expected;
  };
  const Case cases[] = {
      {1, "n", 5},   {5, "N", 9},   {9, "n", 1},   {0, "n", 1},   {1, "表", 2},
      {2, "表", 2},  {1, "\\", 3},  {1, "ｶ", 4},   {1, "カ", 8},  {1, "ソ", 7},
      {1, "x", 0},   {3, "ﾒ", 0},   {1, "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextNameStartingWith(names, c.current, c.ch), c.expected)
        << "from " << c.current << " typed " << c.ch;
  }
  EXPECT_EQ(NextNameStartingWith({}, 1, "a"), 0);
}

BarFocus G(int g) { return {BarControl::Group, g}; }
const BarFocus kSettings{BarControl::Settings, 0}, kHelp{BarControl::Help, 0},
    kBack{BarControl::Back, 0}, kForward{BarControl::Forward, 0};

TEST(KeyboardNav, BarFocusWithoutScrolling) {
  const ScrollState none;
  struct Case {
    BarFocus from;
    int delta;
    BarFocusStep expected;
  };
  const Case cases[] = {
      {kSettings, 1, {G(1), 0}}, {G(1), 1, {G(2), 0}}, {G(3), 1, {kHelp, 0}},
      {kHelp, 1, {kSettings, 0}}, {kSettings, -1, {kHelp, 0}}, {G(1), -1, {kSettings, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StepBarFocus(none, 3, c.from, c.delta), c.expected)
        << static_cast<int>(c.from.control) << "/" << c.from.group << " by " << c.delta;
  }
  EXPECT_EQ(StepBarFocus(none, 0, kSettings, 1), (BarFocusStep{kHelp, 0}));
}

TEST(KeyboardNav, BarFocusScrollsToHiddenGroupButtons) {
  ScrollState first = ScrolledStart(3, 6);  // 1 … 3 shown, forward enabled
  ScrollState middle = first;
  ScrollForward(middle);  // 2 … 4, both enabled
  ScrollState last = middle;
  ScrollForward(last);
  ScrollForward(last);  // 4 … 6, back only
  struct Case {
    const ScrollState* state;
    BarFocus from;
    int delta;
    BarFocusStep expected;
  };
  const Case cases[] = {
      {&first, G(3), 1, {G(4), 1}},       {&first, G(1), -1, {kSettings, 0}},
      {&first, kHelp, 1, {kForward, 0}},  {&first, kForward, 1, {kSettings, 0}},
      {&middle, G(2), -1, {G(1), -1}},    {&middle, G(4), 1, {G(5), 1}},
      {&middle, kHelp, 1, {kBack, 0}},    {&middle, kSettings, -1, {kForward, 0}},
      {&last, G(6), 1, {kHelp, 0}},       {&last, kBack, 1, {kSettings, 0}},
      {&last, G(4), -1, {G(3), -1}},      {&last, kSettings, 1, {G(4), 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StepBarFocus(*c.state, 6, c.from, c.delta), c.expected)
        << "first " << c.state->scrollFirst << " from " << static_cast<int>(c.from.control) << "/"
        << c.from.group << " by " << c.delta;
  }
}

}  // namespace
}  // namespace kb
