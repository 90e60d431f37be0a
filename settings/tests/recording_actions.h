// A SettingsActions that records every call, with the options in force at
// that moment where the call depends on them, so a test sees both the order
// of the steps and what each step saw.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_actions.h"
#include "model/settings.h"

namespace kb::testing {

class RecordingActions : public SettingsActions {
 public:
  explicit RecordingActions(const Settings& live) : live_(live) {}

  void WithdrawEdge() override { Add("WithdrawEdge autoHide=" + Flag(live_.AutoHide)); }
  void HideGroupWindow() override { Add("HideGroupWindow"); }
  void RenewEdge() override {
    Add("RenewEdge autoHide=" + Flag(live_.AutoHide) + " top=" + Flag(live_.StayonTop));
  }
  void PlaceGroupWindow() override {
    Add("PlaceGroupWindow limit=" + Flag(live_.MaxFileLimit) +
        " num=" + std::to_string(live_.TMaxFileNum));
  }
  void ArrangeExecButtons() override { Add("ArrangeExecButtons"); }
  void SetStartWithWindows(bool on) override { Add("SetStartWithWindows " + Flag(on)); }
  void ApplyTaskbarButton() override { Add("ApplyTaskbarButton onTray=" + std::to_string(live_.OnTray)); }
  void ResetBar(const BarReset& reset) override {
    resets.push_back(reset);
    Add("ResetBar");
  }
  void StartProgram(const std::string& path, const std::string& parameters) override {
    Add("StartProgram " + path + " " + parameters);
  }
  void CloseLauncher() override { Add("CloseLauncher type=" + std::to_string(live_.Type)); }

  std::vector<std::string> calls;
  std::vector<BarReset> resets;

 private:
  static std::string Flag(bool on) { return on ? "1" : "0"; }
  void Add(std::string call) { calls.push_back(std::move(call)); }
  const Settings& live_;
};

}  // namespace kb::testing
