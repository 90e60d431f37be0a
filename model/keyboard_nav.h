// Keyboard movement over the launcher's buttons: which way an arrow key goes
// in the group window for each edge, stepping with wrap-around, the jump to
// the next display name beginning with a typed character (Shift-JIS), and
// the focus order of the bar's controls with its scrolling.  Plain values in
// and out; the windows translate their virtual keys into NavKey.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/scroll_state.h"

namespace kb {

enum class NavKey { Up, Down, Left, Right, Home, End, PageUp, PageDown };

enum class GroupWindowMove { None, Previous, Next, First, Last, PreviousGroup, NextGroup };

// What a key does in the group window of a bar at `edge` (kEdgeTop ...).
// The arrows along the strip step from the bar outwards (Next) and back;
// the arrows across it follow the group buttons' order on the bar, as do
// PageUp (previous group) and PageDown (next group).
GroupWindowMove GroupWindowKeyMove(int edge, NavKey key);

// Index `current` (1 … count) moved by delta, wrapping round at both ends;
// 0 when count is 0.  A current outside the range counts as 1.
int StepWrapped(int current, int delta, int count);

// The first character of a Shift-JIS text: two bytes for a double-byte
// character, else one (a half-width kana is one byte); "" for "".
std::string_view FirstCharacter(std::string_view sjis);

// True when `name` begins with the character `ch` (one Shift-JIS character):
// a double-byte character compared whole, ASCII letters in either case.
bool StartsWithCharacter(std::string_view name, std::string_view ch);

// The index (1 … names.size()) of the next name after `current` that starts
// with `ch`, searching round past the end and ending with `current` itself;
// 0 when none does.
int NextNameStartingWith(const std::vector<std::string>& names, int current, std::string_view ch);

// A control of the bar the keyboard focus can rest on.
enum class BarControl { Settings, Group, Help, Back, Forward };

struct BarFocus {
  BarControl control = BarControl::Settings;
  int group = 0;  // for BarControl::Group: the group button's number
  friend bool operator==(const BarFocus&, const BarFocus&) = default;
};

struct BarFocusStep {
  BarFocus focus;
  int scroll = 0;  // -1 scroll back once, +1 forward once, 0 stay
  friend bool operator==(const BarFocusStep&, const BarFocusStep&) = default;
};

// One step (delta -1 or +1) of the focus along the bar: the settings
// button, the group buttons shown, the help button, then the enabled scroll
// buttons, round again.  `scroll` is the bar's scrolling (slotCount 0: not
// scrolled, group buttons 1 … groupCount all shown).  Stepping past the
// last shown group button towards a hidden one scrolls once and lands on it.
BarFocusStep StepBarFocus(const ScrollState& scroll, int groupCount, BarFocus from, int delta);

}  // namespace kb
