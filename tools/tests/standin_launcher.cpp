// Stands in for the launcher in the tools' tests: owns a hidden window of the
// launcher's class with the title it is given, and closes it after a time or
// as soon as a stop file appears.
//
//   tools_standin_launcher TITLE LIFETIME_MS [STOP_FILE [SESSION_FILE]]
//
// SESSION_FILE, when given, is written when the session ends
// (WM_QUERYENDSESSION), which tells a test that ExitWindowsEx was called.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring g_stopFile;
std::wstring g_sessionFile;
DWORD g_closeAt = 0;
constexpr UINT_PTR kPollTimer = 1;

bool Exists(const std::wstring& path) {
  return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (static_cast<LONG>(GetTickCount() - g_closeAt) >= 0 || Exists(g_stopFile)) {
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_QUERYENDSESSION:
      if (!g_sessionFile.empty()) Touch(g_sessionFile);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring title = argv[1];
  g_closeAt = GetTickCount() + static_cast<DWORD>(_wtol(argv[2]));
  if (argc > 3) g_stopFile = argv[3];
  if (argc > 4) g_sessionFile = argv[4];
  LocalFree(argv);

  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"TApplication";
  RegisterClassW(&wc);
  // A real (not message-only) top-level window, hidden like the launcher's
  // application window, so that FindWindow and the session end reach it.
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100,
                              100, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 3;
  SetTimer(hwnd, kPollTimer, 20, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
