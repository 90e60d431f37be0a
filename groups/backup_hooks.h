// The calls a program button makes into the pre-launch backup.
//
// The program buttons depend on this interface only; the backup subsystem
// implements it and the application hands it to the group window
// (TSubForm::SetBackupHooks).  Without one the group window uses
// NoBackupChain, which keeps no backup settings and never starts a backup.
#pragma once

#include <string>

#include "model/backup_section.h"

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

}  // namespace kb
