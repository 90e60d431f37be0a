// Where the first start's note goes: beside the bar, near its first group
// buttons, never over the bar and inside the screen.
#pragma once

#include "model/bar_layout.h"

namespace kb {

// Gap between the bar and the note, in pixels.
constexpr int kNoteGap = 8;

// The note's bounds for a note of width × height beside the bar at edge
// `type` (0 top … 3 right) on a screen of that size.
Box FirstStartNoteBounds(int type, int screenWidth, int screenHeight, int width, int height);

}  // namespace kb
