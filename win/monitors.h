// The monitors of the desktop as the system lists them, and the work area a
// window's dialogs are centred in.  EnumDisplayMonitors, GetMonitorInfoW and
// MonitorFromWindow exist from Windows 98 / 2000 on, so they are imported
// directly.
#pragma once

#include <windows.h>

#include <vector>

#include "model/monitor_choice.h"

namespace kb::win {

// Every monitor in the system's order; on a system that lists none, one of
// the primary screen's size.
std::vector<MonitorDesc> EnumerateMonitors();

// The work area of the monitor that holds most of `window` (the primary one
// for none).
EdgeRect WorkAreaOf(HWND window);

// Moves `dialog` (keeping its size) to the centre of the work area of the
// monitor its owner is on.
void CentreOnOwnerMonitor(HWND dialog, HWND owner);

}  // namespace kb::win
