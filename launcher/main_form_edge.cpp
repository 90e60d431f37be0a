// The bar at its edge: its registration with the shell as a desktop toolbar,
// auto-hiding, the bar's timer with the screen-saver hold, its z-order and
// the launcher's taskbar button.
#include "launcher/main_form.h"

#include "win/message_dlg.h"

namespace kb {
namespace {

const char kShowOnTaskbar[] = "ﾀｽｸﾊﾞｰに表示する";
const char kHideFromTaskbar[] = "ﾀｽｸﾊﾞｰに表示しない";
const char kAutoHideRefused[] =
    "この位置は他のアプリケーションが使っているので、自動的に隠すモードにできません";

UINT ShellEdge(int type) {
  switch (type) {
    case kEdgeTop: return ABE_TOP;
    case kEdgeLeft: return ABE_LEFT;
    case kEdgeBottom: return ABE_BOTTOM;
    default: return ABE_RIGHT;
  }
}

Box BoxOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace

// --- Registration -------------------------------------------------------------

void TMainForm::RegisterEdge() {
  if (state_.settings.AutoHide) {
    RegisterAutoHideBar();
  } else {
    RegisterNormalBar();
  }
  ApplyStayOnTop();
}

void TMainForm::FillAppBarData(LPARAM lParam) {
  AppBarData.cbSize = sizeof AppBarData;
  AppBarData.hWnd = hwnd();
  AppBarData.uCallbackMessage = kAppBarMessage;
  AppBarData.rc = Bounds();
  if (state_.settings.Type <= kEdgeRight) AppBarData.uEdge = ShellEdge(state_.settings.Type);
  AppBarData.lParam = lParam;
  shellRectSet_ = false;  // a new registration: the shell knows no position yet
}

void TMainForm::RegisterNormalBar() {
  // A bar that auto-hid until now may be collapsed: it takes its strip at
  // full thickness, not the 2-pixel one, with its controls shown.
  if (collapsed_) ExpandBar();
  FillAppBarData(0);
  barShell_->AppBarMessage(ABM_NEW, AppBarData);
  edgeRegistered_ = true;
  UpdateBarPosition();
  BarDocked = true;
}

void TMainForm::RegisterAutoHideBar() {
  FillAppBarData(TRUE);
  if (barShell_->AppBarMessage(ABM_SETAUTOHIDEBAR, AppBarData) != 0) {
    edgeRegistered_ = true;
    return;
  }
  // Another program's auto-hide bar holds this edge.
  win::MessageDlg(MessageOwner(), kAutoHideRefused, win::MsgKind::Information,
                  win::MsgButtons::Ok);
  state_.settings.AutoHide = false;
  ExpandBar();
}

void TMainForm::UpdateBarPosition() {
  const Settings& s = state_.settings;
  const RECT bounds = Bounds();
  AppBarData.rc = bounds;
  barShell_->AppBarMessage(ABM_QUERYPOS, AppBarData);
  // Worked out on the bar's monitor as if it began at (0, 0).
  const ScreenArea screen = state_.Screen();
  const EdgeRect queried{AppBarData.rc.left, AppBarData.rc.top, AppBarData.rc.right,
                         AppBarData.rc.bottom};
  const EdgeRect r = ToScreen(
      screen, PutThicknessOnEdge(s.Type, FromScreen(screen, queried), bounds.right - bounds.left,
                                 bounds.bottom - bounds.top, state_.screenWidth,
                                 state_.screenHeight));
  AppBarData.rc = {r.left, r.top, r.right, r.bottom};
  // Wine tells every other desktop toolbar of each ABM_SETPOS, changed or
  // not: two bars that answer each notification with a position would pass
  // notifications back and forth for ever.  A bar already where the shell
  // put it last time has nothing to tell.
  const RECT now = Bounds();
  if (shellRectSet_ && EqualRect(&AppBarData.rc, &shellRect_) && EqualRect(&now, &shellRect_)) {
    return;
  }
  barShell_->AppBarMessage(ABM_SETPOS, AppBarData);
  shellRect_ = AppBarData.rc;
  shellRectSet_ = true;
  // The bar goes where the shell put it at once, so it is never shown off
  // the screen; the shell then moves the other windows out of its way, and
  // after 500 ms, with every message of that time handled by the loop, the
  // bar takes its final place.  A timer rather than a sleep: a sleep would
  // hold the whole interface (and the start-up) for half a second.
  MoveToShellRect();
  settleTimer_.Start();
}

void TMainForm::SettleBarPosition() {
  settleTimer_.Stop();
  if (hwnd()) MoveToShellRect();
}

void TMainForm::MoveToShellRect() {
  const RECT bounds = Bounds();
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  const int edge = state_.settings.Type;
  if (edge == kEdgeTop || edge == kEdgeLeft) {
    SetBounds(state_.screenLeft, state_.screenTop, width, height);
  } else {
    SetBounds(AppBarData.rc.left, AppBarData.rc.top, width, height);
  }
}

void TMainForm::AppBarCallback(WPARAM notification, LPARAM lParam) {
  switch (notification) {
    case ABN_STATECHANGE:
    case ABN_POSCHANGED:
      UpdateBarPosition();
      break;
    case ABN_FULLSCREENAPP:
      // A program that takes the whole screen (a film, a game, a
      // presentation) must not have the bar on top of it.
      fullScreenApp_ = lParam != 0;
      ApplyStayOnTop();
      break;
    default:
      break;
  }
}

void TMainForm::StoreBarRect() { AppBarData.rc = Bounds(); }

void TMainForm::UnregisterEdge() {
  settleTimer_.Stop();
  shellRectSet_ = false;
  edgeRegistered_ = false;
  if (state_.settings.AutoHide) {
    AppBarData.lParam = 0;
    barShell_->AppBarMessage(ABM_SETAUTOHIDEBAR, AppBarData);
  } else {
    barShell_->AppBarMessage(ABM_REMOVE, AppBarData);
  }
}

void TMainForm::ShellRestarted() {
  // The new shell knows no desktop toolbar: register at the edge again.
  if (BarDocked || state_.settings.AutoHide) RegisterEdge();
}

void TMainForm::ApplyStayOnTop() {
  HWND after = fullScreenApp_ ? HWND_BOTTOM
               : state_.settings.StayonTop ? HWND_TOPMOST
                                           : HWND_NOTOPMOST;
  SetWindowPos(hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- Auto-hide ------------------------------------------------------------------

void TMainForm::ExpandBar() { SetThickness(Scale()(kBarThickness), true); }

void TMainForm::CollapseBar() { SetThickness(Scale()(kCollapsedThickness), false); }

void TMainForm::SetThickness(int thickness, bool controlsVisible) {
  const ScreenArea screen = state_.Screen();
  const Box b =
      ToScreen(screen, EdgeStrip(state_.settings.Type, FromScreen(screen, BoxOf(Bounds())),
                                 thickness, state_.screenWidth, state_.screenHeight));
  SetBounds(b.left, b.top, b.width, b.height);
  collapsed_ = !controlsVisible;
  const bool horizontal = IsHorizontalEdge(state_.settings.Type);
  (horizontal ? SclLeft : SclUp).SetVisible(controlsVisible);
  (horizontal ? SclRight : SclDown).SetVisible(controlsVisible);
  SpeedButton1.SetVisible(controlsVisible);
  HelpBtn.SetVisible(controlsVisible);
  for (int k = 1; k <= state_.settings.GroupCount; ++k) {
    if (TGroupButton* button = GroupButton(k)) button->SetVisible(controlsVisible);
  }
}

void TMainForm::HoverActivate() {
  Timer2.Stop();
  HWND active = GetForegroundWindow();
  if (state_.settings.AutoHide) {
    if (collapsed_) ExpandBar();
    // Growing the bar must not take the keyboard from the program in use.
    if (active && GetForegroundWindow() != active) SetForegroundWindow(active);
  }
  if (state_.settings.MouseOnActive) SetForegroundWindow(hwnd());
  Timer2.Start();  // the next tick comes a full second after the last move
}

// --- The bar's timer and the screen-saver hold --------------------------------------

void TMainForm::Timer2Timer() {
  if (!hwnd()) return;
  const Settings& s = state_.settings;
  HWND groupWindow = groupWindow_ ? groupWindow_->GroupWindowHandle() : nullptr;
  POINT cursor{};
  GetCursorPos(&cursor);
  TickState tick;
  tick.notActiveHide = s.NotActiveHide;
  tick.autoHide = s.AutoHide;
  tick.saverPause = s.SaverPause;
  tick.saverSuspended = SaverSuspended;
  // The launcher's own dialogs (a question asked over the group window)
  // count as the launcher: only another program hides the group window.
  tick.foregroundIsOurs = win::IsOwnProcessWindow(GetForegroundWindow());
  tick.groupWindowVisible = groupWindow && IsWindowVisible(groupWindow);
  tick.bar = BoxOf(Bounds());
  tick.cursorX = cursor.x;
  tick.cursorY = cursor.y;

  const TickActions a = PlanTick(tick);
  if (a.hideGroupWindow && groupWindow_) groupWindow_->HideGroupWindow();
  if (a.collapse && !collapsed_) CollapseBar();
  if (a.releaseSaver) ReleaseSaver();
  if (a.holdSaver) HoldSaver();
}

void TMainForm::HoldSaver() {
  BOOL active = FALSE;
  barShell_->SystemParameters(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
  if (!active) return;  // already off: nothing to hold, nothing to give back
  const std::optional<std::string> entry = barShell_->ReadSaverEntry();
  SavedSaver = entry.value_or("");
  savedSaverKnown_ = entry.has_value();
  // For this session only: a launcher that ends without giving the saver
  // back (killed, or the machine switched off) must not leave it off for
  // good in the user's settings.
  barShell_->SystemParameters(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_SENDWININICHANGE);
  SaverSuspended = true;
}

void TMainForm::ReleaseSaver() {
  if (!SaverSuspended) return;
  SaverSuspended = false;
  // Only a changed entry is written back: an untouched SYSTEM.INI stays
  // byte for byte as it is (and gets no empty entry where it had none).
  if (savedSaverKnown_ && barShell_->ReadSaverEntry() != SavedSaver) {
    barShell_->WriteSaverEntry(SavedSaver);
  }
  barShell_->SystemParameters(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
}

// --- Taskbar button and tray menu ------------------------------------------------

void TMainForm::ApplyTaskbarButton() {
  const bool hidden = state_.settings.OnTray == 1;
  // SW_SHOWNA: the zero-sized application window only carries the button and
  // must not take the activation from the bar.
  if (applicationWindow_) ShowWindow(applicationWindow_, hidden ? SW_HIDE : SW_SHOWNA);
  N2.Caption = hidden ? kShowOnTaskbar : kHideFromTaskbar;
}

void TMainForm::N2Click() {
  state_.settings.OnTray = state_.settings.OnTray == 1 ? 0 : 1;
  ApplyTaskbarButton();
}

void TMainForm::Exit1Click() {
  if (hwnd()) SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void TMainForm::SpeedButton1Click() {
  Timer2.Stop();
  if (OnSettingsClick) OnSettingsClick();
  // The dialog may have closed the launcher.
  if (hwnd()) Timer2.Start();
}

HWND TMainForm::MessageOwner() const {
  // Under Wine a box owned by a hidden bar never gets its clicks; at start-up
  // the bar is not shown yet.
  return Visible() || !applicationWindow_ ? hwnd() : applicationWindow_;
}

}  // namespace kb
