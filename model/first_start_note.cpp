#include "model/first_start_note.h"

#include <algorithm>

namespace kb {

Box FirstStartNoteBounds(int type, int screenWidth, int screenHeight, int width, int height) {
  const int edge = NormalizeEdge(type);
  // Across the bar: just off its inner side.  Along it: level with the first
  // group button (the one after the settings button).
  const int along = kButtonPitch;
  const int beside = kBarThickness + kNoteGap;
  Box box{0, 0, width, height};
  switch (edge) {
    case kEdgeTop: box.left = along; box.top = beside; break;
    case kEdgeLeft: box.left = beside; box.top = along; break;
    case kEdgeBottom: box.left = along; box.top = screenHeight - beside - height; break;
    default: box.left = screenWidth - beside - width; box.top = along; break;
  }
  // A screen too small for the note along the bar: pushed back onto it, but
  // never across the bar's inner side.
  if (IsHorizontalEdge(edge)) {
    box.left = std::max(0, std::min(box.left, screenWidth - width));
  } else {
    box.top = std::max(0, std::min(box.top, screenHeight - height));
  }
  return box;
}

}  // namespace kb
