// Hints: tool tips over controls, one tool-tip window per top-level window.
//
// The tool-tip window is made on the first hint of a top-level window and is
// owned by it, so it goes away with it.  Tools are registered by window
// handle and the tool tip subclasses them to see the mouse.
#pragma once

#include <windows.h>

#include <string>

namespace kb::win {

// Shows sjisText as the hint of `tool` (a child or top-level window); an
// empty text removes the hint.
void SetHint(HWND tool, const std::string& sjisText);

// The hint text registered for `tool` ("" when none).
std::string HintOf(HWND tool);

// Turns the hints of one top-level window on or off (the "show hints" switch).
void EnableHints(HWND topLevel, bool enabled);

// The tool-tip window serving `topLevel`, or nullptr when none was made yet.
HWND HintWindowOf(HWND topLevel);

}  // namespace kb::win
