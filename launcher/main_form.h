// The main bar: the launcher's main window, a borderless strip 38 pixels
// thick along one whole edge of the screen carrying the settings button, the
// group buttons, the help button and the scroll buttons.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>

#include "launcher/bar_shell.h"
#include "launcher/group_button.h"
#include "launcher/group_window_link.h"
#include "model/bar_layout.h"
#include "model/edge_rules.h"
#include "model/bar_reset.h"
#include "model/launch_data.h"
#include "model/program_state.h"
#include "model/scroll_state.h"
#include "win/glyph_button.h"
#include "win/popup_menu.h"
#include "win/shell.h"
#include "win/timer.h"
#include "win/window.h"

namespace kb {

class IconStore;
class ProfileReader;

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
  // runs while it is created, with the settings file as `settingsFile` read
  // it (or as read now).  Throws std::runtime_error when Windows refuses.
  void Create(HWND applicationWindow, const ProfileReader& settingsFile);
  void Create(HWND applicationWindow);
  // Shows the bar, then registers it at its edge, then runs FormShow.
  void Show();

  // --- Start-up and close ---------------------------------------------------
  void FormCreate(const ProfileReader& settingsFile);
  void FormShow();
  void FormActivate();
  // The save sequence of every close; throws kb::WriteError when the system
  // refuses a write: the close is then abandoned.
  void FormCloseQuery();
  void FormClose();
  void FormDestroy();

  // --- The bar at its edge (main_form_edge.cpp) ------------------------------
  // The shell's notifications about the bar's edge arrive with this message.
  static constexpr UINT kAppBarMessage = WM_USER + 100;
  // As the bar first shows; again after the settings dialog's OK when the
  // edge did not change, and after the shell has restarted.
  void RegisterEdge();
  void RegisterNormalBar();
  void RegisterAutoHideBar();
  // Asks the shell for the bar's rectangle and moves the bar there at once;
  // the final move follows 500 ms later (SettleBarPosition), when the shell
  // has moved the other windows out of the way.
  void UpdateBarPosition();
  void SettleBarPosition();
  bool SettlePending() const { return settleTimer_.Enabled(); }
  void StoreBarRect();
  // Withdraws the registration (at destruction, and first in the settings
  // dialog's OK).
  void UnregisterEdge();
  void AppBarCallback(WPARAM notification, LPARAM lParam);
  void ExpandBar();
  void CollapseBar();
  bool Collapsed() const { return collapsed_; }
  // A mouse move over the bar's free surface or a group button.
  void HoverActivate();
  // One tick of Timer2 (tests call it directly instead of waiting).
  void Timer2Timer();
  // The z-order: on top of other windows with StayonTop, except below a
  // program that has taken the whole screen.
  void ApplyStayOnTop();
  bool BelowFullScreenProgram() const { return fullScreenApp_; }
  // Gives the screen saver back if the bar holds it off.
  void ReleaseSaver();

  // --- Taskbar button and tray menu -----------------------------------------
  void ApplyTaskbarButton();
  void N2Click();
  void Exit1Click();
  void SpeedButton1Click();

  // --- The bar's monitor (main_form_screen.cpp) -------------------------------
  // Picks the bar's monitor from the stored choice (the primary one when it
  // is not there; the choice stays stored) from what ReadMonitors lists.
  void ChooseScreen();
  // WM_DISPLAYCHANGE, a change of the work area, a monitor come or gone:
  // when the bar's monitor changed, the bar is laid out for it again.
  void DisplayChanged();
  // The bar laid out again for the monitor chosen now: at its edge there,
  // expanded, with the group buttons that fit (those beyond keep their
  // records and icons), registered again if it was; then the group window
  // follows (OnScreenChanged).
  void RelayoutForScreen();
  // Lists the monitors (the application's: the system's or a test's); the
  // bar keeps the screen it has when there is none.
  std::function<std::vector<MonitorDesc>()> ReadMonitors;
  // The bar's monitor changed: the application lays out the group window.
  std::function<void()> OnScreenChanged;
  // The highest group button made so far (those beyond GroupCount are
  // hidden; their records are still saved).
  int CreatedGroupButtons() const;

  // --- Layout ---------------------------------------------------------------
  // WM_DPICHANGED (Windows 8.1 and later; named here, the headers of older
  // systems lack it).
  static constexpr UINT kDpiChangedMessage = 0x02E0;
  // The scale of the bar's monitor (ProgramState::dpi).
  DpiScale Scale() const { return DpiScale(state_.dpi); }
  // Lays the bar out again at another DPI (WM_DPICHANGED).
  void ApplyScale(int dpi);
  // After the bar took a new scale: the application lays the dialogs out
  // again (the group window follows the bar through OnScreenChanged).
  std::function<void(int dpi)> OnScaleChanged;
  // The DPI of a monitor the bar goes to (the application's; unset, the
  // scale stays as it is).
  std::function<int(const ScreenArea&)> ScreenDpi;
  void PlaceBar();
  void CreateGroupButtons();
  void CreateGroupButton(int k, const Box& box);
  void PlaceHelpAndScroll(int n);
  void LoadGroupEntries(const ProfileReader& settingsFile);
  void LoadIconStore();
  void ApplyGroupGlyphs();
  void SaveIconStore();

