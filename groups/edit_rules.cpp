#include "groups/edit_rules.h"

namespace kb {
namespace {

// Shift-JIS lead bytes; the byte after one is always part of the same
// character, whatever its value ('\\' and '|' included).
bool IsSjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

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
    const unsigned char c = static_cast<unsigned char>(filter[i]);
    if (IsSjisLead(c) && i + 1 < filter.size()) {
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
  size_t folderEnd = std::string_view::npos;  // index of the last separator
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsSjisLead(c)) {
      ++i;
    } else if (c == '\\') {
      folderEnd = i;
    }
  }
  if (folderEnd == std::string_view::npos) return {};
  std::string folder(path.substr(0, folderEnd));
  // "C:" alone would mean the drive's current folder, not its root.
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

}  // namespace kb
