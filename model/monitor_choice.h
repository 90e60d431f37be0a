// The monitor the bar docks on: the monitors as the system lists them, the
// value that names the chosen one in the settings file, finding it again
// after a restart or a reordering, and the bar monitor's area that the bar's
// and the group window's geometry is laid out in.  Plain values in and out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/bar_layout.h"
#include "model/edge_rules.h"

namespace kb {

struct MonitorDesc {
  std::string device;  // the system's device name ("\\.\DISPLAY2"), Shift-JIS
  EdgeRect area;       // on the virtual screen
  EdgeRect work;       // its work area
  bool primary = false;
  friend bool operator==(const MonitorDesc&, const MonitorDesc&) = default;
};

// The value of the settings file's key that names a monitor: its device
// name, then its rectangle ("\\.\DISPLAY2,1024,0,1824,600").
std::string MonitorKeyValue(const MonitorDesc& monitor);

// The monitor a stored value names: the one with that device name, else the
// one with that rectangle, else the primary one (the first when none says
// it is primary).  -1 for an empty list.
int ChooseMonitor(const std::vector<MonitorDesc>& monitors, std::string_view stored);
// Whether the stored value names one of the monitors (by name or rectangle).
bool StoredMonitorPresent(const std::vector<MonitorDesc>& monitors, std::string_view stored);

// The settings dialog's line for monitor number `number` (from 1):
// "2: 800 × 600", the primary one with " (主)".
std::string MonitorLabel(int number, const MonitorDesc& monitor);

// The bar monitor's area: the screen the bar and the group window are laid
// out on.  Their geometry is worked out for a screen at (0, 0) of this size
// and moved by the origin.
struct ScreenArea {
  int left = 0, top = 0, width = 0, height = 0;
  EdgeRect work;  // the work area, on the virtual screen
  friend bool operator==(const ScreenArea&, const ScreenArea&) = default;
};

ScreenArea AreaOf(const MonitorDesc& monitor);

Box ToScreen(const ScreenArea& screen, Box box);
Box FromScreen(const ScreenArea& screen, Box box);
EdgeRect ToScreen(const ScreenArea& screen, EdgeRect rect);
EdgeRect FromScreen(const ScreenArea& screen, EdgeRect rect);

// A window of the given size centred in the work area, kept inside it
// where it fits (its left and top never before the work area's).
Box CentreInWorkArea(const EdgeRect& work, int width, int height);

}  // namespace kb
