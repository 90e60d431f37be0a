#include "win/testing/x_input.h"

#include <cwchar>
#include <string>

#include "win/text.h"
#include "win/window.h"

namespace kb::win::testing {

bool RunXdotool(const std::string& arguments) {
  std::wstring commandLine = L"/usr/bin/xdotool " + Widen(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  if (info.hThread) CloseHandle(info.hThread);
  if (info.hProcess) CloseHandle(info.hProcess);
  return true;
}

std::optional<POINT> WineTrayIconPoint(int index) {
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  if (!tray || !IsWindowVisible(tray)) return std::nullopt;
  // The icons sit in a row of 20 × 20 cells from the client area's corner.
  constexpr int kCell = 20;
  RECT client{};
  GetClientRect(tray, &client);
  if (client.right < (index + 1) * kCell) return std::nullopt;
  POINT p{index * kCell + kCell / 2, kCell / 2};
  ClientToScreen(tray, &p);
  return p;
}

namespace {

BOOL CALLBACK FindOwnMenu(HWND hwnd, LPARAM param) {
  return GuardCallback(FALSE, [&]() -> BOOL {
    wchar_t cls[16] = L"";
    GetClassNameW(hwnd, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && wcscmp(cls, L"#32768") == 0) {
      *reinterpret_cast<HWND*>(param) = hwnd;
      return FALSE;
    }
    return TRUE;
  });
}

}  // namespace

bool ClickMenuItemWhenShown(int index, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < deadline) {
    HWND menuWindow = nullptr;
    EnumWindows(&FindOwnMenu, reinterpret_cast<LPARAM>(&menuWindow));
    DWORD_PTR menu = 0;
    RECT item{};
    if (menuWindow &&
        SendMessageTimeoutW(menuWindow, MN_GETHMENU, 0, 0, SMTO_BLOCK, 1000, &menu) && menu &&
        GetMenuItemRect(nullptr, reinterpret_cast<HMENU>(menu), static_cast<UINT>(index), &item)) {
      const int x = (item.left + item.right) / 2, y = (item.top + item.bottom) / 2;
      return RunXdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) +
                        " sleep 0.2 click 1");
    }
    Sleep(20);
  }
  return false;
}

}  // namespace kb::win::testing
