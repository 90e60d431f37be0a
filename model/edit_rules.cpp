#include "model/edit_rules.h"

#include "common/path.h"

namespace kb {

int ExecOptionItem(int32_t execOption) {
  switch (execOption) {
    case 0: case 1: case 2: case 3: case 4:
      return execOption;
    case 6:   // SW_MINIMIZE
    case 7:   // SW_SHOWMINNOACTIVE
    case 11:  // SW_FORCEMINIMIZE
      return 2;
    case 8:   // SW_SHOWNA
      return 4;
    default:  // SW_SHOW, SW_RESTORE, SW_SHOWDEFAULT and anything unknown
      return kDefaultExecItem;
  }
}

int32_t ExecOptionFromChoice(int selection, std::string_view typedText, int lastItem) {
  const int count = static_cast<int>(kExecOptionItems.size());
  if (selection >= 0 && selection < count) return selection;
  for (int i = 0; i < count; ++i) {
    if (typedText == kExecOptionItems[i]) return i;
  }
  return lastItem >= 0 && lastItem < count ? lastItem : kDefaultExecItem;
}

int IconItemToSelect(int initialIndex, int iconCount) {
  return initialIndex >= 0 && initialIndex < iconCount ? initialIndex : 0;
}

int IconListPercent(int k, int n) { return n > 0 ? k * 100 / n : 0; }

std::vector<std::string> SplitFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < filter.size(); ++i) {
    // The byte after a lead byte belongs to the same character, whatever
    // its value ('|' included).
    const unsigned char c = static_cast<unsigned char>(filter[i]);
    if (IsLeadByte(c) && i + 1 < filter.size()) {
      current += filter[i];
      current += filter[++i];
    } else if (c == '|') {
      parts.push_back(std::move(current));
      current.clear();
    } else {
      current += filter[i];
    }
  }
  parts.push_back(std::move(current));
  return parts;
}

std::string InitialFolder(std::string_view path) {
  std::string folder = FolderPart(path);
  if (!folder.empty()) folder.pop_back();  // FolderPart ends with a real backslash
  // "C:" alone would mean the drive's current folder, not its root.
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

}  // namespace kb
