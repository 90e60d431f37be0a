// The launcher's program-wide values: one object, owned by the application,
// handed by reference to the windows that read or change them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/launch_data.h"
#include "model/monitor_choice.h"
#include "model/settings.h"

namespace kb {

struct ProgramState {
  Settings settings;
  std::string ExeDir;  // the launcher's folder, with a trailing backslash

  // The screen the bar and the group window are laid out on, in pixels:
  // the bar's monitor, its origin on the virtual screen and its work area.
  int screenWidth = 0;
  int screenHeight = 0;
  // The DPI of the monitor the bar is on: every fixed size of the bar, the
  // group window and the dialogs is scaled from 96 dpi by it.  Never stored.
  int dpi = 96;
  int screenLeft = 0;
  int screenTop = 0;
  EdgeRect workArea;
  // The monitors as last read (the settings dialog lists them).
  std::vector<MonitorDesc> Monitors;

  ScreenArea Screen() const { return {screenLeft, screenTop, screenWidth, screenHeight, workArea}; }
  void SetScreen(const ScreenArea& a) {
    screenLeft = a.left;
    screenTop = a.top;
    screenWidth = a.width;
    screenHeight = a.height;
    workArea = a.work;
  }

  uint8_t CurrentGroup = 0;   // group addressed by button operations
  uint8_t CurrentButton = 0;  // program slot addressed by button operations
  uint8_t OpenGroup = 0;      // group shown in the group window; 0 when none
  uint8_t EditGroup = 0;      // group being edited in the registration dialog

  // The Windows-exit method chosen in the settings dialog (0 "シャットダウン"
  // … 3 "リブート").  Never stored: every start begins at 0.
  uint8_t ExitMethod = 0;

  // Whether the system runs WinHelp files (the launcher's "Pelkan2.hlp" and
  // the settings' "Pelkan.HLP"); where it does not, the HTML help opens.
  bool WinHelpAvailable = true;

  // Copying one group onto another (Shift + click, then a click).
  bool GroupCopyPending = false;
  uint8_t CopySourceGroup = 0;
  TLaunchData CopiedGroupEntry;
};

}  // namespace kb
