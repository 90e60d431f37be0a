#include "model/edge_rules.h"

namespace kb {

EdgeRect RectOf(const Box& box) {
  return {box.left, box.top, box.left + box.width, box.top + box.height};
}

EdgeRect PutThicknessOnEdge(int type, EdgeRect queried, int barWidth, int barHeight,
                            int screenWidth, int screenHeight) {
  EdgeRect r = queried;
  switch (NormalizeEdge(type)) {
    case kEdgeTop:
      r.top = 0;
      r.bottom = barHeight;
      break;
    case kEdgeLeft:
      r.left = 0;
      r.right = barWidth;
      break;
    case kEdgeBottom:
      r.top = screenHeight - barHeight;
      r.bottom = screenHeight;
      break;
    default:
      r.left = screenWidth - barWidth;
      r.right = screenWidth;
      break;
  }
  return r;
}

Box EdgeStrip(int type, const Box& bar, int thickness, int screenWidth, int screenHeight) {
  Box b = bar;
  switch (NormalizeEdge(type)) {
    case kEdgeTop:
      b.height = thickness;
      break;
    case kEdgeLeft:
      b.width = thickness;
      break;
    case kEdgeBottom:
      b.height = thickness;
      b.top = screenHeight - thickness;
      break;
    default:
      b.width = thickness;
      b.left = screenWidth - thickness;
      break;
  }
  return b;
}

bool CursorOutside(const Box& bar, int x, int y) {
  return x < bar.left || x > bar.left + bar.width || y < bar.top || y > bar.top + bar.height;
}

bool CursorStrictlyInside(const Box& bar, int x, int y) {
  return bar.left < x && x < bar.left + bar.width && bar.top < y && y < bar.top + bar.height;
}

TickActions PlanTick(const TickState& s) {
  TickActions a;
  a.hideGroupWindow = s.notActiveHide && !s.foregroundIsOurs && s.groupWindowVisible;
  if (s.groupWindowVisible && !a.hideGroupWindow) return a;
  const bool outside = CursorOutside(s.bar, s.cursorX, s.cursorY);
  a.collapse = s.autoHide && outside;
  if (s.saverSuspended) {
    a.releaseSaver = !s.saverPause || outside;
  } else if (s.saverPause) {
    a.holdSaver = CursorStrictlyInside(s.bar, s.cursorX, s.cursorY);
  }
  return a;
}

}  // namespace kb
