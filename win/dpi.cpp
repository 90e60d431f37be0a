#include "win/dpi.h"

#include <string>

#include "win/text.h"
#include "win/ui_font.h"
#include "win/window.h"

namespace kb::win {
namespace {

// Declared here rather than taken from the SDK headers: none of these may
// be imported (the program must load on Windows XP), and the values are
// fixed by the system.
using SetContextFn = BOOL(WINAPI*)(HANDLE);
using GetContextFn = HANDLE(WINAPI*)();
using AwarenessFromContextFn = int(WINAPI*)(HANDLE);
using SetAwarenessFn = HRESULT(WINAPI*)(int);
using SetAwareFn = BOOL(WINAPI*)();
using IsAwareFn = BOOL(WINAPI*)();
using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

const HANDLE kContextPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kContextPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
const HANDLE kContextSystem = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));
constexpr int kProcessPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kProcessSystemAware = 1;
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE handle = GetModuleHandleW(module);
  if (!handle) handle = LoadLibraryW(module);  // shcore is not loaded by default
  return handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name)))
                : nullptr;
}

// Whether per-monitor v2 is the process's context now: only the newest
// systems can say (AreDpiAwarenessContextsEqual would need the same lookups).
bool ContextIsPerMonitorV2() {
  auto getContext = Lookup<GetContextFn>(L"user32.dll", "GetThreadDpiAwarenessContext");
  auto isValid = Lookup<AwarenessFromContextFn>(L"user32.dll", "IsValidDpiAwarenessContext");
  auto equal = Lookup<BOOL(WINAPI*)(HANDLE, HANDLE)>(L"user32.dll", "AreDpiAwarenessContextsEqual");
  if (!getContext || !isValid || !equal) return false;
  return equal(getContext(), kContextPerMonitorV2) != FALSE;
}

}  // namespace

DpiAwareness CurrentDpiAwareness() {
  if (ContextIsPerMonitorV2()) return DpiAwareness::PerMonitorV2;
  auto getContext = Lookup<GetContextFn>(L"user32.dll", "GetThreadDpiAwarenessContext");
  auto awareness =
      Lookup<AwarenessFromContextFn>(L"user32.dll", "GetAwarenessFromDpiAwarenessContext");
  if (getContext && awareness) {
    switch (awareness(getContext())) {
      case 2: return DpiAwareness::PerMonitor;
      case 1: return DpiAwareness::System;
      default: return DpiAwareness::None;
    }
  }
  auto isAware = Lookup<IsAwareFn>(L"user32.dll", "IsProcessDPIAware");  // Vista
  return isAware && isAware() ? DpiAwareness::System : DpiAwareness::None;
}

DpiAwareness DeclareDpiAwareness() {
  if (auto setContext = Lookup<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
    // Wine 8 refuses per-monitor v2 and takes per-monitor v1.
    for (HANDLE context : {kContextPerMonitorV2, kContextPerMonitor, kContextSystem}) {
      if (setContext(context)) break;
    }
  } else if (auto setAwareness = Lookup<SetAwarenessFn>(L"shcore.dll", "SetProcessDpiAwareness")) {
    if (FAILED(setAwareness(kProcessPerMonitorAware))) setAwareness(kProcessSystemAware);
  } else if (auto setAware = Lookup<SetAwareFn>(L"user32.dll", "SetProcessDPIAware")) {
    setAware();
  }
  return CurrentDpiAwareness();
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

int MonitorDpi(HMONITOR monitor) {
  static const auto dpiForMonitor = Lookup<DpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (monitor && dpiForMonitor && SUCCEEDED(dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) &&
      x > 0) {
    return static_cast<int>(x);
  }
  return SystemDpi();
}

int DpiForRect(const RECT& rect) { return MonitorDpi(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST)); }

ScaledDrawing::ScaledDrawing(HDC dc, DpiScale scale) : dc_(dc) {
  if (scale.IsBase()) return;
  oldMode_ = SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kBaseDpi, kBaseDpi, nullptr);
  SetViewportExtEx(dc, scale.Dpi(), scale.Dpi(), nullptr);
}

ScaledDrawing::~ScaledDrawing() {
  if (oldMode_) SetMapMode(dc_, oldMode_);
}

// --- ScaledLayout --------------------------------------------------------------

namespace {

bool HasClass(HWND window, const wchar_t* className) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return lstrcmpiW(name, className) == 0;
}

// A child's bounds relative to its parent.  A combo box's window height is
// its field and its dropped list together (what SetWindowPos takes), while
// its window rectangle covers the field only.
RECT BaseBounds(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  if (HasClass(child, L"ComboBox")) {
    RECT dropped{};
    SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    if (dropped.bottom > r.bottom) r.bottom = dropped.bottom;
  }
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

RECT ScaledLayout::ScaleRect(const RECT& base, DpiScale s) {
  // Position and size scale each on their own, so equal sizes stay equal.
  const int left = s(base.left), top = s(base.top);
  return {left, top, left + s(base.right - base.left), top + s(base.bottom - base.top)};
}

void ScaledLayout::Capture(HWND window) {
  window_ = window;
  children_.clear();
  RECT client{};
  GetClientRect(window, &client);
  baseClient_ = {client.right, client.bottom};
  EnumChildWindows(window, &ScaledLayout::AddChild, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK ScaledLayout::AddChild(HWND child, LPARAM self) {
  return GuardCallback(FALSE, [&] {
    reinterpret_cast<ScaledLayout*>(self)->children_.push_back({child, BaseBounds(child)});
    return TRUE;
  });
}

namespace {

bool IsStaticText(HWND window) { return HasClass(window, L"Static"); }

// A static text's box widened and heightened to its text in `font`.
RECT FitText(HWND label, RECT box, HFONT font) {
  const int length = GetWindowTextLengthW(label);
  if (length <= 0) return box;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), length + 1)));
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  if (box.right - box.left < size.cx) box.right = box.left + size.cx;
  if (box.bottom - box.top < size.cy) box.bottom = box.top + size.cy;
  return box;
}

}  // namespace

void ScaledLayout::Apply(DpiScale s) {
  // At the scale in force nothing moves: at 96 dpi the layout stays as made.
  if (!window_ || s == scale_) return;
  scale_ = s;
  HFONT font = UiFont(s.Dpi());
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RECT frame{0, 0, s(baseClient_.cx), s(baseClient_.cy)};
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(window_, GWL_EXSTYLE);
  AdjustWindowRectEx(&frame, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(exStyle));
  if (style & WS_CHILD) frame = {0, 0, s(baseClient_.cx), s(baseClient_.cy)};
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const Child& child : children_) {
    if (!IsWindow(child.hwnd)) continue;
    SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    RECT r = ScaleRect(child.base, s);
    if (!s.IsBase() && IsStaticText(child.hwnd)) r = FitText(child.hwnd, r, font);
    SetWindowPos(child.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace kb::win
