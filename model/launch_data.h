// The record of one launchable item, shared by group buttons and program
// buttons, and its section in the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kb {

class ProfileReader;
class ProfileWriter;

inline constexpr int kMaxGroups = 40;
inline constexpr int kMaxSlots = 40;

// The button's glyph is not part of the record: each button owns its glyph
// bitmap, so copying a record never touches a bitmap.
struct TLaunchData {
  std::string FPFileName;
  std::string WorkingDir;
  std::string ShowName;
  std::string IconFile;
  int32_t IconIndex = 0;
  int32_t ExecOption = 1;  // show command: 0 hide … 4 show without activating
  bool DoBackUp = false;

  bool operator==(const TLaunchData&) const = default;
};

// Reads the seven keys of section; missing keys give the defaults above.
TLaunchData ReadLaunchData(const ProfileReader& reader, std::string_view section);

// Writes the seven keys in their fixed order: FPFileName, WorkingDir,
// ShowName, IconFile, IconIndex, ExecOption, DoBackUp.
void WriteLaunchData(ProfileWriter& writer, std::string_view section, const TLaunchData& rec);

// "Button" + n, "ExButton" + g + "-" + s; decimal without padding.
std::string GroupSectionName(int n);
std::string SlotSectionName(int g, int s);

}  // namespace kb
