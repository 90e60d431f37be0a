#include "groups/exec_button.h"

#include "common/file_io.h"
#include "common/path.h"
#include "groups/backup_hooks.h"
#include "groups/sub_form.h"
#include "model/entry_rules.h"
#include "win/file_copy.h"
#include "win/hints.h"
#include "win/icon_store.h"
#include "win/shell.h"

namespace kb {

win::ShellAccess& TExecButton::Shell() { return form_.Shell(); }

void TExecButton::StoreGlyph() {
  form_.Icons().CopyToCell(GlyphBitmap(), Tag(), form_.ShownGroup() - 1);
}

// A pasted record keeps its icon source.  A new file takes its own icon: the
// record may still describe the program the slot held before.
HICON TExecButton::RecordIcon() {
  if (!KeepFields) return nullptr;
  const std::string& source = Entry.IconFile.empty() ? Entry.FPFileName : Entry.IconFile;
  return source.empty() ? nullptr : win::ExtractIconFrom(source, Entry.IconIndex);
}

void TExecButton::SetFromFile(const std::string& path) {
  LaunchButton::SetFromFile(path);
  win::EnableHints(GetAncestor(hwnd(), GA_ROOT), true);
}

void TExecButton::MouseUp(win::MouseButton button, WPARAM keys, int, int) {
  // The buttons act on the group they show, whatever group button was used
  // last (a right click on another group leaves this window open).
  const int group = form_.ShownGroup();
  if (group == 0) return;
  ProgramState& state = form_.State();
  state.CurrentGroup = static_cast<uint8_t>(group);
  state.CurrentButton = static_cast<uint8_t>(Tag());
  form_.Backup().LoadBackupSettings(BackupSectionName(group, Tag()));
  if (button == win::MouseButton::Left) {
    LeftClick(group, keys);
  } else if (button == win::MouseButton::Right && form_.OnRegister) {
    form_.OnRegister(Tag());
  }
}

void TExecButton::LeftClick(int group, WPARAM keys) {
  if (form_.CopyPending) {
    form_.CopyPending = false;
    form_.PasteEntry(Tag());
    form_.Entries.At(group, Tag()) = Entry;
    form_.SetCopyCursor(false);
  } else if (keys & MK_SHIFT) {
    form_.CopiedEntry = Entry;
    form_.CopyPending = true;
    form_.SetCopyCursor(true);
  } else {
    Launch(group);
  }
}

void TExecButton::Launch(int group) {
  if (Entry.DoBackUp) form_.Backup().CountDownBackup(BackupSectionName(group, Tag()));
  form_.Shell().Open(hwnd(), Entry.FPFileName, "", Entry.WorkingDir, Entry.ExecOption);
  if (form_.State().settings.ExecHide) form_.HideWindow();
}

void TExecButton::FilesDropped(HDROP drop) {
  win::DropHandle guard(drop);
  const int group = form_.ShownGroup();
  if (group == 0) return;
  form_.State().CurrentGroup = static_cast<uint8_t>(group);
  form_.State().CurrentButton = static_cast<uint8_t>(Tag());
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(form_.hwnd());
  if (Entry.FPFileName.empty()) {
    const std::string name = win::DroppedName(drop, 0);
    SetFromFile(name);
    guard.Finish();
    form_.Entries.At(group, Tag()) = Entry;
  } else if (FolderExists(Entry.FPFileName)) {
    CopyIntoFolder(drop);
    guard.Finish();
  } else {
    const std::string parameters = JoinDropParameters(win::DroppedNames(drop));
    guard.Finish();
    form_.Shell().Open(hwnd(), Entry.FPFileName, parameters, Entry.WorkingDir, Entry.ExecOption);
  }
  if (previous) SetForegroundWindow(previous);
}

void TExecButton::CopyIntoFolder(HDROP drop) {
  const UINT count = win::DroppedCount(drop);
  for (UINT i = 0; i < count; ++i) {
    const std::string name = win::DroppedName(drop, i);
    CopyFileConfirmed(form_.hwnd(), name, JoinPath(Entry.FPFileName, FilePart(name)));
  }
}

// Enter and Space are the glyph button's clicks; the keys that move the
// focus are the window's.  Shift+F10 does what a right click does (the
// context-menu key arrives as WM_CONTEXTMENU).
bool TExecButton::KeyDown(WPARAM key, bool system) {
  if (system && key == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
    RegisterByKeyboard();
    return true;
  }
  return !system && form_.ButtonKey(Tag(), key);
}

void TExecButton::RegisterByKeyboard() {
  RECT rc;
  GetClientRect(hwnd(), &rc);
  MouseUp(win::MouseButton::Right, 0, rc.right / 2, rc.bottom / 2);
}

LRESULT TExecButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DROPFILES:
      FilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CONTEXTMENU:
      // The context-menu key, as the system reports it.
      RegisterByKeyboard();
      return 0;
    case WM_CHAR:
      form_.ButtonCharacter(Tag(), static_cast<wchar_t>(wParam));
      return 0;
    default:
      break;
  }
  return LaunchButton::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
