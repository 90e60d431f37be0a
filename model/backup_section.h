// Where the backup settings of one program slot live in the backup file.
#pragma once

#include <string>

namespace kb {

// The section of program button `button` in group `group`:
// "binf" + (group * 100 + button), e.g. group 3, button 12 -> "binf312".
inline std::string BackupSectionName(int group, int button) {
  return "binf" + std::to_string(group * 100 + button);
}

}  // namespace kb
