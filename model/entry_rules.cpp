#include "model/entry_rules.h"

#include "common/path.h"

namespace kb {

void ApplyFileToRecord(TLaunchData& record, const std::string& path) {
  record.FPFileName = path;
  record.WorkingDir = std::string(FolderPart(path));
  record.ShowName = std::string(WithoutExtension(FilePart(path)));
  record.IconFile = path;
  record.IconIndex = 0;
  record.ExecOption = 1;
}

bool IsShortcutPath(std::string_view path) {
  std::string ext = LowerAscii(std::string(ExtensionOf(path)));
  if (ext.size() > 4) ext.resize(4);
  return ext == ".lnk";
}

std::string JoinDropParameters(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) {
    joined += name;
    joined += '\t';
  }
  if (!joined.empty()) joined.pop_back();
  return joined;
}

bool DroppedNameFits(std::string_view name) { return name.size() < kDroppedNameBuffer; }

bool IsImportableName(std::string_view name) { return name != "." && name != ".."; }

}  // namespace kb
