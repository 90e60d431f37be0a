#include "model/launch_data.h"

#include "common/profile.h"

namespace kb {

TLaunchData ReadLaunchData(const ProfileReader& reader, std::string_view section) {
  TLaunchData rec;
  rec.FPFileName = reader.ReadString(section, "FPFileName", "");
  rec.WorkingDir = reader.ReadString(section, "WorkingDir", "");
  rec.ShowName = reader.ReadString(section, "ShowName", "");
  rec.IconFile = reader.ReadString(section, "IconFile", "");
  rec.IconIndex = reader.ReadInteger(section, "IconIndex", 0);
  rec.ExecOption = reader.ReadInteger(section, "ExecOption", 1);
  rec.DoBackUp = reader.ReadBool(section, "DoBackUp", false);
  return rec;
}

void WriteLaunchData(ProfileWriter& writer, std::string_view section, const TLaunchData& rec) {
  writer.WriteString(section, "FPFileName", rec.FPFileName);
  writer.WriteString(section, "WorkingDir", rec.WorkingDir);
  writer.WriteString(section, "ShowName", rec.ShowName);
  writer.WriteString(section, "IconFile", rec.IconFile);
  writer.WriteInteger(section, "IconIndex", rec.IconIndex);
  writer.WriteInteger(section, "ExecOption", rec.ExecOption);
  writer.WriteBool(section, "DoBackUp", rec.DoBackUp);
}

std::string GroupSectionName(int n) { return "Button" + std::to_string(n); }

std::string SlotSectionName(int g, int s) {
  return "ExButton" + std::to_string(g) + "-" + std::to_string(s);
}

}  // namespace kb
