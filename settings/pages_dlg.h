// The settings dialog: every launcher option on five pages, applied at once
// on OK, the reset of the bar's layout, closing the launcher, and ending the
// Windows session through the exit tool.
//
// Made for each opening and freed after it.  It fills its pages from a copy
// of the options taken when it is made and hands the copy back only on OK;
// everything it does to the bar, the group window and the tray goes through
// SettingsActions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "model/program_state.h"
#include "settings/page_controls.h"
#include "settings/settings_actions.h"
#include "settings/settings_choice.h"
#include "win/controls.h"
#include "win/glyph_button.h"
#include "win/help_viewer.h"
#include "win/hot_key_edit.h"
#include "win/timer.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kb {

using win::HelpRequest;
using win::MissingHelpText;

class TPagesDlg : public win::Window {
 public:
  static constexpr wchar_t kClassName[] = L"TPagesDlg";

  enum ControlId : int {
    kPageControl1 = 100,
    kRadioGroup2 = 110, kRadioGroup2Item0, kButton1 = 120,
    kRadioGroup1 = 130, kRadioGroup1Item0, kResetBtn = 140,
    kAutoHideCheck = 150, kAlwaysTopCheck, kOnActiveCheck, kSaverPauseCB,
    kFileNumLimitCheck = 160, kSpinMaxFile, kNotActiveHideCheck, kExecHideCheck, kAfterExecBUCheck,
    kRadioOnTheBar = 170, kRadioOnTheBarItem0, kCheckStartUp = 180, kHotKeyCheck = 185, kHotKeyEdit,
    kMonitorList = 145,
    kBitBtn1 = 190, kOKBtn = IDOK, kCancelBtn = IDCANCEL, kHelpBtn = 191,
  };
  // The pages in tab order.
  enum Page : int { kTabSheet1, kTabSheet2, kTabSheet4, kTabSheet5, kTabSheet3 };

  // Works on the launcher's in-memory options and exit method (written only
  // on OK); finds the companions and help files in state.ExeDir.
  TPagesDlg(HWND owner, ProgramState& state, SettingsActions& actions);
  ~TPagesDlg() override;

  // Fills the pages, shows the dialog modally on its first page and returns
  // win::mrOk or win::mrCancel.
  int Execute();

  // Handlers, public so tests drive them as the controls do.
  void FormShow();
  void OKBtnClick();
  void CancelBtnClick();
  void HelpBtnClick();
  void ResetBtnClick();
  void BitBtn1Click();
  void FileNumLimitCheckClick();
  void HotKeyCheckClick();
  void Button1Click();
  void PageControl1Change();
  void PaintBox1Paint(HDC dc);
  void Timer1Timer();
  void PaintBox1Click();
  // F1 on a control: the launcher's help file at the control's topic (the
  // nearest context number up its parents).  The Help button opens
  // "Pelkan.HLP" where WinHelp runs, else the HTML help file at the page
  // shown.
  void ShowContextHelp(HWND control);

  // Replaces the help viewers (tests); the default opens them.
  void SetHelpCall(win::HelpCall call) { helpCall_ = std::move(call); }

  // The copy of the options the pages show and take.
  const SettingsChoice& Choice() const { return choice_; }
  uint8_t FrameCounter() const { return frameCounter_; }
  HBITMAP BannerPicture() const { return banner_; }

  PageControl PageControl1;
  RadioGroup RadioGroup2, RadioGroup1, RadioOnTheBar;
  win::PushButton Button1, ResetBtn;
  win::CheckBox AutoHideCheck, AlwaysTopCheck, OnActiveCheck, SaverPauseCB;
  win::CheckBox FileNumLimitCheck, NotActiveHideCheck, ExecHideCheck, AfterExecBUCheck;
  win::CheckBox CheckStartUp;
  // The key that calls the launcher from any program (その他 page).
  win::CheckBox HotKeyCheck;
  win::HotKeyEdit HotKeyField;
  SpinEdit SpinMaxFile;
  // The bar's monitor (表示位置 page), enabled with more than one.
  win::Label MonitorLabel1;
  win::ComboBox MonitorList;
  ControlHost Panel3;
  PaintBox PaintBox1;
  win::Label Version, Label1, Label2;
  IconImage ProgramIcon;
  win::GlyphButton BitBtn1;
  win::PushButton OKBtn, CancelBtn, HelpBtn;
  win::Timer Timer1;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ApplyScale(int dpi);
  void DrawBanner(HDC dc, int width, int height, int sourceRow);
  void CreatePages();
  void CreateExitPage(HWND page);
  void CreateGroupWindowPage(HWND page);
  void CreateFileWindowPage(HWND page);
  void CreateOtherPage(HWND page);
  void CreateVersionPage(HWND page);
  void CreateButtonRow();
  void RouteCommands();
  void CreateCheck(win::CheckBox& box, HWND page, int id, int x, int y, const char* caption,
                   DWORD helpContext);
  void ReadPages();
  void FillMonitorList();
  void RestartLauncher();
  void Centre();

  ProgramState& state_;
  SettingsActions& actions_;
  SettingsChoice choice_;
  uint8_t frameCounter_ = 0;
  HBITMAP banner_ = nullptr;
  HDC bannerDc_ = nullptr;
  HGDIOBJ bannerOld_ = nullptr;
  HFONT versionFont_ = nullptr;
  win::ScaledLayout layout_;
  win::ControlRouter router_;
  win::HelpCall helpCall_;
};

}  // namespace kb
