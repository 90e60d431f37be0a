#include "app/settings_wiring.h"

#include <windows.h>

#include "app/app.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "win/shell.h"

namespace kb {

void SettingsWiring::WithdrawEdge() {}

void SettingsWiring::HideGroupWindow() { app_.SubForm().HideWindow(); }

void SettingsWiring::RenewEdge() {}

void SettingsWiring::PlaceGroupWindow() { app_.SubForm().PlaceGroupWindow(); }

void SettingsWiring::ArrangeExecButtons() { app_.SubForm().ArrangeExecButtons(); }

void SettingsWiring::SetStartWithWindows(bool) {}

void SettingsWiring::ApplyTaskbarButton() {}

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
