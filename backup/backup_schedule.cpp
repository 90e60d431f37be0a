#include "backup/backup_schedule.h"

#include "backup/backup_worker.h"
#include "backup/bkup_dlg.h"
#include "common/profile.h"
#include "model/backup_command.h"
#include "model/backup_settings.h"

namespace kb {

BackupSchedule::BackupSchedule(TBKUPDlg& dialog, std::string exeDir,
                               std::function<bool()> lateBackup, BackupWorkers& workers)
    : dialog_(dialog),
      exeDir_(std::move(exeDir)),
      lateBackup_(std::move(lateBackup)),
      workers_(workers) {}

void BackupSchedule::LoadBackupSettings(const std::string& section) {
  const ProfileReader reader(PrepareBackupSettingsPath(exeDir_));
  dialog_.Load(ReadBackupSettings(reader, section));
}

void BackupSchedule::SaveBackupSettings(const std::string& section) {
  BackupSettings settings = dialog_.Current();
  const size_t listed = settings.targets.size();
  ProfileWriter writer(PrepareBackupSettingsPath(exeDir_));
  SaveBackupSection(writer, section, settings);
  // Targets too short to keep leave the dialog's list as well.
  if (settings.targets.size() != listed) dialog_.SetTargets(settings.targets);
  try {
    writer.Commit();
  } catch (const WriteError&) {
    // The backup settings are saved silently: a launch or a registration
    // goes on even when the file cannot be written.
  }
}

void BackupSchedule::CountDownBackup(const std::string& section) {
  BackupSettings settings = dialog_.Current();
  if (CountDown(settings)) {
    workers_.Start(MakeBackupJob(settings, lateBackup_ && lateBackup_()));
  }
  dialog_.Next = settings.Next;
  SaveBackupSettings(section);
}

}  // namespace kb
