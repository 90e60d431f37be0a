// Real pointer and keyboard input for tests, through the X server the tests
// run on: xdotool is a native program, which Wine starts like any other.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kb::win::testing {

// Starts `xdotool <arguments>` on the test display.  Wine hands back no
// handle to wait on for a native program: wait for what the input causes.
bool RunXdotool(const std::string& arguments);

// Wine's own notification area (a window titled "Wine System Tray" when no
// panel offers one): the screen point at the centre of icon `index`, or
// nullopt until that window is shown.
std::optional<POINT> WineTrayIconPoint(int index = 0);

// Waits for a pop-up menu of this process to show and clicks its item
// `index` with the pointer.  Call it from a thread other than the one whose
// menu loop runs.  False when no menu showed within timeoutMs.
bool ClickMenuItemWhenShown(int index, DWORD timeoutMs = 10000);

}  // namespace kb::win::testing
