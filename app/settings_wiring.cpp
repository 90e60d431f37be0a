#include "app/settings_wiring.h"

#include <windows.h>

#include "app/app.h"
#include "common/identity.h"
#include "components/icon_tray.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "win/shell.h"
#include "win/window.h"

namespace kb {

void SettingsWiring::WithdrawEdge() { app_.MainForm().UnregisterEdge(); }

void SettingsWiring::HideGroupWindow() { app_.SubForm().HideWindow(); }

void SettingsWiring::RenewEdge() { app_.MainForm().RegisterEdge(); }

void SettingsWiring::PlaceGroupWindow() { app_.SubForm().PlaceGroupWindow(); }

void SettingsWiring::ArrangeExecButtons() { app_.SubForm().ArrangeExecButtons(); }

void SettingsWiring::ChangeScreen() { app_.MainForm().DisplayChanged(); }

void SettingsWiring::SetStartWithWindows(bool on) {
  TIconTray* tray = app_.IconTray1();
  if (!tray) return;
  // The value is named like the application.  A value that cannot be
  // written is told, and the rest of the OK still applies.
  try {
    if (on) {
      tray->RegisterRun(kAppTitle);
    } else {
      tray->UnregisterRun(kAppTitle);
    }
  } catch (const ERunKeyError& e) {
    win::ReportError(e.what());
  }
}

void SettingsWiring::ApplyTaskbarButton() { app_.MainForm().ApplyTaskbarButton(); }

void SettingsWiring::ApplyHotKey() { app_.ApplyHotKey(); }

void SettingsWiring::ResetBar(const BarReset& reset) { app_.MainForm().ApplyReset(reset); }

void SettingsWiring::StartProgram(const std::string& path, const std::string& parameters) {
  app_.CompanionShell().Open(nullptr, path, parameters, "", SW_HIDE);
}

void SettingsWiring::CloseLauncher() {
  // Posted: the dialog and the click that opened it return first, then the
  // bar's ordinary close saves everything and ends the launcher.
  if (app_.HasMainForm() && app_.MainForm().hwnd()) {
    PostMessageW(app_.MainForm().hwnd(), WM_CLOSE, 0, 0);
  }
}

}  // namespace kb
