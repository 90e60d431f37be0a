// The options the settings dialog edits, as a copy taken from the in-memory
// settings when it opens.  The pages are filled from the copy and read back
// into it; only OK hands the copy back, so Cancel has nothing to undo.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/settings.h"

namespace kb {

struct SettingsChoice {
  uint8_t Type = 1;
  bool AutoHide = false;
  bool ExecHide = false;
  bool NotActiveHide = false;
  bool StayonTop = false;
  bool SaverPause = false;
  bool MouseOnActive = false;
  uint8_t TMaxFileNum = 5;
  bool MaxFileLimit = false;
  bool LateBU = false;
  uint8_t OnTray = 0;
  bool StartUp = false;
  // The Windows-exit method: not a stored setting, it lives while the
  // launcher runs and starts at 0 ("シャットダウン").
  uint8_t ExitMethod = 0;
  // The bar's monitor as stored (Settings::Monitor).
  std::string Monitor;
  // The key that calls the launcher as stored (Settings::HotKey).
  std::string HotKey;

  bool operator==(const SettingsChoice&) const = default;
};

// The range of the group window's fixed number of program buttons.
inline constexpr int kMinFileNum = 1;
inline constexpr int kMaxFileNum = 40;

SettingsChoice ChoiceOf(const Settings& settings, uint8_t exitMethod);

// Every option takes its chosen value; then ListCount is raised to a larger
// fixed number of program buttons (it never shrinks here).
void TakeChoice(const SettingsChoice& choice, Settings& settings, uint8_t& exitMethod);

// Item of "タスクバーに表示" for an OnTray value: only 1 hides the taskbar
// button, every other value shows it.
int TaskbarItemOf(uint8_t onTray);

// The exit tool's option for an item of "終了方法の設定"; nothing when no
// item is chosen.
std::optional<std::string> ExitToolOption(int item);

// The value a spin edit holds for its text: a number is kept within the
// range, anything else gives the minimum.
int SpinValueOf(std::string_view text, int minimum, int maximum);

// The companion programs and the settings dialog's help file, all found in
// the launcher's own folder.
inline constexpr char kExitToolFile[] = "HURTLE.EXE";
inline constexpr char kRestartToolFile[] = "Vaulter2.exe";
inline constexpr char kRestartToolOption[] = "/r";
inline constexpr char kSettingsHelpFile[] = "Pelkan.HLP";

}  // namespace kb
