// The yardstick the launcher's start-up is held to: the least a launcher bar
// has to do before it is on screen.  It takes a named mutex, reads the
// settings file once (the launcher's own profile reader), places a bar of
// the launcher's geometry at the stored edge and shows it with its buttons
// (settings, one per group that fits, help and two scroll buttons) as plain
// system push buttons.  No icons, no records, no group window.
#include <windows.h>

#include "common/encoding.h"
#include "common/module_folder.h"
#include "common/profile.h"
#include "model/bar_layout.h"
#include "model/settings.h"

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::wstring Wide(const std::string& sjis) {
  const std::u16string wide = kb::Utf16FromShiftJis(sjis);
  return std::wstring(wide.begin(), wide.end());
}

void AddButton(HWND bar, HINSTANCE instance, const kb::Box& box) {
  CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, box.left, box.top,
                  box.width, box.height, bar, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"KbBenchMinimalBar");

  const std::string exeDir = kb::ModuleFolder().value_or("");
  const kb::ProfileReader file(kb::SettingsPathFor(exeDir));
  const int type = kb::NormalizeEdge(file.ReadInteger("Info", "Type", 1));
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);

  WNDCLASSW wc{};
  wc.lpfnWndProc = &Procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"KbMinimalBar";
  RegisterClassW(&wc);
  const kb::Box bounds = kb::BarBounds(type, true, width, height);
  HWND bar = CreateWindowExW(WS_EX_TOOLWINDOW, L"KbMinimalBar", Wide("Kobarune").c_str(),
                             WS_POPUP | WS_CLIPCHILDREN, bounds.left, bounds.top, bounds.width,
                             bounds.height, nullptr, nullptr, instance, nullptr);
  const int groups = kb::GroupButtonCount(kb::BarLength(type, width, height));
  for (int slot = 0; slot <= groups; ++slot) AddButton(bar, instance, kb::SlotBox(type, slot));
  const kb::HelpScrollLayout rest = kb::LayoutHelpAndScroll(type, groups);
  for (const kb::Box& box : {rest.help, rest.back, rest.forward}) AddButton(bar, instance, box);
  ShowWindow(bar, SW_SHOW);
  UpdateWindow(bar);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (mutex) CloseHandle(mutex);
  return 0;
}
