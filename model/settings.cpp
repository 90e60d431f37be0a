#include "model/settings.h"

#include "common/file_io.h"
#include "common/identity.h"
#include "common/path.h"
#include "common/profile.h"
#include "common/values.h"

namespace kb {

namespace {

constexpr const char* kInfo = "Info";
constexpr const char* kMonitorKey = "Monitor";
constexpr const char* kHotKeyKey = "HotKey";

// The Boolean keys of "Info" in the order they are read and saved after the
// edge and group/list counts.
struct BoolKey {
  const char* key;
  bool Settings::*member;
};
constexpr BoolKey kFirstFlags[] = {
    {"AutoHide", &Settings::AutoHide},
    {"ExecHide", &Settings::ExecHide},
    {"NotActiveHide", &Settings::NotActiveHide},
};
constexpr BoolKey kLaterFlags[] = {
    {"StayonTop", &Settings::StayonTop},
    {"SaverPause", &Settings::SaverPause},
    {"MouseOnActive", &Settings::MouseOnActive},
};

}  // namespace

std::string DataFilePath(const std::string& exeDir, std::string_view fileName) {
  return JoinPath(JoinPath(exeDir, kDataFolderName), fileName);
}

std::string SettingsPathFor(const std::string& exeDir) { return DataFilePath(exeDir, "KBINI.dat"); }

std::string IconStorePathFor(const std::string& exeDir) {
  return DataFilePath(exeDir, "Iconbmp.dat");
}

Settings LoadSettings(const std::string& exeDir) {
  return LoadSettings(exeDir, ProfileReader(SettingsPathFor(exeDir)));
}

Settings LoadSettings(const std::string& exeDir, const ProfileReader& file) {
  Settings s;
  s.SettingsPath = SettingsPathFor(exeDir);
  s.Type = ToByte(file.ReadInteger(kInfo, "Type", 1));
  // Only the four edges exist; anything else puts the bar at the bottom, and
  // the corrected value is what gets saved.
  if (s.Type > 3) s.Type = 2;
  for (const BoolKey& k : kFirstFlags) s.*k.member = file.ReadBool(kInfo, k.key, false);
  s.VersionStamp = std::string(CutToBytes(file.ReadString(kInfo, "Version", ""), kVersionStampBytes));
  s.GroupCount = ToByte(file.ReadInteger("Group", "Number", 10));
  s.ListCount = ToByte(file.ReadInteger("List", "Number", 15));
  for (const BoolKey& k : kLaterFlags) s.*k.member = file.ReadBool(kInfo, k.key, false);
  s.TMaxFileNum = ToByte(file.ReadInteger(kInfo, "TMaxFileNum", 5));
  s.MaxFileLimit = file.ReadBool(kInfo, "MaxFileLimit", false);
  s.LateBU = file.ReadBool(kInfo, "LateBU", false);
  s.OnTray = ToByte(file.ReadInteger(kInfo, "OnTray", 0));
  s.StartUp = file.ReadBool(kInfo, "StartUp", false);
  s.Monitor = file.ReadString(kInfo, kMonitorKey, "");
  s.HotKey = file.ReadString(kInfo, kHotKeyKey, "");
  ApplyListCountRule(s);
  return s;
}

void ApplyListCountRule(Settings& settings) {
  if (settings.MaxFileLimit && settings.TMaxFileNum > settings.ListCount) {
    settings.ListCount = settings.TMaxFileNum;
  }
}

void PrepareSettingsFolder(const Settings& settings) {
  const std::string folder = FolderPart(settings.SettingsPath);
  if (!folder.empty() && !FolderExists(folder)) CreateFolder(folder);
}

void WriteWindowSection(ProfileWriter& writer, const Bounds& bounds, int number) {
  writer.WriteInteger("Window", "Left", bounds.left);
  writer.WriteInteger("Window", "Top", bounds.top);
  writer.WriteInteger("Window", "Width", bounds.width);
  writer.WriteInteger("Window", "Height", bounds.height);
  writer.WriteInteger("Window", "Number", number);
}

void WriteBarSettings(ProfileWriter& writer, const Settings& s, const Bounds& bar,
                      const TLaunchData* groupEntries, int groupCount) {
  WriteWindowSection(writer, bar, s.GroupCount);
  writer.WriteInteger(kInfo, "Type", s.Type);
  for (const BoolKey& k : kFirstFlags) writer.WriteBool(kInfo, k.key, s.*k.member);
  writer.WriteString(kInfo, "Version", s.VersionStamp);
  writer.WriteInteger("Group", "Number", s.GroupCount);
  writer.WriteInteger("List", "Number", s.ListCount);
  for (const BoolKey& k : kLaterFlags) writer.WriteBool(kInfo, k.key, s.*k.member);
  writer.WriteInteger(kInfo, "TMaxFileNum", s.TMaxFileNum);
  writer.WriteBool(kInfo, "MaxFileLimit", s.MaxFileLimit);
  writer.WriteBool(kInfo, "LateBU", s.LateBU);
  writer.WriteInteger(kInfo, "OnTray", s.OnTray);
  writer.WriteBool(kInfo, "StartUp", s.StartUp);
  // A file that never had a monitor chosen stays as other readers wrote it.
  if (!s.Monitor.empty()) writer.WriteString(kInfo, kMonitorKey, s.Monitor);
  if (!s.HotKey.empty()) writer.WriteString(kInfo, kHotKeyKey, s.HotKey);
  for (int n = 1; n <= groupCount; ++n) {
    const TLaunchData& rec = groupEntries[n - 1];
    if (!rec.IconFile.empty()) WriteLaunchData(writer, GroupSectionName(n), rec);
  }
}

void EraseGroupSection(const Settings& settings, int n) {
  EraseProfileSection(settings.SettingsPath, GroupSectionName(n));
}

}  // namespace kb
