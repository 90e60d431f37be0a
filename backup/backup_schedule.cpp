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
  // An empty list erases the section whatever the other fields hold, so
  // they are not read then.
  BackupSettings settings = dialog_.HasTargets() ? dialog_.Current() : BackupSettings{};
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
  const int32_t before = settings.Next;
  if (CountDown(settings)) {
    workers_.Start(MakeBackupJob(settings, lateBackup_ && lateBackup_()), {section, before});
  }
  dialog_.Next = settings.Next;
  SaveBackupSettings(section);
}

void BackupSchedule::EndWorkers() { KeepDue(workers_.Shutdown()); }

void BackupSchedule::KeepUnfinishedDue() { KeepDue(workers_.Unfinished()); }

void BackupSchedule::KeepDue(const std::vector<BackupOrigin>& unmade) {
  if (unmade.empty()) return;
  const std::string path = PrepareBackupSettingsPath(exeDir_);
  const ProfileReader reader(path);
  ProfileWriter writer(path);
  bool changed = false;
  for (const BackupOrigin& origin : unmade) {
    // Only where settings still are: a countdown alone would make a
    // section of nothing to back up.
    if (origin.section.empty() || !reader.SectionExists(origin.section)) continue;
    WriteBackupCountdown(writer, origin.section, origin.next);
    changed = true;
  }
  if (!changed) return;
  try {
    writer.Commit();
  } catch (const WriteError&) {
    // As every save of the backup settings: silent.
  }
}

}  // namespace kb
