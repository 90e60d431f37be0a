// The settings dialog's handlers: filling the pages, OK in its fixed order,
// the restart after an edge change, the Windows exit, the reset, help and
// the version page's animation.
#include <windows.h>

#include "common/file_io.h"
#include "common/identity.h"
#include "model/bar_reset.h"
#include "settings/banner_frames.h"
#include "settings/pages_dlg.h"
#include "win/message_dlg.h"
#include "win/text.h"

namespace kb {
namespace {

constexpr char kRestartNotice[] = "表示位置の変更のためKobaruneを再起動します。";
constexpr char kExitToolMissing[] =
    "実行に必要な\"HURTLE.EXE\"ﾌｧｲﾙが見つかりません。\r機能を実行できません。";

}  // namespace

void TPagesDlg::FormShow() {
  const SettingsChoice& c = choice_;
  RadioGroup1.SetItemIndex(c.Type);
  RadioGroup2.SetItemIndex(c.ExitMethod);
  AutoHideCheck.SetChecked(c.AutoHide);
  ExecHideCheck.SetChecked(c.ExecHide);
  AlwaysTopCheck.SetChecked(c.StayonTop);
  SaverPauseCB.SetChecked(c.SaverPause);
  NotActiveHideCheck.SetChecked(c.NotActiveHide);
  OnActiveCheck.SetChecked(c.MouseOnActive);
  SpinMaxFile.SetValue(c.TMaxFileNum);
  FileNumLimitCheck.SetChecked(c.MaxFileLimit);
  FileNumLimitCheckClick();
  AfterExecBUCheck.SetChecked(c.LateBU);
  RadioOnTheBar.SetItemIndex(TaskbarItemOf(c.OnTray));
  CheckStartUp.SetChecked(c.StartUp);
  // Switched off, the field keeps the default to start from.
  const HotKey hotKey = EffectiveHotKey(c.HotKey);
  HotKeyCheck.SetChecked(!hotKey.None());
  HotKeyField.SetKey(hotKey.None() ? EffectiveHotKey("") : hotKey);
  HotKeyCheckClick();
  FillMonitorList();
  frameCounter_ = 0;
  Timer1.Stop();
  PageControl1.SetActivePage(kTabSheet1);
  ProgramIcon.SetVisible(false);
}

void TPagesDlg::FileNumLimitCheckClick() { SpinMaxFile.SetEnabled(FileNumLimitCheck.Checked()); }

void TPagesDlg::HotKeyCheckClick() { HotKeyField.SetEnabled(HotKeyCheck.Checked()); }

void TPagesDlg::ReadPages() {
  SettingsChoice& c = choice_;
  // A group without a checked item keeps the value it was opened with.
  if (const int edge = RadioGroup1.ItemIndex(); edge >= 0) c.Type = static_cast<uint8_t>(edge);
  if (const int method = RadioGroup2.ItemIndex(); method >= 0) {
    c.ExitMethod = static_cast<uint8_t>(method);
  }
  c.AutoHide = AutoHideCheck.Checked();
  c.ExecHide = ExecHideCheck.Checked();
  c.StayonTop = AlwaysTopCheck.Checked();
  c.SaverPause = SaverPauseCB.Checked();
  c.NotActiveHide = NotActiveHideCheck.Checked();
  c.MouseOnActive = OnActiveCheck.Checked();
  c.TMaxFileNum = static_cast<uint8_t>(SpinMaxFile.Value());
  c.MaxFileLimit = FileNumLimitCheck.Checked();
  c.LateBU = AfterExecBUCheck.Checked();
  if (const int item = RadioOnTheBar.ItemIndex(); item >= 0) c.OnTray = static_cast<uint8_t>(item);
  c.StartUp = CheckStartUp.Checked();
  // The stored text changes only with another key: a file that never chose
  // one stays without the key, and a key with Win (the field cannot show
  // it) stays as it is.  An emptied field switches the key off.
  const HotKey shown = EffectiveHotKey(c.HotKey);
  HotKey key = HotKeyCheck.Checked() ? HotKeyField.Key() : HotKey{};
  HotKey shownInField = shown;
  shownInField.win = false;
  if (!UsableHotKey(key)) key = shown;
  if (key != shown && !(shown.win && key == shownInField)) c.HotKey = HotKeyText(key);
  // Only another monitor chosen changes the stored one: a stored monitor
  // that is not there now stays stored.
  const std::vector<MonitorDesc>& monitors = state_.Monitors;
  const int chosen = MonitorList.SelectedIndex();
  if (chosen >= 0 && chosen < static_cast<int>(monitors.size()) &&
      chosen != ChooseMonitor(monitors, c.Monitor)) {
    c.Monitor = MonitorKeyValue(monitors[static_cast<size_t>(chosen)]);
  }
}

void TPagesDlg::FillMonitorList() {
  MonitorList.Clear();
  const std::vector<MonitorDesc>& monitors = state_.Monitors;
  for (size_t i = 0; i < monitors.size(); ++i) {
    MonitorList.Add(MonitorLabel(static_cast<int>(i) + 1, monitors[i]));
  }
  MonitorList.SetSelectedIndex(ChooseMonitor(monitors, choice_.Monitor));
  MonitorList.SetEnabled(monitors.size() > 1);
}

void TPagesDlg::OKBtnClick() {
  // Withdrawn as the AutoHide in force before this OK registered it.
  actions_.WithdrawEdge();
  actions_.HideGroupWindow();
  const uint8_t oldType = state_.settings.Type;
  const std::string oldMonitor = state_.settings.Monitor;
  ReadPages();
  // Every option and the exit method take their values; ListCount follows
  // a larger fixed number of program buttons.
  TakeChoice(choice_, state_.settings, state_.ExitMethod);
  if (state_.settings.Type != oldType) {
    RestartLauncher();
  } else {
    // Another monitor applies at once: the bar is not registered here.
    if (state_.settings.Monitor != oldMonitor) actions_.ChangeScreen();
    actions_.RenewEdge();
    actions_.PlaceGroupWindow();
    actions_.ArrangeExecButtons();
  }
  // Also when a restart was asked for: the launcher closes only after this.
  actions_.SetStartWithWindows(state_.settings.StartUp);
  actions_.ApplyTaskbarButton();
  actions_.ApplyHotKey();
  if (InModal()) EndModal(win::mrOk);
}

void TPagesDlg::RestartLauncher() {
  const int answer = win::MessageDlg(hwnd(), kRestartNotice, win::MsgKind::Information,
                                     win::MsgButtons::Ok, /*closeBoxCancels=*/true);
  // Closed any other way: the new edge is kept and applies from the next start.
  if (answer != win::mrOk) return;
  // By its full path: a bare name would depend on the current folder (which
  // differs when Windows started the launcher) and the search path.
  actions_.StartProgram(state_.ExeDir + kRestartToolFile, kRestartToolOption);
  actions_.CloseLauncher();
}

void TPagesDlg::CancelBtnClick() {
  if (InModal()) EndModal(win::mrCancel);
}

void TPagesDlg::Button1Click() {
  // The file checked is the file started.
  const std::string tool = state_.ExeDir + kExitToolFile;
  if (!FileExists(tool)) {
    win::MessageDlg(hwnd(), kExitToolMissing, win::MsgKind::Information, win::MsgButtons::Ok);
    return;
  }
  // The current choice, confirmed with OK or not.
  if (const auto option = ExitToolOption(RadioGroup2.ItemIndex())) {
    actions_.StartProgram(tool, *option);
  }
  actions_.CloseLauncher();
  if (InModal()) EndModal(win::mrCancel);
}

void TPagesDlg::BitBtn1Click() {
  actions_.CloseLauncher();
  if (InModal()) EndModal(win::mrCancel);
}

void TPagesDlg::ResetBtnClick() {
  const Settings& s = state_.settings;
  actions_.ResetBar(PlanBarReset(s.Type, state_.screenWidth, state_.screenHeight, s.GroupCount,
                                 DpiScale(state_.dpi)));
  // Edits on the pages are not applied.
  if (InModal()) EndModal(win::mrCancel);
}

void TPagesDlg::HelpBtnClick() {
  const win::HelpFiles files(state_.ExeDir, state_.WinHelpAvailable);
  const DWORD page = GetWindowContextHelpId(PageControl1.Page(PageControl1.ActivePage()).hwnd());
  win::ShowHelp(hwnd(), files.ForKeyword(kSettingsHelpFile, page), kSettingsHelpFile, helpCall_);
}

void TPagesDlg::ShowContextHelp(HWND control) {
  DWORD context = 0;
  for (HWND w = control; w && w != hwnd() && context == 0; w = GetParent(w)) {
    context = GetWindowContextHelpId(w);
  }
  const win::HelpFiles files(state_.ExeDir, state_.WinHelpAvailable);
  win::ShowHelp(hwnd(), files.ForContext(kHelpFileName, context), kHelpFileName, helpCall_);
}

// --- Version page -------------------------------------------------------------

void TPagesDlg::PageControl1Change() {
  if (PageControl1.ActivePage() == kTabSheet3) {
    frameCounter_ = 0;
    Timer1.Start();
  } else {
    Timer1.Stop();
  }
}

// The banner is a picture of its own pixels: at another scale than 96 dpi
// it can only be enlarged (each pixel repeated, no blur).
void TPagesDlg::DrawBanner(HDC dc, int width, int height, int sourceRow) {
  const DpiScale s(state_.dpi);
  if (s.IsBase()) {
    BitBlt(dc, 0, 0, width, height, bannerDc_, 0, sourceRow, SRCCOPY);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, s(width), s(height), bannerDc_, 0, sourceRow, width, height, SRCCOPY);
  }
}

void TPagesDlg::PaintBox1Paint(HDC dc) { DrawBanner(dc, kBannerWidth, kBannerHeight, 0); }

void TPagesDlg::Timer1Timer() {
  if (HDC dc = GetDC(PaintBox1.hwnd())) {
    DrawBanner(dc, kFrameWidth, kFrameHeight, FrameSourceRow(frameCounter_));
    ReleaseDC(PaintBox1.hwnd(), dc);
  }
  frameCounter_ = NextFrame(frameCounter_);
}

void TPagesDlg::PaintBox1Click() { ProgramIcon.SetVisible(true); }

}  // namespace kb
