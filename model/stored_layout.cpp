#include "model/stored_layout.h"

namespace kb {
namespace {

// A slot offset along the bar (k pitches and a rest) at 96 dpi.
int UnscaleAlong(int along, DpiScale s) {
  const int pitch = s(kButtonPitch);
  if (along < 0) return s.Unscale(along);
  return along / pitch * kButtonPitch + s.Unscale(along % pitch);
}

}  // namespace

int StoredGroupCount(int type, int screenWidth, int screenHeight, int runningCount, DpiScale s) {
  if (s.IsBase()) return runningCount;
  return GroupButtonCount(BarLength(type, screenWidth, screenHeight));
}

StoredGroupWindow StoreGroupWindow(const GroupDisplaySettings& settings, int screenWidth,
                                   int screenHeight, const Box& running, int runningCount,
                                   DpiScale s) {
  if (s.IsBase()) return {running, runningCount};
  const bool horizontal = settings.edge == kEdgeTop || settings.edge == kEdgeBottom;
  Box along = running;
  if (horizontal) {
    along.left = UnscaleAlong(running.left, s);
  } else {
    along.top = UnscaleAlong(running.top, s);
  }
  const auto placement = PlaceGroupWindow(settings, screenWidth, screenHeight, along);
  if (!placement) return {running, runningCount};
  return {placement->box, placement->displayCount};
}

}  // namespace kb
