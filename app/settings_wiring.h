// The settings dialog's actions as the launcher carries them out: on the
// bar (edge registration, z-order, taskbar button, reset), the group
// window, the tray icon (the Run-key value) and the shell.
#pragma once

#include "settings/settings_actions.h"

namespace kb {

class App;
namespace win {
class ShellAccess;
}

class SettingsWiring : public SettingsActions {
 public:
  explicit SettingsWiring(App& app) : app_(app) {}

  void WithdrawEdge() override;
  void HideGroupWindow() override;
  void RenewEdge() override;
  void PlaceGroupWindow() override;
  void ArrangeExecButtons() override;
  void ChangeScreen() override;
  void SetStartWithWindows(bool on) override;
  void ApplyTaskbarButton() override;
  void ApplyHotKey() override;
  void ResetBar(const BarReset& reset) override;
  void StartProgram(const std::string& path, const std::string& parameters) override;
  void CloseLauncher() override;

 private:
  App& app_;
};

}  // namespace kb
