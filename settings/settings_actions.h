// What the settings dialog does to the rest of the launcher.  The dialog
// knows only this interface; the program's composition root implements it
// with the bar, the group window and the tray icon.
#pragma once

#include <string>

#include "model/bar_reset.h"

namespace kb {

class SettingsActions {
 public:
  virtual ~SettingsActions() = default;

  // The bar's screen-edge registration is withdrawn as the AutoHide in
  // force at the call chooses (the auto-hide bar or the desktop toolbar).
  virtual void WithdrawEdge() = 0;
  virtual void HideGroupWindow() = 0;
  // The bar registers at its edge as the current AutoHide says and takes the
  // z-order StayonTop asks for.
  virtual void RenewEdge() = 0;
  // The group window sized for the edge and its number of program buttons,
  // then its buttons laid out again.
  virtual void PlaceGroupWindow() = 0;
  virtual void ArrangeExecButtons() = 0;
  // Another monitor was chosen (Monitor): the bar, unregistered, is laid
  // out on it, and the group window follows.
  virtual void ChangeScreen() {}
  // The launcher's value in the Run key written (on) or deleted (off).
  virtual void SetStartWithWindows(bool on) = 0;
  // The key that calls the launcher is registered again as HotKey says; a
  // key another program holds is told to the user and stays chosen.
  virtual void ApplyHotKey() {}
  // The taskbar button and the tray menu's toggle follow OnTray.
  virtual void ApplyTaskbarButton() = 0;
  // The bar takes the reset layout; it keeps its position on the screen.
  virtual void ResetBar(const BarReset& reset) = 0;
  // Starts a program hidden, by its full path; the result is not examined.
  virtual void StartProgram(const std::string& path, const std::string& parameters) = 0;
  // Asks the launcher to close the ordinary way (which saves everything).
  // The close happens once the dialog has returned.
  virtual void CloseLauncher() = 0;
};

}  // namespace kb
