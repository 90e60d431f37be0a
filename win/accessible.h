// The accessible object of a glyph button: the system's standard object of
// the window (its window text is the name) presenting itself as a push
// button, so screen readers say "button" and the name.
#pragma once

#include <windows.h>

namespace kb::win {

// WM_GETOBJECT's answer for `button`: for OBJID_CLIENT the push-button
// object, else (or where the system's accessibility library is missing) 0,
// which leaves the question to the default handling.
LRESULT AnswerPushButtonObject(HWND button, WPARAM wParam, LPARAM lParam);

}  // namespace kb::win
