// What a right click on a program button or a group button does with the
// registration dialog: fill it from the record, show it, and on OK take the
// record back and apply it (icon, hint, table, erasures).  Cancel and
// "更新(&A)" change nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "model/launch_data.h"

namespace kb {

class EntryTable;
class TEditWindow;

// Record → dialog.  Without a registration the four names are emptied, icon
// 0, normal window, no backup.  InitialIconIndex follows the record's icon.
void FillEditWindow(TEditWindow& dialog, const TLaunchData& record, bool registered);

// Dialog → record: the four names, the icon item, the start-up state and the
// backup switch.  Fields the dialog hides keep their values unless
// "登録削除" emptied them.
void TakeEditWindow(const TEditWindow& dialog, TLaunchData& record);

// The icon at `index` of `file`, else the shell's icon of `file`, else
// nullptr.  The caller destroys it.
HICON IconOrShellIcon(const std::string& file, int index);

// The icon a program slot shows after an edit: from IconFile if set, else
// from FPFileName; nullptr when both are empty or neither gives an icon.
HICON ProgramRecordIcon(const TLaunchData& record);

// The program button's side of the flow.
class ProgramSlotEditor {
 public:
  virtual ~ProgramSlotEditor() = default;
  virtual TLaunchData& Record() = 0;
  // SaveBackupSettings with the slot's backup section.
  virtual void SaveBackupSettings() = 0;
  // The glyph becomes a new plain button-face bitmap (the slot has no names).
  virtual void BlankGlyph() = 0;
  // Draws the icon into the glyph (nullptr: the glyph keeps its image) and
  // copies the glyph into the slot's icon store cell.
  virtual void SetIconGlyph(HICON icon) = 0;
  virtual void SetHint(const std::string& sjisText) = 0;
  // Entries[CurrentGroup][CurrentButton] := Record().
  virtual void StoreEntry() = 0;
  // Erases the slot's section of the settings file at once.
  virtual void EraseEntry() = 0;
};

// Program registration; returns the dialog's modal result.
int EditProgramSlot(TEditWindow& dialog, ProgramSlotEditor& slot);

// The group button's side of the flow.
class GroupEditor {
 public:
  virtual ~GroupEditor() = default;
  virtual TLaunchData& Record() = 0;
  // Asks whether the group's programs go too, and empties them on yes.
  virtual void ClearGroup() = 0;
  // Rebuilds the glyph and the hint from the record.
  virtual void RefreshGlyph() = 0;
  // Erases the group's section of the settings file at once.
  virtual void EraseGroupSection() = 0;
};

// Group registration: the dialog in group mode; whatever the result, it is
// back in program mode afterwards.  Returns the modal result.
int EditGroupRegistration(TEditWindow& dialog, GroupEditor& group);

// ClearGroup: what emptying a group's program slots touches.
struct GroupClearing {
  HWND owner = nullptr;          // of the question
  int group = 0;                 // CurrentGroup
  int listCount = 0;             // slots 1..listCount (at most 40)
  EntryTable* entries = nullptr;
  std::string settingsPath;      // the settings file whose sections go
  // The group window's program button `slot` gets an empty record, when the
  // window has such a button.
  std::function<void(int slot)> clearButton;
  // Icon store cell (slot, group - 1) becomes plain button face.
  std::function<void(int slot)> blankStoreCell;
  std::function<void()> hideGroupWindow;
};

// Asks "このグループに含まれるファイルをすべて削除しますか？"; on yes empties
// every slot in memory, erases their sections from the settings file in one
// write, and hides the group window.  Returns whether it cleared.
bool ClearGroup(const GroupClearing& clearing);

}  // namespace kb