  // --- Controls -------------------------------------------------------------
  void SclLeftClick();
  void SclRightClick();
  void SclUpClick();
  void SclDownClick();

  // --- Keyboard (main_form_keys.cpp) ------------------------------------------
  // Opens the group window of the group it showed last (group 1 the first
  // time) the way a left click on its group button does: a collapsed bar
  // expands first, a scrolled bar scrolls that button into view.  False
  // when there is no group button to open.
  bool OpenLastGroup();
  // Scrolls a scrolled bar until group button k is shown.
  void RevealGroupButton(int k);
  // An arrow key on one of the bar's buttons: the focus goes to the next
  // control along the bar (scrolling past the shown group buttons); true
  // when the key was an arrow.
  bool BarKey(const win::GlyphButton& from, WPARAM key);

  // Group button k (1 … 40), nullptr when it does not exist.
  TGroupButton* GroupButton(int k) const;
  // The records of group buttons 1 … GroupCount (an empty record where a
  // button does not exist).
  std::vector<TLaunchData> GroupEntries() const;

  // The scrolling state.  The settings dialog's reset sets it (scrolled with
  // n slots); the scroll buttons then move it.
  const ScrollState& Scroll() const { return scroll_; }
  void SetScroll(const ScrollState& state);
  // The settings dialog's reset: the bar takes its full length for the
  // screen of now and shows the reset's group buttons behind the slots it
  // counted; it keeps its position.
  void ApplyReset(const BarReset& reset);
  int ScrollFirst() const { return scroll_.scrollFirst; }
  int SlotCount() const { return scroll_.slotCount; }
  bool BarDocked = false;
  APPBARDATA AppBarData{};
  // The screen saver held off by the bar, and SYSTEM.INI's saver entry as it
  // was then.
  bool SaverSuspended = false;
  std::string SavedSaver;
  win::Timer Timer2{1000};

  // The tray menu (the application's tray icon pops it up for both buttons).
  win::TPopupMenu PopupMenu1;
  win::TMenuItem& N2;
  win::TMenuItem& N1;
  win::TMenuItem& N3;
  win::TMenuItem& Exit1;

  win::GlyphButton SpeedButton1;
  win::GlyphButton HelpBtn;
  win::GlyphButton SclLeft, SclRight, SclUp, SclDown;

  // Runs after the window is gone (the application ends its loop).
  std::function<void()> OnDestroyed;
  // The settings button (SpeedButton1) and the tray menu's N1: the
  // application opens the settings dialog (Timer2 is stopped meanwhile).
  std::function<void()> OnSettingsClick;
  // The help button: the help's contents page.
  std::function<void()> OnHelpClick;
  // Step 2 of the close sequence: the application frees its tray icon.
  std::function<void()> FreeTrayIcon;

  // The group window as the bar's timer sees it (the application's).
  void SetGroupWindow(GroupWindowLink* groupWindow) { groupWindow_ = groupWindow; }
  // The shell and system calls of the edge and the saver hold; nullptr
  // restores the real ones.  Set before Create to reach the start-up.
  void SetBarShell(BarShell* shell) { barShell_ = shell ? shell : &defaultBarShell_; }

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
  void TakeKeys(win::GlyphButton& button);
  void MakeOwnGlyphs();
  void RescaleControls();
  void ScrollBackClick();
  void ScrollForwardClick();
  void ApplyScrollButtons();
  void Relayout();
  void FreeGroupButtons();
  void LayOutGroupButtons(bool afterStartUp);
  void QueryEndSession();
  int GroupsThatFit() const;
  void WriteIconStore();
  std::string IconStorePath() const;
  void FillAppBarData(LPARAM lParam);
  void MoveToShellRect();
  void SetThickness(int thickness, bool controlsVisible);
  void HoldSaver();
  void ShellRestarted();
  HWND MessageOwner() const;

  ProgramState& state_;
  IconStore& icons_;
  std::function<void()> saveSettings_;
  HWND applicationWindow_ = nullptr;
  GroupButtonEvents* groupEvents_ = nullptr;
  win::ShellAccess defaultShell_;
  win::ShellAccess* shell_ = &defaultShell_;
  std::array<std::unique_ptr<TGroupButton>, kMaxGroupButtons> groupButtons_;
  ScrollState scroll_;
  GroupWindowLink* groupWindow_ = nullptr;
  BarShell defaultBarShell_;
  BarShell* barShell_ = &defaultBarShell_;
  win::Timer settleTimer_{500};
  bool collapsed_ = false;
  RECT shellRect_{};  // the rectangle last set with the shell
  bool shellRectSet_ = false;
  bool edgeRegistered_ = false;  // the shell knows the bar (either kind)
  bool fullScreenApp_ = false;
  bool savedSaverKnown_ = false;
};

}  // namespace kb
