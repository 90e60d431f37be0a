// A SettingsActions that records every call with the options in force at
// that moment, so a test sees the order of the steps and what each saw.
#pragma once

#include <string>
#include <vector>

#include "model/settings.h"
#include "settings/settings_actions.h"

namespace kb::testing {

class RecordingActions : public SettingsActions {
 public:
  explicit RecordingActions(const Settings& live) : s_(live) {}
  void WithdrawEdge() override { Add("WithdrawEdge autoHide=" + N(s_.AutoHide)); }
  void HideGroupWindow() override { Add("HideGroupWindow"); }
  void RenewEdge() override { Add("RenewEdge autoHide=" + N(s_.AutoHide) + " top=" + N(s_.StayonTop)); }
  void PlaceGroupWindow() override {
    Add("PlaceGroupWindow limit=" + N(s_.MaxFileLimit) + " num=" + N(s_.TMaxFileNum));
  }
  void ArrangeExecButtons() override { Add("ArrangeExecButtons"); }
  void SetStartWithWindows(bool on) override { Add("SetStartWithWindows " + N(on)); }
  void ApplyTaskbarButton() override { Add("ApplyTaskbarButton onTray=" + N(s_.OnTray)); }
  void ResetBar(const BarReset&) override { Add("ResetBar"); }
  void StartProgram(const std::string& path, const std::string& parameters) override {
    Add("StartProgram " + path + " " + parameters);
  }
  void CloseLauncher() override { Add("CloseLauncher type=" + N(s_.Type)); }

  std::vector<std::string> calls;

 private:
  static std::string N(int value) { return std::to_string(value); }
  void Add(std::string call) { calls.push_back(std::move(call)); }
  const Settings& s_;
};

}  // namespace kb::testing
