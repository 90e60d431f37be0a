// The launcher-wide settings held in memory, and how they are loaded from and
// saved to the settings file "data\KBINI.dat" beside the launcher.  The app
// owns one Settings object; nothing here keeps state of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/launch_data.h"

namespace kb {

class ProfileReader;
class ProfileWriter;

// Members are named like their keys in section "Info" (VersionStamp holds
// "Version"); GroupCount is "Group"/"Number", ListCount "List"/"Number".
struct Settings {
  uint8_t Type = 1;  // bar edge: 0 top, 1 left, 2 bottom, 3 right
  bool AutoHide = false;
  bool ExecHide = false;
  bool NotActiveHide = false;
  std::string VersionStamp;
  bool StayonTop = false;
  bool SaverPause = false;
  bool MouseOnActive = false;
  uint8_t TMaxFileNum = 5;
  bool MaxFileLimit = false;
  bool LateBU = false;
  uint8_t OnTray = 0;  // 1 hides the taskbar button; anything else shows it
  bool StartUp = false;
  uint8_t GroupCount = 10;
  uint8_t ListCount = 15;
  // The bar's monitor (MonitorKeyValue); empty: the primary one.  Written
  // only when set, after the keys other readers know.
  std::string Monitor;
  // The key that calls the launcher (model/hot_key.h) as stored; empty: the
  // default.  Written only when chosen, like Monitor.
  std::string HotKey;
  std::string SettingsPath;

  bool operator==(const Settings&) const = default;
};

struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The most bytes of "Version" kept.  The cut never splits a double-byte
// character, so a stamp may keep fewer bytes.
inline constexpr size_t kVersionStampBytes = 5;

// exeDir + "data\" + fileName, joined double-byte aware: exeDir may end in a
// backslash or not, also after a character whose trail byte is 0x5C ("表").
std::string DataFilePath(const std::string& exeDir, std::string_view fileName);

// exeDir + "data\KBINI.dat".
std::string SettingsPathFor(const std::string& exeDir);

// exeDir + "data\Iconbmp.dat", the icon store's file.
std::string IconStorePathFor(const std::string& exeDir);

// Reads the settings file; never fails (missing values give the defaults).
// An edge outside 0 … 3 becomes 2; the version stamp is cut; then the
// ListCount rule is applied.
Settings LoadSettings(const std::string& exeDir);
// The same from the file already read (SettingsPathFor(exeDir)): the start-up
// reads it once for the settings, the group records and the program slots.
Settings LoadSettings(const std::string& exeDir, const ProfileReader& file);

// When MaxFileLimit is on and TMaxFileNum exceeds ListCount, ListCount
// becomes TMaxFileNum; it never shrinks here.
void ApplyListCountRule(Settings& settings);

// Creates the settings file's folder (one level) when it is missing; the
// result is not examined (a refused save reports it).
void PrepareSettingsFolder(const Settings& settings);

// The bar's part of a save session: section "Window" with the bar's bounds
// and GroupCount, "Info", "Group", "List", the rest of "Info", then the record
// of every group 1 … groupCount whose IconFile is set (groupEntries[0] is
// group 1).  A group without an icon file keeps its old section.
void WriteBarSettings(ProfileWriter& writer, const Settings& settings, const Bounds& bar,
                      const TLaunchData* groupEntries, int groupCount);

// Section "Window": Left, Top, Width, Height, Number.
void WriteWindowSection(ProfileWriter& writer, const Bounds& bounds, int number);

// Erases section "Button" + n of the settings file at once (throws
// WriteError when refused).
void EraseGroupSection(const Settings& settings, int n);

}  // namespace kb
