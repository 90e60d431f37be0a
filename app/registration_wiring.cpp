#include "app/registration_wiring.h"

#include "groups/backup_hooks.h"
#include "groups/edit_window.h"
#include "app/group_actions.h"
#include "app/app.h"
#include "groups/registration_flow.h"
#include "groups/sub_form.h"
#include "launcher/group_button.h"
#include "launcher/main_form.h"
#include "win/shell.h"

namespace kb {
namespace {

class ExecButtonSlot : public ProgramSlotEditor {
 public:
  // Slot n of group g, which the window shows.
  ExecButtonSlot(TSubForm& form, int g, int n)
      : form_(form), button_(form.Buttons(n)), g_(g), n_(n) {}

  TLaunchData& Record() override { return button_.Entry; }
  void SaveBackupSettings() override {
    form_.Backup().SaveBackupSettings(BackupSectionName(g_, n_));
  }
  void BlankGlyph() override { win::FillGlyph(button_.GlyphBitmap()); }
  void SetIconGlyph(HICON icon) override { button_.SetIconGlyph(icon); }
  void SetHint(const std::string& sjisText) override { button_.SetHint(sjisText); }
  void StoreEntry() override { form_.Entries.At(g_, n_) = button_.Entry; }
  void EraseEntry() override { form_.EraseEntry(g_, n_); }

 private:
  TSubForm& form_;
  TExecButton& button_;
  int g_;
  int n_;
};

class GroupButtonEditor : public GroupEditor {
 public:
  GroupButtonEditor(App& app, TSubForm& form, TGroupButton& button)
      : app_(app), form_(form), button_(button) {}

  TLaunchData& Record() override { return button_.Entry; }
  void ClearGroup() override;
  void RefreshGlyph() override { button_.RefreshGlyph(); }
  void EraseGroupSection() override { kb::EraseGroupSection(app_.settings, button_.Tag()); }

 private:
  App& app_;
  TSubForm& form_;
  TGroupButton& button_;
};

void GroupButtonEditor::ClearGroup() {
  const int group = button_.Tag();
  GroupClearing clearing;
  clearing.owner = app_.HasMainForm() ? app_.MainForm().hwnd() : nullptr;
  clearing.group = group;
  clearing.listCount = app_.settings.ListCount;
  clearing.entries = &form_.Entries;
  clearing.settingsPath = app_.settings.SettingsPath;
  // The program buttons show this group only when the window shows it; slots
  // beyond the window's last button have no button, only their record.
  clearing.clearButton = [this, group](int s) {
    if (form_.ShownGroup() != group || s > form_.CreatedCount()) return;
    TExecButton& slot = form_.Buttons(s);
    slot.Entry = TLaunchData{};
    slot.SetHint("");
    win::FillGlyph(slot.GlyphBitmap());
    slot.GlyphChanged();
  };
  clearing.blankStoreCell = [this, group](int s) { app_.Icons.FillCellWithFace(s, group - 1); };
  clearing.hideGroupWindow = [this] { form_.HideWindow(); };
  kb::ClearGroup(clearing);
}

}  // namespace

int RegisterProgramButton(TEditWindow& dialog, TSubForm& form, int n) {
  ExecButtonSlot slot(form, form.ShownGroup(), n);
  return EditProgramSlot(dialog, slot);
}

int RegisterGroupButton(TEditWindow& dialog, App& app, TSubForm& form, TGroupButton& button) {
  app.EditGroup = static_cast<uint8_t>(button.Tag());
  GroupButtonEditor editor(app, form, button);
  return EditGroupRegistration(dialog, editor);
}

void ConnectRegistration(TEditWindow& dialog, App& app, TSubForm& form) {
  form.OnRegister = [&dialog, &form](int n) { RegisterProgramButton(dialog, form, n); };
  form.OnRegisterGroup = [&dialog, &app, &form](int tag) {
    if (TGroupButton* button = app.MainForm().GroupButton(tag)) {
      RegisterGroupButton(dialog, app, form, *button);
    }
  };
}

}  // namespace kb
