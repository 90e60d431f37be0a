// The display's scale as the launcher sees it: the process declares itself
// DPI-aware (so Windows draws its windows unstretched), and every window
// takes the DPI of the monitor it belongs to.  The functions newer than
// Windows XP are looked up at run time; without them the program runs at the
// system's DPI (96 on most XP machines) exactly as before.
#pragma once

#include <windows.h>

#include <vector>

#include "model/dpi_scale.h"

namespace kb::win {

// How the process ended up DPI-aware (the best the system offers).
enum class DpiAwareness { None, System, PerMonitor, PerMonitorV2 };

// Makes the process DPI-aware at run time, best first: per monitor v2, per
// monitor, system-aware.  The manifest normally has done it already; then
// the calls are refused and the awareness in force is reported.
DpiAwareness DeclareDpiAwareness();
// The awareness in force now.
DpiAwareness CurrentDpiAwareness();

// The screen's DPI as the system reports it (LOGPIXELSX of the screen).
int SystemDpi();
// The effective DPI of a monitor (GetDpiForMonitor of Windows 8.1 and
// later); the system's DPI where that is missing or fails.
int MonitorDpi(HMONITOR monitor);
// The DPI of the monitor that holds the largest part of `rect` (the
// nearest one when none does): the bar's monitor gives the launcher its scale.
int DpiForRect(const RECT& rect);

// Drawing in 96-dpi coordinates onto a device context at another scale: a
// glyph drawn in code comes out at its scaled size, lines and fills
// included (GDI's mapping, which every Windows has).  At 96 dpi it changes
// nothing.
class ScaledDrawing {
 public:
  ScaledDrawing(HDC dc, DpiScale scale);
  ~ScaledDrawing();
  ScaledDrawing(const ScaledDrawing&) = delete;
  ScaledDrawing& operator=(const ScaledDrawing&) = delete;

 private:
  HDC dc_;
  int oldMode_ = 0;
};

// A window's children laid out at 96 dpi, taken once, and applied again at
// any scale: each child's bounds (relative to its own parent) and the
// window's client size are multiplied, every child gets the UI font of that
// scale, and a static text that no longer fits its scaled box is widened to
// its text.  At 96 dpi nothing moves.
class ScaledLayout {
 public:
  // Takes the layout of `window` and all its descendants as they are now.
  void Capture(HWND window);
  bool Captured() const { return window_ != nullptr; }
  // Lays the window out at `scale`: its client area, the children, fonts.
  // The window keeps its top-left corner.
  void Apply(DpiScale scale);
  DpiScale Scale() const { return scale_; }
  // A control's 96-dpi bounds scaled as Apply placed it (for controls the
  // form places itself, and for painted frames).
  static RECT ScaleRect(const RECT& base, DpiScale scale);

 private:
  struct Child {
    HWND hwnd;
    RECT base;
  };
  static BOOL CALLBACK AddChild(HWND child, LPARAM self);

  HWND window_ = nullptr;
  SIZE baseClient_{};
  std::vector<Child> children_;
  DpiScale scale_;
};

}  // namespace kb::win
