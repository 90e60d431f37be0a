#include "app/group_actions.h"

#include <algorithm>

#include "common/file_io.h"
#include "common/path.h"
#include "app/app.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "model/entry_rules.h"
#include "model/keyboard_nav.h"
#include "win/message_dlg.h"
#include "win/shell.h"
#include "win/text.h"

namespace kb {

namespace {

bool Ask(App& app, const std::string& text) {
  return win::MessageDlg(app.MainForm().hwnd(), text, win::MsgKind::Confirmation,
                         win::MsgButtons::YesNo) == win::mrYes;
}

void Inform(App& app, const std::string& text) {
  win::MessageDlg(app.MainForm().hwnd(), text, win::MsgKind::Information, win::MsgButtons::Ok);
}

void LeftClick(App& app, TGroupButton& button, WPARAM keys) {
  TSubForm& form = app.SubForm();
  if (app.GroupCopyPending) {
    app.GroupCopyPending = false;
    PasteGroupEntry(app, button.Tag());
    button.RefreshGlyph();
    SetGroupCopyCursor(app, false);
    if (Ask(app, kCopyGroupQuestion)) CopyGroupEntries(app, button, button.Tag());
  } else if (keys & MK_SHIFT) {
    app.CopiedGroupEntry = button.Entry;
    app.CopySourceGroup = static_cast<uint8_t>(button.Tag());
    app.GroupCopyPending = true;
    SetGroupCopyCursor(app, true);
  } else if (form.Visible() && app.OpenGroup == button.Tag()) {
    form.HideWindow();
    app.OpenGroup = 0;
  } else {
    OpenGroupWindow(app, button);
  }
}

}  // namespace

void GroupButtonMouseUp(App& app, TGroupButton& button, win::MouseButton which, WPARAM keys) {
  app.CurrentGroup = static_cast<uint8_t>(button.Tag());
  app.CurrentButton = 0;
  if (which == win::MouseButton::Left) {
    LeftClick(app, button, keys);
  } else if (which == win::MouseButton::Right && app.SubForm().OnRegisterGroup) {
    app.SubForm().OnRegisterGroup(button.Tag());
  }
}

void OpenGroupWindow(App& app, TGroupButton& button) {
  // The first start's note has said its part once a group opens, and the
  // group window would run under it.
  app.CloseStartNote();
  TSubForm& form = app.SubForm();
  form.ShowGroup(button.Tag());
  form.SetGroupName(button.Entry.ShowName);
  const RECT r = button.Bounds();
  form.ShowBeside(r.left, r.top);
  app.OpenGroup = static_cast<uint8_t>(button.Tag());
}

void GroupButtonActions::GroupButtonOpen(TGroupButton& button) {
  app_.CurrentGroup = static_cast<uint8_t>(button.Tag());
  app_.CurrentButton = 0;
  OpenGroupWindow(app_, button);
}

bool OpenGroupWindowByKeyboard(App& app, HWND returnFocusTo) {
  if (!app.HasMainForm() || !app.HasSubForm() || !app.MainForm().OpenLastGroup()) return false;
  app.SubForm().ShowForKeyboard(returnFocusTo);
  return true;
}

void StepGroupByKeyboard(App& app, int delta) {
  TMainForm& bar = app.MainForm();
  const int count = std::min<int>(app.settings.GroupCount, bar.CreatedGroupButtons());
  const int target = StepWrapped(app.SubForm().ShownGroup(), delta, count);
  TGroupButton* button = bar.GroupButton(target);
  if (!button) return;
  TSubForm& form = app.SubForm();
  const int focused = form.FocusedButton();
  bar.RevealGroupButton(target);
  app.CurrentGroup = static_cast<uint8_t>(target);
  app.CurrentButton = 0;
  OpenGroupWindow(app, *button);
  if (focused != 0) form.FocusButton(focused);
}

void GroupButtonFilesDropped(App& app, TGroupButton& button, HDROP drop) {
  win::DropHandle guard(drop);
  app.CurrentGroup = static_cast<uint8_t>(button.Tag());
  app.CurrentButton = 0;
  HWND previous = GetForegroundWindow();
  SetForegroundWindow(app.MainForm().hwnd());
  if (!button.Entry.FPFileName.empty()) {
    Inform(app, kGroupNotEmptyText);
  } else {
    const std::string name = win::DroppedName(drop, 0);
    if (FolderExists(name)) ImportFolder(app, button, name);
    button.SetFromFile(name);
  }
  if (!app.settings.StayonTop && previous) SetForegroundWindow(previous);
}

void PasteGroupEntry(App& app, int k) {
  if (TGroupButton* target = app.MainForm().GroupButton(k)) target->Entry = app.CopiedGroupEntry;
}

void CopyGroupEntries(App& app, TGroupButton& button, int target) {
  const int source = app.CopySourceGroup;
  if (source < 1 || source > kMaxGroups) return;
  const int count = std::min<int>(app.settings.ListCount, kMaxSlots);
  TSubForm& form = app.SubForm();
  form.Entries.CopyGroupRow(source, target, count);
  for (int s = 1; s <= count; ++s) app.Icons.CopyCell(s, source - 1, s, target - 1);
  if (form.Visible()) {
    form.HideWindow();
    OpenGroupWindow(app, button);
  }
}

// Slots are filled through the group window's buttons, so only slots that
// have a button (and lie within ListCount) can take a file; a folder with
// more entries than that gets the too-many message.  The buttons are loaded
// with the dropped group first and given back to the group they showed, so
// no record of one group ends in another group's slot.
void ImportFolder(App& app, TGroupButton& button, const std::string& folder) {
  if (!Ask(app, kImportFolderQuestion)) return;
  TSubForm& form = app.SubForm();
  const int group = button.Tag();
  const int limit = std::min({static_cast<int>(app.settings.ListCount), form.ButtonCount(), kMaxSlots});
  const int shown = form.ShownGroup();
  form.ShowGroup(group);
  app.CurrentButton = 0;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(win::Widen(JoinPath(folder, "*.*")).c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    try {
      do {
        const std::string name = win::NarrowOrThrow(found.cFileName);
        if (!IsImportableName(name)) continue;
        if (app.CurrentButton + 1 > limit) {
          Inform(app, kTooManyFilesText);
          break;
        }
        ++app.CurrentButton;
        TExecButton& slot = form.Buttons(app.CurrentButton);
        slot.SetFromFile(JoinPath(folder, name));
        form.Entries.At(group, app.CurrentButton) = slot.Entry;
      } while (FindNextFileW(search, &found));
    } catch (...) {
      FindClose(search);
      throw;
    }
    FindClose(search);
  }
  if (shown != 0 && shown != group) form.ShowGroup(shown);
}

void SetGroupCopyCursor(App& app, bool dragging) {
  HCURSOR cursor = dragging ? win::GlyphButton::DragCursor() : nullptr;
  TMainForm& bar = app.MainForm();
  for (int k = 1; k <= kMaxGroups; ++k) {
    if (TGroupButton* b = bar.GroupButton(k)) b->SetCursor(cursor);
  }
  // The bar is the only window of its class, so its class cursor is its own.
  SetClassLongPtrW(bar.hwnd(), GCLP_HCURSOR,
                   reinterpret_cast<LONG_PTR>(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW)));
}

}  // namespace kb
