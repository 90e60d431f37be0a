#include "model/scroll_state.h"

namespace kb {

ScrollState ScrolledStart(int slotCount, int groupCount) {
  ScrollState state;
  state.slotCount = slotCount;
  state.groupCount = groupCount;
  state.scrollFirst = 1;
  state.backEnabled = false;
  state.forwardEnabled = groupCount > slotCount;
  return state;
}

void ScrollBack(ScrollState& state) {
  if (!state.backEnabled || state.scrollFirst <= 1) return;
  if (state.scrollFirst == 2) state.backEnabled = false;
  --state.scrollFirst;
  state.forwardEnabled = true;
}

void ScrollForward(ScrollState& state) {
  // ">=" rather than "=": a state that is already at its end can never step
  // past the last group button.
  if (!state.forwardEnabled || state.scrollFirst + state.slotCount > state.groupCount) return;
  if (state.scrollFirst + state.slotCount >= state.groupCount) state.forwardEnabled = false;
  ++state.scrollFirst;
  state.backEnabled = true;
}

std::vector<int> ShownGroups(const ScrollState& state) {
  std::vector<int> shown;
  for (int i = 1; i <= state.slotCount; ++i) {
    const int group = state.scrollFirst + i - 1;
    if (group >= 1 && group <= state.groupCount) shown.push_back(group);
  }
  return shown;
}

}  // namespace kb
