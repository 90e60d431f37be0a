// The group window: one borderless, stay-on-top strip beside the bar that
// shows the program buttons of one group at a time.  It holds the records of
// every program slot of every group in `Entries`, so a group switch only
// copies records and icon-store cells into the same buttons.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "groups/backup_hooks.h"
#include "groups/exec_button.h"
#include "model/entry_table.h"
#include "model/group_layout.h"
#include "model/program_state.h"
#include "win/shell.h"
#include "win/window.h"

namespace kb {

class IconStore;
class ProfileReader;
class ProfileWriter;

class TSubForm : public win::Window {
 public:
  static constexpr wchar_t kClassName[] = L"TSubForm";
  static constexpr int kHelpContext = 11;

  TSubForm(ProgramState& state, IconStore& icons);
  ~TSubForm() override;

  // Creates the (hidden) window owned by `owner`, lays it out from the
  // loaded settings and reads every program slot of every group from the
  // settings file as `settingsFile` read it (or as read now).
  void FormCreate(HWND owner, const ProfileReader& settingsFile);
  void FormCreate(HWND owner);

  // Number of program buttons and the window's size and distance from the bar.
  void PlaceGroupWindow();
  // Creates the buttons that do not exist yet and places all of them; buttons
  // beyond the display count shrink to nothing but keep their records.
  void ArrangeExecButtons();
  // The scale of the bar's monitor (ProgramState::dpi).
  DpiScale Scale() const { return DpiScale(state_.dpi); }
  // The bar's monitor changed (or its size): the window is hidden, sized and
  // laid out for it as at start-up, and the slots it now shows that were
  // never read are read from the settings file.
  void ScreenChanged();
  // Fills Entries from the settings file.
  void LoadEntries(const ProfileReader& settingsFile);
  // Writes the window section and the non-empty slots with the caller's
  // writer (the last step of the close save; the caller commits).
  void SaveEntries(ProfileWriter& writer) const;
  // Erases the section of slot n of group g from the file at once.
  void EraseEntry(int g, int n);
  // Loads group g into the buttons: records from Entries, glyphs from the
  // icon store.  No program file is opened.
  void ShowGroup(int g);

  // Shows the window beside a group button (its position inside the bar).
  void ShowBeside(int buttonLeft, int buttonTop);
  void HideWindow();

  // --- Keyboard ---------------------------------------------------------------
  // Shows the window where it last was (if hidden), makes it the active
  // window with its focus marks shown and the focus on program button 1;
  // Esc gives the focus back to `returnFocusTo` (nullptr: to no one).
  void ShowForKeyboard(HWND returnFocusTo);
  // Puts the focus on program button n (1 … ButtonCount()).
  void FocusButton(int n);
  // The program button that has the focus, 0 when none has.
  int FocusedButton() const;
  // A key on program button n: the arrows, Home, End, PageUp, PageDown and
  // Esc; true when it was one of them.
  bool ButtonKey(int n, WPARAM key);
  // A character typed on program button n: the focus goes to the next
  // button whose display name begins with it.
  void ButtonCharacter(int n, wchar_t ch);
  // Esc: the window hides and the focus goes back where it came from.
  void EscapeKey();
  // The name the window gives screen readers (its WM_GETTEXT): the group's.
  void SetGroupName(const std::string& sjisName);
  // The arrows across the window and PageUp / PageDown: the previous (-1)
  // or next (+1) group, as the application opens groups.
  std::function<void(int delta)> OnStepGroup;

  // Buttons[n] gets the copied record and builds its icon from it.
  void PasteEntry(int n);

  int DisplayCount() const { return displayCount_; }
  int ButtonCount() const { return buttonCount_; }
  int CreatedCount() const { return createdCount_; }
  // The group the buttons show (0 before the first ShowGroup).
  int ShownGroup() const { return shownGroup_; }
  // Program button n, 1 <= n <= CreatedCount(); throws std::out_of_range.
  TExecButton& Buttons(int n);

  EntryTable Entries;

  // Copying one program slot onto another (Shift + click, then a click).
  bool CopyPending = false;
  TLaunchData CopiedEntry;
  // Shows the drag cursor over the window and its buttons, or the default.
  void SetCopyCursor(bool dragging);

  // The right click on program button n: the registration dialog's flow.
  std::function<void(int n)> OnRegister;
  // The right click on group button k: the group registration flow.
  std::function<void(int k)> OnRegisterGroup;

  // The backup schedule and the shell as the buttons reach them; both can be
  // replaced (the backup schedule, tests).  The form does not own replacements.
  BackupHooks& Backup() { return *backup_; }
  void SetBackupHooks(BackupHooks* hooks) { backup_ = hooks ? hooks : &noBackup_; }
  win::ShellAccess& Shell() { return *shell_; }
  void SetShellAccess(win::ShellAccess* shell) { shell_ = shell ? shell : &defaultShell_; }

  ProgramState& State() { return state_; }
  IconStore& Icons() { return icons_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateExecButton(int n);
  GroupDisplaySettings DisplaySettings() const;

  ProgramState& state_;
  IconStore& icons_;
  std::array<std::unique_ptr<TExecButton>, kMaxSlots> buttons_{};
  int displayCount_ = 0;
  int buttonCount_ = 0;
  int createdCount_ = 0;
  int shownGroup_ = 0;
  bool dragCursor_ = false;
  HWND returnFocus_ = nullptr;
  int lastFocused_ = 0;  // the button the keyboard moved to last
  std::string groupName_{win::LaunchButton::kUnnamedText};
  NoBackupChain noBackup_;
  BackupHooks* backup_ = &noBackup_;
  win::ShellAccess defaultShell_;
  win::ShellAccess* shell_ = &defaultShell_;
};

}  // namespace kb
