#include "launcher/tests/edge_fixture.h"

#include "model/edge_rules.h"

namespace kb::testing {

UINT_PTR RecordingBarShell::AppBarMessage(DWORD message, APPBARDATA& data) {
  appBarMessages.push_back(message);
  barVisible.push_back(IsWindowVisible(data.hWnd) != FALSE);
  if (message == ABM_SETAUTOHIDEBAR && data.lParam && refuseAutoHide) return 0;
  return BarShell::AppBarMessage(message, data);
}

BOOL RecordingBarShell::SystemParameters(UINT action, UINT param, void* value, UINT winIni) {
  saverCalls.push_back({action, param, winIni});
  if (action != SPI_GETSCREENSAVEACTIVE) return BarShell::SystemParameters(action, param, value, winIni);
  *static_cast<BOOL*>(value) = saverActive;
  return TRUE;
}

EdgeBar::EdgeBar(const std::string& info, BarShell* shell) {
  folder.WriteData("KBINI.dat", "[Info]\r\n" + info);
  app = std::make_unique<App>(AppOptions{folder.path(), kScreenW, kScreenH, shell});
  app->CreateForms();
  app->ShowBar();
}

Box EdgeBar::Bounds() const {
  const RECT r = app->MainForm().Bounds();
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int ShellInset(int type) {
  static const UINT kEdges[] = {ABE_TOP, ABE_LEFT, ABE_BOTTOM, ABE_RIGHT};
  HWND probe = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, nullptr, nullptr);
  APPBARDATA data{};
  data.cbSize = sizeof data;
  data.hWnd = probe;
  data.uCallbackMessage = WM_APP;
  SHAppBarMessage(ABM_NEW, &data);
  data.uEdge = kEdges[type];
  const EdgeRect r = RectOf(BarBounds(type, false, kScreenW, kScreenH));
  data.rc = {r.left, r.top, r.right, r.bottom};
  SHAppBarMessage(ABM_QUERYPOS, &data);
  SHAppBarMessage(ABM_REMOVE, &data);
  DestroyWindow(probe);
  const LONG insets[] = {data.rc.top, data.rc.left, kScreenH - data.rc.bottom,
                         kScreenW - data.rc.right};
  return insets[type];
}

HWND MakeForegroundWindow() {
  HWND w = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 400, 300, 200, 100,
                           nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(w);
  return w;
}

}  // namespace kb::testing
