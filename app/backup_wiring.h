// The pre-launch backup as the launcher puts it together: the backup target
// dialog (created fourth at start-up) with its file drop target on the
// target list and its folder browser, the schedule the program buttons call
// (BackupHooks), and the workers with the archiver library.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "groups/backup_hooks.h"

namespace kb {

class BackupSchedule;
class BackupWorkers;
class BackupClock;
class LhaLibrary;
class TBKUPDlg;
class TEditWindow;
class TFileDrop;
class TSelectFolderDialog;
class TSubForm;
struct ProgramState;

class BackupWiring : public BackupHooks {
 public:
  // Creates the dialog (hidden, owned by `owner`) and its components.
  BackupWiring(ProgramState& state, HWND owner, std::shared_ptr<LhaLibrary> library,
               std::shared_ptr<BackupClock> clock);
  // Ends the workers the launcher's way, then closes the dialog: a worker
  // still waiting for its late start is dropped, a copying one gets a few
  // seconds and is then stopped between two blocks; the countdown of each
  // backup not made is left as it was before its launch, so the next launch
  // makes it.
  ~BackupWiring() override;

  // The registration dialog's backup button opens the dialog, whose default
  // folder and file dialog start from the working folder being edited; a
  // confirmed deletion empties the target list.  The program buttons of the
  // group window call this schedule.
  void Connect(TEditWindow& editWindow, TSubForm& form);

  TBKUPDlg& Dialog() { return *dialog_; }
  // Lays the backup target dialog out at the bar's scale.
  void ApplyScale(int dpi);
  BackupWorkers& Workers() { return *workers_; }
  TFileDrop& FileDrop1() { return *fileDrop1_; }
  TSelectFolderDialog& SelectFolderDialog1() { return *selectFolderDialog1_; }

  // The Windows session ends: the backups not made so far stay due.
  void SessionEnds();

  void LoadBackupSettings(const std::string& section) override;
  void CountDownBackup(const std::string& section) override;
  void SaveBackupSettings(const std::string& section) override;

 private:
  std::unique_ptr<BackupWorkers> workers_;
  std::unique_ptr<TBKUPDlg> dialog_;
  std::unique_ptr<TFileDrop> fileDrop1_;
  std::unique_ptr<TSelectFolderDialog> selectFolderDialog1_;
  std::unique_ptr<BackupSchedule> schedule_;
};

}  // namespace kb
