// The backup schedule: what a program button asks of the pre-launch backup.
// At every release of a button the backup settings of its position are
// loaded into the backup target dialog; after the registration dialog's OK
// they are saved from it; a left-click launch of a program with backup on
// counts down and, when a backup is due, starts a worker with a copy of them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kb {

class BackupWorkers;
struct BackupOrigin;
class TBKUPDlg;

class BackupSchedule {
 public:
  // `lateBackup` reads the setting LateBU when a backup starts.
  BackupSchedule(TBKUPDlg& dialog, std::string exeDir, std::function<bool()> lateBackup,
                 BackupWorkers& workers);

  // Replaces the dialog's settings with those of `section` in BUInfo.dat.
  void LoadBackupSettings(const std::string& section);
  // Writes the dialog's settings into `section`, or erases the section when
  // the target list is empty.  A refused write is not reported.
  void SaveBackupSettings(const std::string& section);
  // One launch: counts down, starts a backup when one is due, saves.
  void CountDownBackup(const std::string& section);

  // The launcher closes: ends the workers (BackupWorkers::Shutdown) and
  // gives each backup they did not make its countdown from before its
  // launch back, so the next launch makes it.  A section erased meanwhile
  // stays erased.
  void EndWorkers();
  // The Windows session ends, which will end the process without a close:
  // the backups not made so far keep their countdowns from before their
  // launches (the workers go on while they can).
  void KeepUnfinishedDue();

 private:
  // Writes each origin's countdown back into its section, if it still is.
  void KeepDue(const std::vector<BackupOrigin>& unmade);

  TBKUPDlg& dialog_;
  std::string exeDir_;
  std::function<bool()> lateBackup_;
  BackupWorkers& workers_;
};

}  // namespace kb
