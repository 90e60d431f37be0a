#include "win/monitors.h"

#include "win/text.h"

namespace kb::win {
namespace {

EdgeRect EdgeRectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  MonitorDesc desc;
  // A device name is plain ASCII on every system; one that is not cannot be
  // stored and is matched by its rectangle alone.
  desc.device = Narrow(info.szDevice).value_or("");
  desc.area = EdgeRectOf(info.rcMonitor);
  desc.work = EdgeRectOf(info.rcWork);
  desc.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  reinterpret_cast<std::vector<MonitorDesc>*>(list)->push_back(desc);
  return TRUE;
}

}  // namespace

std::vector<MonitorDesc> EnumerateMonitors() {
  std::vector<MonitorDesc> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    MonitorDesc only;
    only.area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    only.work = only.area;
    only.primary = true;
    monitors.push_back(only);
  }
  return monitors;
}

EdgeRect WorkAreaOf(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  // A zero-sized window (the application's) counts by its position.
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) {
    return EdgeRectOf(info.rcWork);
  }
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void CentreOnOwnerMonitor(HWND dialog, HWND owner) {
  RECT r{};
  GetWindowRect(dialog, &r);
  const Box b = CentreInWorkArea(WorkAreaOf(owner), r.right - r.left, r.bottom - r.top);
  SetWindowPos(dialog, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kb::win
