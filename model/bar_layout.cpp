#include "model/bar_layout.h"

#include <algorithm>

namespace kb {

int NormalizeEdge(int type) { return (type >= kEdgeTop && type <= kEdgeRight) ? type : kEdgeBottom; }

bool IsHorizontalEdge(int type) {
  const int edge = NormalizeEdge(type);
  return edge == kEdgeTop || edge == kEdgeBottom;
}

int BarLength(int type, int screenWidth, int screenHeight) {
  return IsHorizontalEdge(type) ? screenWidth : screenHeight;
}

Box BarBounds(int type, bool barDocked, int screenWidth, int screenHeight) {
  switch (NormalizeEdge(type)) {
    case kEdgeTop:
      return {0, 0, screenWidth, kBarThickness};
    case kEdgeLeft:
      return {0, 0, kBarThickness, screenHeight};
    case kEdgeRight:
      return {barDocked ? screenWidth : screenWidth - kBarThickness, 0, kBarThickness,
              screenHeight};
    default:
      return {0, barDocked ? screenHeight : screenHeight - kBarThickness, screenWidth,
              kBarThickness};
  }
}

int GroupButtonRoom(int barLength) { return (barLength - 70) / kButtonPitch - 1; }

int GroupButtonCount(int barLength) {
  return std::clamp(GroupButtonRoom(barLength), 0, kMaxGroupButtons);
}

namespace {

// Along/across to screen axes.
Box Oriented(bool horizontal, int along, int alongLength, int acrossLength) {
  return horizontal ? Box{along, 0, alongLength, acrossLength}
                    : Box{0, along, acrossLength, alongLength};
}

}  // namespace

Box SlotBox(int type, int slot) {
  return Oriented(IsHorizontalEdge(type), slot * kButtonPitch, kBarThickness, kBarThickness);
}

HelpScrollLayout LayoutHelpAndScroll(int type, int slots) {
  HelpScrollLayout layout;
  layout.horizontal = IsHorizontalEdge(type);
  const int p = (slots + 1) * kButtonPitch;
  layout.help = Oriented(layout.horizontal, p, 20, kBarThickness);
  layout.back = Oriented(layout.horizontal, p + 21, 25, kBarThickness);
  layout.forward = Oriented(layout.horizontal, p + 47, 25, kBarThickness);
  layout.helpTab = slots + 5;
  layout.backTab = slots + 6;
  layout.forwardTab = slots + 7;
  return layout;
}

}  // namespace kb
