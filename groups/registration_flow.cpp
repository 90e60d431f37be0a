#include "groups/registration_flow.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "common/profile.h"
#include "groups/edit_window.h"
#include "model/entry_table.h"
#include "win/message_dlg.h"
#include "win/shell.h"
#include "win/text.h"

namespace kb {
namespace {

constexpr char kClearGroupQuestion[] = "このグループに含まれるファイルをすべて削除しますか？";

// Puts the dialog into group mode and back into program mode on every way
// out, an exception included.
class GroupModeScope {
 public:
  explicit GroupModeScope(TEditWindow& dialog) : dialog_(dialog) { dialog_.SetGroupMode(true); }
  ~GroupModeScope() { dialog_.SetGroupMode(false); }
  GroupModeScope(const GroupModeScope&) = delete;
  GroupModeScope& operator=(const GroupModeScope&) = delete;

 private:
  TEditWindow& dialog_;
};

}  // namespace

void FillEditWindow(TEditWindow& dialog, const TLaunchData& record, bool registered) {
  const TLaunchData empty;
  const TLaunchData& shown = registered ? record : empty;
  dialog.SetFileName(shown.FPFileName);
  dialog.SetWorkingDir(shown.WorkingDir);
  dialog.SetShowName(shown.ShowName);
  dialog.SetIconFile(shown.IconFile);
  dialog.SetIconSelection(shown.IconIndex);
  dialog.SetExecOption(shown.ExecOption);
  dialog.SetBackUp(shown.DoBackUp);
  dialog.InitialIconIndex = shown.IconIndex;
}

void TakeEditWindow(const TEditWindow& dialog, TLaunchData& record) {
  // Taken whole or not at all: a field that cannot be read leaves the
  // record as it was.
  TLaunchData taken = record;
  taken.FPFileName = dialog.FileName();
  taken.WorkingDir = dialog.WorkingDir();
  taken.ShowName = dialog.ShowName();
  taken.IconFile = dialog.IconFile();
  taken.IconIndex = dialog.IconSelection();
  taken.ExecOption = dialog.ExecOption();
  taken.DoBackUp = dialog.BackUp();
  record = std::move(taken);
}

HICON IconOrShellIcon(const std::string& file, int index) {
  if (HICON icon = win::ExtractIconFrom(file, index)) return icon;
  SHFILEINFOW info{};
  // The result decides: on failure the icon field may hold a stale handle.
  if (SHGetFileInfoW(win::Widen(file).c_str(), 0, &info, sizeof info, SHGFI_ICON)) {
    return info.hIcon;
  }
  return nullptr;
}

HICON ProgramRecordIcon(const TLaunchData& record) {
  if (!record.IconFile.empty()) return IconOrShellIcon(record.IconFile, record.IconIndex);
  if (!record.FPFileName.empty()) return IconOrShellIcon(record.FPFileName, record.IconIndex);
  return nullptr;
}

int EditProgramSlot(TEditWindow& dialog, ProgramSlotEditor& slot) {
  TLaunchData& record = slot.Record();
  FillEditWindow(dialog, record, !record.FPFileName.empty());
  const int result = dialog.Execute();
  if (result != win::mrOk) return result;

  // The record changes only once the backup settings are saved: a save
  // that throws leaves the button, the table and the section as they were.
  TLaunchData edited = record;
  TakeEditWindow(dialog, edited);
  slot.SaveBackupSettings();
  record = std::move(edited);
  HICON icon = ProgramRecordIcon(record);
  if (record.IconFile.empty() && record.FPFileName.empty()) slot.BlankGlyph();
  slot.SetIconGlyph(icon);
  if (icon) DestroyIcon(icon);
  slot.SetHint(record.ShowName);
  slot.StoreEntry();
  if (dialog.DeleteRequested()) slot.EraseEntry();
  return result;
}

int EditGroupRegistration(TEditWindow& dialog, GroupEditor& group) {
  GroupModeScope groupMode(dialog);
  TLaunchData& record = group.Record();
  FillEditWindow(dialog, record, !record.IconFile.empty());
  const int result = dialog.Execute();
  if (result != win::mrOk) return result;

  const bool deleted = dialog.DeleteRequested();
  if (deleted) group.ClearGroup();
  TakeEditWindow(dialog, record);
  group.RefreshGlyph();
  if (deleted) group.EraseGroupSection();
  return result;
}

bool ClearGroup(const GroupClearing& clearing) {
  if (win::MessageDlg(clearing.owner, kClearGroupQuestion, win::MsgKind::Confirmation,
                      win::MsgButtons::YesNo) != win::mrYes) {
    return false;
  }
  // Entries has 40 slots per group whatever ListCount says.
  const int slots = std::clamp(clearing.listCount, 0, kMaxSlots);
  std::vector<std::string> stored;  // sections the file has
  {
    const ProfileReader reader(clearing.settingsPath);
    for (int s = 1; s <= slots; ++s) {
      if (reader.SectionExists(SlotSectionName(clearing.group, s))) {
        stored.push_back(SlotSectionName(clearing.group, s));
      }
    }
  }
  for (int s = 1; s <= slots; ++s) {
    if (clearing.entries) clearing.entries->At(clearing.group, s) = TLaunchData{};
    if (clearing.clearButton) clearing.clearButton(s);
    if (clearing.blankStoreCell) clearing.blankStoreCell(s);
  }
  // One write for all the sections, so the file is never left half-cleared;
  // none when there is nothing to erase (a first start has no file yet).
  if (!stored.empty()) {
    ProfileWriter writer(clearing.settingsPath);
    for (const std::string& section : stored) writer.EraseSection(section);
    writer.Commit();
  }
  if (clearing.hideGroupWindow) clearing.hideGroupWindow();
  return true;
}

}  // namespace kb
