// The main bar: the launcher's main window, a borderless strip 38 pixels
// thick along one whole edge of the screen carrying the settings button, the
// group buttons, the help button and the scroll buttons.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "launcher/group_button.h"
#include "model/bar_layout.h"
#include "model/launch_data.h"
#include "model/program_state.h"
#include "model/scroll_state.h"
#include "win/glyph_button.h"
#include "win/shell.h"
#include "win/window.h"

namespace kb {

class IconStore;

class TMainForm : public win::Window {
 public:
  static constexpr wchar_t kClassName[] = L"TMainForm";
  // Help context numbers of the bar's controls.
  static constexpr int kHelpContextBar = 1, kHelpContextScroll = 2, kHelpContextHelp = 5;

  // `saveSettings` is the close's settings save session (the bar's part and
  // the group window's part, written together by the application).
  TMainForm(ProgramState& state, IconStore& icons, std::function<void()> saveSettings);
  ~TMainForm() override;

  // Creates the bar (hidden) owned by the application window; FormCreate
  // runs while it is created.  Throws std::runtime_error when Windows refuses.
  void Create(HWND applicationWindow);
  // Shows the bar.
  void Show();

  // --- Start-up and close ---------------------------------------------------
  void FormCreate();
  // The save sequence of every close; throws kb::WriteError when the system
  // refuses a write: the close is then abandoned.
  void FormCloseQuery();

  // --- Layout ---------------------------------------------------------------
  void PlaceBar();
  void CreateGroupButtons();
  void CreateGroupButton(int k, const Box& box);
  void PlaceHelpAndScroll(int n);
  void LoadGroupEntries();
  void LoadIconStore();
  void ApplyGroupGlyphs();
  void SaveIconStore();

  // --- Controls -------------------------------------------------------------
  void SclLeftClick();
  void SclRightClick();
  void SclUpClick();
  void SclDownClick();

  // Group button k (1 … 40), nullptr when it does not exist.
  TGroupButton* GroupButton(int k) const;
  // The records of group buttons 1 … GroupCount (an empty record where a
  // button does not exist).
  std::vector<TLaunchData> GroupEntries() const;

  // The scrolling state.  The settings dialog's reset sets it (scrolled with
  // n slots); the scroll buttons then move it.
  const ScrollState& Scroll() const { return scroll_; }
  void SetScroll(const ScrollState& state);
  int ScrollFirst() const { return scroll_.scrollFirst; }
  int SlotCount() const { return scroll_.slotCount; }
  bool BarDocked = false;

  win::GlyphButton SpeedButton1;
  win::GlyphButton HelpBtn;
  win::GlyphButton SclLeft, SclRight, SclUp, SclDown;

  // Runs after the window is gone (the application ends its loop).
  std::function<void()> OnDestroyed;
  // The settings button (SpeedButton1): the application opens the settings
  // dialog.
  std::function<void()> OnSettingsClick;

  // Where the group buttons send their clicks and drops (the application).
  void SetGroupButtonEvents(GroupButtonEvents* events) { groupEvents_ = events; }
  // The shell the group buttons resolve shortcuts through; nullptr restores
  // the real one.
  void SetShellAccess(win::ShellAccess* shell) { shell_ = shell ? shell : &defaultShell_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnNcDestroy() override;

 private:
  enum : int { kIdSettings = 100, kIdHelp, kIdSclLeft, kIdSclRight, kIdSclUp, kIdSclDown };

  void CreateOwnButtons();
  void ScrollBackClick();
  void ScrollForwardClick();
  void ApplyScrollButtons();
  void Relayout();
  void FreeGroupButtons();
  void QueryEndSession();
  std::string IconStorePath() const;

  ProgramState& state_;
  IconStore& icons_;
  std::function<void()> saveSettings_;
  HWND applicationWindow_ = nullptr;
  GroupButtonEvents* groupEvents_ = nullptr;
  win::ShellAccess defaultShell_;
  win::ShellAccess* shell_ = &defaultShell_;
  std::array<std::unique_ptr<TGroupButton>, kMaxGroupButtons> groupButtons_;
  ScrollState scroll_;
};

}  // namespace kb
