// Hints: tool tips over controls, one tool-tip window per top-level window.
//
// The tool-tip window is made on the first hint of a top-level window and is
// owned by it, so it goes away with it; the window base forgets it when the
// top-level window goes (ForgetHintWindow).  Tools are registered by window
// handle and the tool tip subclasses them to see the mouse.
#pragma once

#include <windows.h>

#include <string>

namespace kb::win {

// Shows sjisText as the hint of `tool` (a child or top-level window); an
// empty text removes the hint.  False when the tool tip refused the tool.
bool SetHint(HWND tool, const std::string& sjisText);

// The cbSize every tool description carries.  Without a manifest asking for
// common controls 6 Windows loads comctl32 5.x, which refuses the larger
// descriptions of newer headers (so no hint would ever show): the size ends
// with the last field the launcher uses.
UINT HintToolInfoSize();

// The hint text registered for `tool` ("" when none).
std::string HintOf(HWND tool);

// Turns the hints of one top-level window on or off (the "show hints" switch).
void EnableHints(HWND topLevel, bool enabled);

// The tool-tip window serving `topLevel`, or nullptr when none was made yet.
HWND HintWindowOf(HWND topLevel);

// Removes the mark by which `topLevel` finds its tool tip.  The window base
// calls it as a top-level window goes: a window property left behind is
// never freed on the Windows 95 family.
void ForgetHintWindow(HWND topLevel);

}  // namespace kb::win
