// Set-up of the tests of the bar at its edge: a launcher on a 1024 × 768
// screen with a settings file of the test's, a shell seam that records the
// bar's calls, and a second desktop toolbar asking the real shell where it
// would go.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "launcher/bar_shell.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"

namespace kb::testing {

constexpr int kScreenW = 1024, kScreenH = 768;

// Passes the calls on, except the answer to ABM_SETAUTOHIDEBAR and whether
// the screen saver is active (Wine always says it is).
class RecordingBarShell : public BarShell {
 public:
  struct SaverCall {
    UINT action, param, winIni;
  };
  UINT_PTR AppBarMessage(DWORD message, APPBARDATA& data) override;
  BOOL SystemParameters(UINT action, UINT param, void* value, UINT winIni) override;
  std::vector<DWORD> appBarMessages;
  std::vector<bool> barVisible;  // whether the bar was visible at each message
  std::vector<SaverCall> saverCalls;
  bool refuseAutoHide = false;
  bool saverActive = true;
};

// A shown launcher whose settings file's section "Info" holds `info`.
struct EdgeBar {
  explicit EdgeBar(const std::string& info, BarShell* shell = nullptr);
  TMainForm& bar() { return app->MainForm(); }
  Box Bounds() const;
  TempExeFolder folder;
  std::unique_ptr<App> app;
};

// How far into the screen the real shell would put another bar on edge
// `type`: 0 while the edge is free, 38 once a bar holds it.
int ShellInset(int type);

// A visible top-level window of the test that takes the foreground.
HWND MakeForegroundWindow();

}  // namespace kb::testing
