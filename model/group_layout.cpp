#include "model/group_layout.h"

#include <algorithm>

namespace kb {

namespace {

bool Horizontal(int edge) { return edge == kEdgeTop || edge == kEdgeBottom; }

}  // namespace

int GroupDisplayCount(const GroupDisplaySettings& settings, int screenWidth, int screenHeight) {
  int count;
  if (settings.maxFileLimit) {
    count = settings.tMaxFileNum;
  } else {
    const int across = Horizontal(settings.edge) ? screenHeight : screenWidth;
    count = across / kButtonPitch - 1;
  }
  return std::clamp(count, 0, kMaxDisplayCount);
}

std::optional<GroupWindowPlacement> PlaceGroupWindow(const GroupDisplaySettings& settings,
                                                     int screenWidth, int screenHeight,
                                                     const GroupWindowBox& current) {
  if (settings.edge < kEdgeTop || settings.edge > kEdgeRight) return std::nullopt;
  GroupWindowPlacement p;
  p.displayCount = GroupDisplayCount(settings, screenWidth, screenHeight);
  p.box = current;
  const int length = p.displayCount * kButtonPitch;
  switch (settings.edge) {
    case kEdgeTop:
      p.box.top = kBarThickness;
      p.box.height = length;
      p.box.width = kButtonSize;
      break;
    case kEdgeLeft:
      p.box.left = kBarThickness;
      p.box.height = kButtonSize;
      p.box.width = length;
      break;
    case kEdgeBottom:
      p.box.top = screenHeight - length - kBarThickness;
      p.box.height = length;
      p.box.width = kButtonSize;
      break;
    case kEdgeRight:
      p.box.left = screenWidth - length - kBarThickness;
      p.box.width = length;
      p.box.height = kButtonSize;
      break;
  }
  return p;
}

std::optional<ButtonOrigin> ExecButtonOrigin(int edge, int n, int windowWidth, int windowHeight) {
  switch (edge) {
    case kEdgeTop: return ButtonOrigin{0, (n - 1) * kButtonPitch};
    case kEdgeLeft: return ButtonOrigin{(n - 1) * kButtonPitch, 0};
    case kEdgeBottom: return ButtonOrigin{0, windowHeight - n * kButtonPitch};
    case kEdgeRight: return ButtonOrigin{windowWidth - n * kButtonPitch, 0};
    default: return std::nullopt;
  }
}

GroupWindowBox AlignWithGroupButton(int edge, const GroupWindowBox& window, int buttonLeft,
                                    int buttonTop) {
  GroupWindowBox box = window;
  if (Horizontal(edge)) {
    box.left = buttonLeft;
  } else if (edge == kEdgeLeft || edge == kEdgeRight) {
    box.top = buttonTop;
  }
  return box;
}

}  // namespace kb
