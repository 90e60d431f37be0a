// The yardstick for the launcher's start-up: the smallest Win32 program that
// registers a class, creates a window, shows it and runs a message loop.
// Built twice: plain, and importing the system libraries the launcher
// imports, so the figures tell the loading of those libraries apart from the
// launcher's own work.
#include <windows.h>

#ifdef KB_LAUNCHER_IMPORTS
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#endif

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef KB_LAUNCHER_IMPORTS
  // Referenced, not called: the loader maps the libraries all the same.
  static const void* volatile imports[] = {
      reinterpret_cast<const void*>(&InitCommonControlsEx),
      reinterpret_cast<const void*>(&CoCreateInstance),
      reinterpret_cast<const void*>(&DragAcceptFiles),
      reinterpret_cast<const void*>(&TransparentBlt)};
  (void)imports;
#endif
  WNDCLASSW wc{};
  wc.lpfnWndProc = &Procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"KbEmptyWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"KbEmptyWindow", L"Empty", WS_POPUP, 0, 0, 38,
                              768, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
