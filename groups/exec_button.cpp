#include "groups/exec_button.h"

#include <stdexcept>

#include "backup/backup_hooks.h"
#include "backup/file_copy.h"
#include "common/file_io.h"
#include "common/path.h"
#include "groups/entry_rules.h"
#include "groups/sub_form.h"
#include "launcher/app.h"
#include "win/hints.h"
#include "win/shell.h"

namespace kb {

TExecButton::TExecButton(TSubForm& form, App& app, int tag) : form_(form), app_(app), tag_(tag) {}

TExecButton::~TExecButton() {
  // The window goes first: it must never paint a freed glyph.
  Destroy();
  SetGlyph(nullptr);
  if (glyphBitmap_) DeleteObject(glyphBitmap_);
}

void TExecButton::Create(HWND parent, int x, int y) {
  glyphBitmap_ = win::CreateBlankGlyph();
  if (!glyphBitmap_ || !GlyphButton::Create(parent, x, y, kSize, kSize, tag_)) {
    throw std::runtime_error(Name() + " を作成できません");
  }
  DragAcceptFiles(hwnd(), TRUE);
  KeepFields = false;
  SetCaption("");
  SetGlyph(glyphBitmap_, 1, false);
}

void TExecButton::GlyphChanged() {
  if (Glyph() != glyphBitmap_) {
    SetGlyph(glyphBitmap_, 1, false);  // invalidates
  } else if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
}

void TExecButton::SetHint(const std::string& sjisText) { hint_ = sjisText; }

// The tool tip learns a changed text when the pointer first moves over the
// button, well before it shows the hint; a group switch then only copies
// strings instead of updating forty tools.
void TExecButton::ApplyHint() {
  if (hwnd() && hint_ != appliedHint_) {
    win::SetHint(hwnd(), hint_);
    appliedHint_ = hint_;
  }
}

HICON TExecButton::IconFor() {
  // A pasted record keeps its icon source.  A new file takes its own icon:
  // the record may still describe the program the slot held before.
  if (KeepFields) {
    const std::string& source = Entry.IconFile.empty() ? Entry.FPFileName : Entry.IconFile;
    if (!source.empty()) {
      if (HICON icon = win::ExtractIconFrom(source, Entry.IconIndex)) return icon;
    }
  }
  return nullptr;
}

void TExecButton::SetFromFile(const std::string& path) {
  win::OwnedIcon extracted(IconFor());
  std::optional<win::ShellFileInfo> info = win::QueryShellFileInfo(path);
  win::OwnedIcon shellIcon(info ? info->icon : nullptr);
  if (!KeepFields) Entry.ShowName = info ? info->displayName : std::string();
  if (IsShortcutPath(path)) {
    ResolveShortcut(path);
  } else if (!KeepFields) {
    ApplyFileToRecord(Entry, path);
  }
  SetIconGlyph(extracted.get() ? extracted.get() : shellIcon.get());
  SetHint(Entry.ShowName);
  win::EnableHints(GetAncestor(hwnd(), GA_ROOT), true);
}

bool TExecButton::ResolveShortcut(const std::string& path) {
  const std::optional<win::ShortcutTarget> target = form_.Shell().ResolveLink(hwnd(), path);
  if (!target) return false;
  Entry.FPFileName = target->path;
  Entry.ExecOption = target->showCmd;
  Entry.WorkingDir = target->workingDir;
  return target->workingDirRead;
}

void TExecButton::SetIconGlyph(HICON icon) {
  if (icon) win::DrawIconGlyph(glyphBitmap_, icon);
  GlyphChanged();
  app_.Icons.CopyToCell(glyphBitmap_, tag_, app_.CurrentGroup - 1);
}

void TExecButton::MouseUp(win::MouseButton button, WPARAM keys, int, int) {
  if (form_.ShownGroup() == 0) return;
  // The buttons act on the group they show, whatever group button was used
  // last (a right click on another group leaves this window open).
  app_.CurrentGroup = static_cast<uint8_t>(form_.ShownGroup());
  app_.CurrentButton = static_cast<uint8_t>(tag_);
  form_.Backup().LoadBackupSettings(BackupSectionName(app_.CurrentGroup, tag_));
  if (button == win::MouseButton::Left) {
    LeftClick(keys);
  } else if (button == win::MouseButton::Right && form_.OnRegister) {
    form_.OnRegister(tag_);
  }
}

void TExecButton::LeftClick(WPARAM keys) {
  if (form_.CopyPending) {
    form_.CopyPending = false;
    form_.PasteEntry(tag_);
    form_.Entries.At(app_.CurrentGroup, tag_) = Entry;
    form_.SetCopyCursor(false);
  } else if (keys & MK_SHIFT) {
    form_.CopiedEntry = Entry;
    form_.CopyPending = true;
    form_.SetCopyCursor(true);
  } else {
    Launch();
  }
}

void TExecButton::Launch() {
  if (Entry.DoBackUp) {
    form_.Backup().CountDownBackup(BackupSectionName(app_.CurrentGroup, tag_));
  }
  form_.Shell().Open(hwnd(), Entry.FPFileName, "", Entry.WorkingDir, Entry.ExecOption);
  if (app_.settings.ExecHide) form_.HideWindow();
}

void TExecButton::FilesDropped(HDROP drop) {
  win::DropHandle guard(drop);
  if (form_.ShownGroup() == 0) return;
  app_.CurrentGroup = static_cast<uint8_t>(form_.ShownGroup());
  app_.CurrentButton = static_cast<uint8_t>(tag_);
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(form_.hwnd());
  if (Entry.FPFileName.empty()) {
    const std::string name = win::DroppedName(drop, 0);
    SetFromFile(name);
    guard.Finish();
    form_.Entries.At(app_.CurrentGroup, tag_) = Entry;
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

LRESULT TExecButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DROPFILES) {
    FilesDropped(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (msg == WM_MOUSEMOVE) ApplyHint();
  return GlyphButton::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
