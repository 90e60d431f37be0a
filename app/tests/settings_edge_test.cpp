// The settings dialog's OK on the bar at its edge: the registration withdrawn
// as it was made and made again as chosen, the z-order, the Run-key value and
// the taskbar button, with the prefix's real shell and registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/settings_wiring.h"
#include "launcher/tests/edge_fixture.h"
#include "settings/pages_dlg.h"

namespace kb {
namespace {

// The launcher's value under the machine's Run key, else the user's.
std::optional<std::wstring> RunValue() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(root, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Kobarune",
                     RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS) {
      return std::wstring(data);
    }
  }
  return std::nullopt;
}

// The running program, quoted as the tray icon writes it.
std::wstring OwnCommand() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return L"\"" + std::wstring(path) + L"\"";
}

TEST(SettingsDialogEdge, OkWithdrawsAsRegisteredRenewsAsChosenAndAppliesTheRest) {
  testing::RecordingBarShell shell;
  testing::EdgeBar launcher("Type=1\r\n", &shell);
  App& app = *launcher.app;
  SettingsWiring actions(app);
  struct Case {
    bool autoHide, onTop, startUp;
    int taskbarItem;
    std::vector<DWORD> firstMessages;  // the withdrawal, then the new registration
  };
  const Case cases[] = {{true, true, true, 1, {ABM_REMOVE, ABM_SETAUTOHIDEBAR}},
                        {false, false, false, 0, {ABM_SETAUTOHIDEBAR, ABM_NEW}},
                        {false, true, false, 0, {ABM_REMOVE, ABM_NEW}}};
  for (const Case& c : cases) {
    shell.appBarMessages.clear();
    TPagesDlg dialog(app.MainForm().hwnd(), app, actions);
    dialog.FormShow();
    dialog.AutoHideCheck.SetChecked(c.autoHide);
    dialog.AlwaysTopCheck.SetChecked(c.onTop);
    dialog.CheckStartUp.SetChecked(c.startUp);
    dialog.RadioOnTheBar.SetItemIndex(c.taskbarItem);
    dialog.OKBtnClick();
    ASSERT_GE(shell.appBarMessages.size(), 2u);
    EXPECT_EQ(std::vector<DWORD>(shell.appBarMessages.begin(), shell.appBarMessages.begin() + 2),
              c.firstMessages) << c.autoHide;
    const LONG_PTR exStyle = GetWindowLongPtrW(app.MainForm().hwnd(), GWL_EXSTYLE);
    EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, c.onTop);
    EXPECT_EQ(IsWindowVisible(app.ApplicationHandle()) != FALSE, c.taskbarItem == 0);
    EXPECT_EQ(RunValue(), c.startUp ? std::optional<std::wstring>(OwnCommand()) : std::nullopt);
  }
}

}  // namespace
}  // namespace kb
