#include "app/backup_wiring.h"

#include "backup/backup_schedule.h"
#include "backup/backup_worker.h"
#include "backup/bkup_dlg.h"
#include "backup/lha_library.h"
#include "components/file_drop.h"
#include "components/folder_dialog.h"
#include "groups/edit_window.h"
#include "groups/sub_form.h"
#include "model/program_state.h"

namespace kb {

BackupWiring::BackupWiring(ProgramState& state, HWND owner, std::shared_ptr<LhaLibrary> library,
                           std::shared_ptr<BackupClock> clock)
    : workers_(std::make_unique<BackupWorkers>(std::move(library), std::move(clock))),
      dialog_(std::make_unique<TBKUPDlg>(owner)),
      fileDrop1_(std::make_unique<TFileDrop>(dialog_->hwnd())),
      selectFolderDialog1_(std::make_unique<TSelectFolderDialog>(owner)),
      schedule_(std::make_unique<BackupSchedule>(
          *dialog_, state.ExeDir, [&state] { return state.settings.LateBU; }, *workers_)) {
  fileDrop1_->OnFileDrop = [this](TFileDrop&, int num, const std::vector<std::string>& files,
                                  int x, int y) { dialog_->FileDrop1FileDrop(num, files, x, y); };
  fileDrop1_->SetControl(dialog_->ListCandidate());
  dialog_->SetFolderChooser([this](HWND browserOwner) -> std::optional<std::string> {
    selectFolderDialog1_->SetOwner(browserOwner);
    if (!selectFolderDialog1_->Execute()) return std::nullopt;
    return selectFolderDialog1_->FolderName();
  });
  dialog_->SetFileChooser(&ChooseFileWithDialog);
}

BackupWiring::~BackupWiring() {
  // The dialog is hidden by now; the workers end before anything they share
  // goes, and the backups they could not make stay due.
  schedule_->EndWorkers();
}

void BackupWiring::Connect(TEditWindow& editWindow, TSubForm& form) {
  dialog_->SetWorkingFolderSource([&editWindow] { return editWindow.WorkingDir(); });
  editWindow.SetBackupDialog([this] { dialog_->Execute(); });
  editWindow.SetBackupTargetsClearer([this] { dialog_->ClearTargets(); });
  editWindow.SetBackupFieldsCheck([this] { return dialog_->UnstorableField(); });
  form.SetBackupHooks(this);
}

void BackupWiring::SessionEnds() { schedule_->KeepUnfinishedDue(); }

void BackupWiring::LoadBackupSettings(const std::string& section) {
  schedule_->LoadBackupSettings(section);
}

void BackupWiring::CountDownBackup(const std::string& section) {
  schedule_->CountDownBackup(section);
}

void BackupWiring::SaveBackupSettings(const std::string& section) {
  schedule_->SaveBackupSettings(section);
}

void BackupWiring::ApplyScale(int dpi) { dialog_->ApplyScale(dpi); }

}  // namespace kb
