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

Box BarBounds(int type, bool barDocked, int screenWidth, int screenHeight, DpiScale s) {
  const int thickness = s(kBarThickness);
  switch (NormalizeEdge(type)) {
    case kEdgeTop:
      return {0, 0, screenWidth, thickness};
    case kEdgeLeft:
      return {0, 0, thickness, screenHeight};
    case kEdgeRight:
      return {barDocked ? screenWidth : screenWidth - thickness, 0, thickness, screenHeight};
    default:
      return {0, barDocked ? screenHeight : screenHeight - thickness, screenWidth, thickness};
  }
}

int GroupButtonRoom(int barLength, DpiScale s) {
  return (barLength - s(70)) / s(kButtonPitch) - 1;
}

int GroupButtonCount(int barLength, DpiScale s) {
  return std::clamp(GroupButtonRoom(barLength, s), 0, kMaxGroupButtons);
}

namespace {

// Along/across to screen axes.
Box Oriented(bool horizontal, int along, int alongLength, int acrossLength) {
  return horizontal ? Box{along, 0, alongLength, acrossLength}
                    : Box{0, along, acrossLength, alongLength};
}

}  // namespace

Box SlotBox(int type, int slot, DpiScale s) {
  return Oriented(IsHorizontalEdge(type), slot * s(kButtonPitch), s(kBarThickness),
                  s(kBarThickness));
}

HelpScrollLayout LayoutHelpAndScroll(int type, int slots, DpiScale s) {
  HelpScrollLayout layout;
  layout.horizontal = IsHorizontalEdge(type);
  const int p = (slots + 1) * s(kButtonPitch);
  const int thickness = s(kBarThickness);
  layout.help = Oriented(layout.horizontal, p, s(20), thickness);
  layout.back = Oriented(layout.horizontal, p + s(21), s(25), thickness);
  layout.forward = Oriented(layout.horizontal, p + s(47), s(25), thickness);
  layout.helpTab = slots + 5;
  layout.backTab = slots + 6;
  layout.forwardTab = slots + 7;
  return layout;
}

}  // namespace kb
