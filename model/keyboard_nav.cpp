#include "model/keyboard_nav.h"

#include <algorithm>

#include "common/path.h"
#include "model/bar_layout.h"

namespace kb {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The bar's controls in focus order, as the bar shows them now.
std::vector<BarFocus> BarOrder(const ScrollState& scroll, int groupCount) {
  std::vector<BarFocus> order{{BarControl::Settings, 0}};
  const bool scrolled = scroll.slotCount > 0;
  if (scrolled) {
    for (int g : ShownGroups(scroll)) order.push_back({BarControl::Group, g});
  } else {
    for (int g = 1; g <= groupCount; ++g) order.push_back({BarControl::Group, g});
  }
  order.push_back({BarControl::Help, 0});
  if (scrolled && scroll.backEnabled) order.push_back({BarControl::Back, 0});
  if (scrolled && scroll.forwardEnabled) order.push_back({BarControl::Forward, 0});
  return order;
}

}  // namespace

GroupWindowMove GroupWindowKeyMove(int edge, NavKey key) {
  switch (key) {
    case NavKey::Home: return GroupWindowMove::First;
    case NavKey::End: return GroupWindowMove::Last;
    case NavKey::PageUp: return GroupWindowMove::PreviousGroup;
    case NavKey::PageDown: return GroupWindowMove::NextGroup;
    default: break;
  }
  edge = NormalizeEdge(edge);
  // The group window runs across the screen from the bar: down from a top
  // bar, up from a bottom one, rightwards from a left bar, leftwards from a
  // right one.  Button 1 sits next to the bar.
  NavKey outwards = NavKey::Down, inwards = NavKey::Up;
  switch (edge) {
    case kEdgeTop: outwards = NavKey::Down; inwards = NavKey::Up; break;
    case kEdgeBottom: outwards = NavKey::Up; inwards = NavKey::Down; break;
    case kEdgeLeft: outwards = NavKey::Right; inwards = NavKey::Left; break;
    default: outwards = NavKey::Left; inwards = NavKey::Right; break;
  }
  if (key == outwards) return GroupWindowMove::Next;
  if (key == inwards) return GroupWindowMove::Previous;
  // Across the strip, along the bar: its group buttons run left to right or
  // top to bottom.
  const bool horizontalBar = IsHorizontalEdge(edge);
  if (key == (horizontalBar ? NavKey::Left : NavKey::Up)) return GroupWindowMove::PreviousGroup;
  if (key == (horizontalBar ? NavKey::Right : NavKey::Down)) return GroupWindowMove::NextGroup;
  return GroupWindowMove::None;
}

int StepWrapped(int current, int delta, int count) {
  if (count <= 0) return 0;
  if (current < 1 || current > count) current = 1;
  const int zeroBased = ((current - 1 + delta) % count + count) % count;
  return zeroBased + 1;
}

std::string_view FirstCharacter(std::string_view sjis) {
  if (sjis.empty()) return {};
  return sjis.substr(0, CharLength(sjis, 0));
}

bool StartsWithCharacter(std::string_view name, std::string_view ch) {
  const std::string_view first = FirstCharacter(name);
  if (first.empty() || first.size() != ch.size()) return false;
  if (first.size() == 1) return AsciiLower(first[0]) == AsciiLower(ch[0]);
  return first == ch;
}

int NextNameStartingWith(const std::vector<std::string>& names, int current, std::string_view ch) {
  const int count = static_cast<int>(names.size());
  if (count == 0 || ch.empty()) return 0;
  const int start = (current >= 1 && current <= count) ? current : count;
  for (int i = 1; i <= count; ++i) {
    const int n = StepWrapped(start, i, count);
    if (StartsWithCharacter(names[static_cast<size_t>(n - 1)], ch)) return n;
  }
  return 0;
}

BarFocusStep StepBarFocus(const ScrollState& scroll, int groupCount, BarFocus from, int delta) {
  const std::vector<BarFocus> order = BarOrder(scroll, groupCount);
  const bool scrolled = scroll.slotCount > 0;
  if (from.control == BarControl::Group && scrolled) {
    const std::vector<int> shown = ShownGroups(scroll);
    // Past the shown group buttons towards one that is hidden: the bar
    // scrolls once and the focus goes to the button that came into view.
    if (!shown.empty() && delta > 0 && from.group == shown.back() && scroll.forwardEnabled) {
      return {{BarControl::Group, from.group + 1}, +1};
    }
    if (!shown.empty() && delta < 0 && from.group == shown.front() && scroll.backEnabled) {
      return {{BarControl::Group, from.group - 1}, -1};
    }
  }
  const auto at = std::find(order.begin(), order.end(), from);
  const int current = at == order.end() ? 1 : static_cast<int>(at - order.begin()) + 1;
  const int next = StepWrapped(current, delta < 0 ? -1 : 1, static_cast<int>(order.size()));
  return {order[static_cast<size_t>(next - 1)], 0};
}

}  // namespace kb
