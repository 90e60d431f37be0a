#include "model/group_layout.h"

#include <algorithm>

namespace kb {

namespace {

bool Horizontal(int edge) { return edge == kEdgeTop || edge == kEdgeBottom; }

}  // namespace

int GroupDisplayCount(const GroupDisplaySettings& settings, int screenWidth, int screenHeight,
                      DpiScale s) {
  int count;
  if (settings.maxFileLimit) {
    count = settings.tMaxFileNum;
  } else {
    const int across = Horizontal(settings.edge) ? screenHeight : screenWidth;
    count = across / s(kButtonPitch) - 1;
  }
  return std::clamp(count, 0, kMaxDisplayCount);
}

std::optional<GroupWindowPlacement> PlaceGroupWindow(const GroupDisplaySettings& settings,
                                                     int screenWidth, int screenHeight,
                                                     const GroupWindowBox& current,
                                                     DpiScale s) {
  if (settings.edge < kEdgeTop || settings.edge > kEdgeRight) return std::nullopt;
  GroupWindowPlacement p;
  p.displayCount = GroupDisplayCount(settings, screenWidth, screenHeight, s);
  p.box = current;
  const int length = p.displayCount * s(kButtonPitch);
  const int bar = s(kBarThickness), button = s(kButtonSize);
  switch (settings.edge) {
    case kEdgeTop:
      p.box.top = bar;
      p.box.height = length;
      p.box.width = button;
      break;
    case kEdgeLeft:
      p.box.left = bar;
      p.box.height = button;
      p.box.width = length;
      break;
    case kEdgeBottom:
      p.box.top = screenHeight - length - bar;
      p.box.height = length;
      p.box.width = button;
      break;
    case kEdgeRight:
      p.box.left = screenWidth - length - bar;
      p.box.width = length;
      p.box.height = button;
      break;
  }
  return p;
}

std::optional<ButtonOrigin> ExecButtonOrigin(int edge, int n, int windowWidth, int windowHeight,
                                             DpiScale s) {
  const int pitch = s(kButtonPitch);
  switch (edge) {
    case kEdgeTop: return ButtonOrigin{0, (n - 1) * pitch};
    case kEdgeLeft: return ButtonOrigin{(n - 1) * pitch, 0};
    case kEdgeBottom: return ButtonOrigin{0, windowHeight - n * pitch};
    case kEdgeRight: return ButtonOrigin{windowWidth - n * pitch, 0};
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
