// Shared set-up of the tests of the bar at its edge: a launcher on a
// 1024 × 768 screen with a settings file of the test's choosing, a shell
// seam that records the bar's calls, and a second desktop toolbar that asks
// the real shell where it would go.
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

// Passes every call on, except what the test decides: the answer to
// ABM_SETAUTOHIDEBAR and whether the screen saver counts as active (Wine
// always says it is).
class RecordingBarShell : public BarShell {
 public:
  struct SaverCall {
    UINT action;
    UINT param;
    UINT winIni;
  };
  UINT_PTR AppBarMessage(DWORD message, APPBARDATA& data) override;
  BOOL SystemParameters(UINT action, UINT param, void* value, UINT winIni) override;

  std::vector<DWORD> appBarMessages;
  std::vector<SaverCall> saverCalls;
  bool refuseAutoHide = false;
  bool saverActive = true;
  // Pass SPI_SETSCREENSAVEACTIVE on to the system (session only).
  bool forwardSaverChanges = true;
};

// A launcher whose settings file's section "Info" holds `info`.
struct EdgeBar {
  explicit EdgeBar(const std::string& info, BarShell* shell = nullptr, bool show = true,
                   int width = kScreenW, int height = kScreenH);
  TMainForm& bar() { return app->MainForm(); }
  Box Bounds() const;
  TempExeFolder folder;
  std::unique_ptr<App> app;
};

// Another desktop toolbar, registered with the real shell: where the shell
// would put it shows which part of an edge is taken.
class ProbeBar {
 public:
  ProbeBar();
  ~ProbeBar();
  ProbeBar(const ProbeBar&) = delete;
  ProbeBar& operator=(const ProbeBar&) = delete;
  // The shell's proposal for a bar 38 pixels thick on `edge` (0 … 3).
  RECT Query(int type);

 private:
  HWND hwnd_;
};

// A visible top-level window of the test that takes the foreground.
HWND MakeForegroundWindow();

}  // namespace kb::testing
