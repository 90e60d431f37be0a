// The calls a program button makes into the pre-launch backup.
//
// The program buttons depend on this interface only; the backup schedule
// implements it.  Until that schedule exists the launcher runs with
// NoBackupChain, which keeps no backup settings and never starts a backup.
#pragma once

#include <string>

namespace kb {

class BackupHooks {
 public:
  virtual ~BackupHooks() = default;
  // Makes the settings of `section` the current backup settings (called first
  // whenever a mouse button is released over a program button).
  virtual void LoadBackupSettings(const std::string& section) = 0;
  // Counts a launch of a program whose DoBackUp is set; starts a backup when
  // one is due and writes the section back.
  virtual void CountDownBackup(const std::string& section) = 0;
  // Writes the current backup settings into `section` (or erases it).
  virtual void SaveBackupSettings(const std::string& section) = 0;
};

// The launcher without a backup schedule: no settings are read or written and
// no backup ever runs.
class NoBackupChain final : public BackupHooks {
 public:
  void LoadBackupSettings(const std::string&) override {}
  void CountDownBackup(const std::string&) override {}
  void SaveBackupSettings(const std::string&) override {}
};

// The section of program button `button` in group `group`:
// "binf" + (group * 100 + button), e.g. group 3, button 12 -> "binf312".
inline std::string BackupSectionName(int group, int button) {
  return "binf" + std::to_string(group * 100 + button);
}

}  // namespace kb
