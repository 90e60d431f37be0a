#include "launcher/main_form.h"

#include <algorithm>
#include <stdexcept>

#include "common/identity.h"
#include "common/path.h"
#include "common/profile.h"
#include "launcher/bar_glyphs.h"
#include "model/stored_layout.h"
#include "win/hints.h"
#include "win/icon_store.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

const char kScrollHint[] = "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳｽｸﾛｰﾙﾎﾞﾀﾝ";

void PlaceControl(win::GlyphButton& button, const Box& box) {
  button.SetBounds(box.left, box.top, box.width, box.height);
}

// The shell broadcasts it to every top-level window when it has started
// again (after a crash of the shell, for one).
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

TMainForm::TMainForm(ProgramState& state, IconStore& icons, std::function<void()> saveSettings)
    : N2(PopupMenu1.Add("ﾀｽｸﾊﾞｰに表示しない", [this] { N2Click(); })),
      N1(PopupMenu1.Add("設定ｳｲﾝﾄﾞｳを開く...", [this] { SpeedButton1Click(); })),
      N3(PopupMenu1.Add("-")),
      Exit1(PopupMenu1.Add("終了", [this] { Exit1Click(); })),
      state_(state),
      icons_(icons),
      saveSettings_(std::move(saveSettings)) {
  Timer2.SetOnTimer([this] { Timer2Timer(); });
  settleTimer_.SetOnTimer([this] { SettleBarPosition(); });
}

TMainForm::~TMainForm() {
  // Children first, while the bar still exists as their parent.
  FreeGroupButtons();
  Destroy();
}

void TMainForm::Create(HWND applicationWindow) {
  Create(applicationWindow, ProfileReader(SettingsPathFor(state_.ExeDir)));
}

void TMainForm::Create(HWND applicationWindow, const ProfileReader& settingsFile) {
  // Borderless, no taskbar button of its own: the application window carries it.
  applicationWindow_ = applicationWindow;
  if (!Window::Create(kClassName, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0,
                      applicationWindow)) {
    throw std::runtime_error("メインウィンドウを作成できません");
  }
  SetWindowTextW(hwnd(), win::Widen(kAppTitle).c_str());
  win::ApplyUiFont(hwnd(), state_.dpi);
  win::EnableHints(hwnd(), true);
  CreateOwnButtons();
  FormCreate(settingsFile);
}

void TMainForm::CreateOwnButtons() {
  // The scroll buttons start hidden and disabled; the layout shows the pair
  // of the bar's direction, and scrolling enables them.
  constexpr DWORD kScrollStyle = WS_TABSTOP | WS_DISABLED;
  const DpiScale s = Scale();
  const int thick = s(kBarThickness);
  const bool made =
      SpeedButton1.Create(hwnd(), 0, 0, thick, thick, kIdSettings) &&
      HelpBtn.Create(hwnd(), 0, 0, s(20), thick, kIdHelp) &&
      SclLeft.Create(hwnd(), 0, 0, s(25), thick, kIdSclLeft, 0, kScrollStyle) &&
      SclRight.Create(hwnd(), 0, 0, s(25), thick, kIdSclRight, 0, kScrollStyle) &&
      SclUp.Create(hwnd(), 0, 0, thick, s(25), kIdSclUp, 0, kScrollStyle) &&
      SclDown.Create(hwnd(), 0, 0, thick, s(25), kIdSclDown, 0, kScrollStyle);
  if (!made) throw std::runtime_error("メインウィンドウのボタンを作成できません");

  for (win::GlyphButton* own : {&SpeedButton1, &HelpBtn, &SclLeft, &SclRight, &SclUp, &SclDown}) {
    TakeKeys(*own);
  }
  HelpBtn.SetUnnamedText("ヘルプ");
  SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
  SpeedButton1.SetHint("Kobaruneの設定");
  HelpBtn.OnClick = [this] {
    if (OnHelpClick) OnHelpClick();
  };
  // F1 opens the help at the nearest number up from the focused control.
  SetWindowContextHelpId(hwnd(), kHelpContextBar);
  SetWindowContextHelpId(HelpBtn.hwnd(), kHelpContextHelp);

  struct Scroller {
    win::GlyphButton& button;
    ArrowDirection direction;
    void (TMainForm::*click)();
  };
  const Scroller scrollers[] = {{SclLeft, ArrowDirection::Left, &TMainForm::SclLeftClick},
                                {SclRight, ArrowDirection::Right, &TMainForm::SclRightClick},
                                {SclUp, ArrowDirection::Up, &TMainForm::SclUpClick},
                                {SclDown, ArrowDirection::Down, &TMainForm::SclDownClick}};
  for (const Scroller& scroller : scrollers) {
    scroller.button.OnClick = [this, click = scroller.click] { (this->*click)(); };
    scroller.button.SetHint(kScrollHint);
    SetWindowContextHelpId(scroller.button.hwnd(), kHelpContextScroll);
  }
  MakeOwnGlyphs();
}

// The settings, help and scroll buttons' pictures, drawn at the bar's scale.
void TMainForm::MakeOwnGlyphs() {
  const DpiScale s = Scale();
  SpeedButton1.SetGlyph(MakeSettingsGlyph(s), 1, true);
  HelpBtn.SetGlyph(MakeHelpGlyph(s), 2, true);
  SclLeft.SetGlyph(MakeArrowGlyph(ArrowDirection::Left, s), 1, true);
  SclRight.SetGlyph(MakeArrowGlyph(ArrowDirection::Right, s), 1, true);
  SclUp.SetGlyph(MakeArrowGlyph(ArrowDirection::Up, s), 1, true);
  SclDown.SetGlyph(MakeArrowGlyph(ArrowDirection::Down, s), 1, true);
}

// The bar's monitor changed its scale, or the bar moved to a monitor of
// another scale: everything is laid out again at the new one.  Nothing
// stored changes; the group window follows through OnScaleChanged.
void TMainForm::ApplyScale(int dpi) {
  if (dpi <= 0 || dpi == state_.dpi) return;
  state_.dpi = dpi;
  RescaleControls();
  if (hwnd()) RelayoutForScreen();
  if (OnScaleChanged) OnScaleChanged(dpi);
}

// The bar's font, its own buttons and their pictures, and every group
// button at the scale in force; RelayoutForScreen then places them.
void TMainForm::RescaleControls() {
  if (!hwnd()) return;
  win::ApplyUiFont(hwnd(), state_.dpi);
  const DpiScale s = Scale();
  const int thick = s(kBarThickness);
  SpeedButton1.SetBounds(0, 0, thick, thick);
  MakeOwnGlyphs();
  for (auto& button : groupButtons_) {
    if (button) button->SetScale(s);
  }
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void TMainForm::Show() {
  // The bar first, painted at the place it was made for; then it takes its
  // edge: the shell's round trips (and the loading of the shell's library)
  // do not keep the bar off the screen, and nothing is handled in between.
  // A docked bottom or right bar is made just beyond the screen and comes
  // onto it with the registration.  The registration also gives the
  // z-order, which under Wine a hidden bar does not keep through its
  // showing.  The taskbar button (the application window, shown without
  // activation) follows.
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  RegisterEdge();
  // The activation that came with the showing preceded the registration:
  // the shell hears of it now.
  if (state_.settings.AutoHide && GetActiveWindow() == hwnd()) FormActivate();
  FormShow();
  UpdateWindow(hwnd());
}

// --- Start-up ----------------------------------------------------------------

void TMainForm::FormCreate(const ProfileReader& settingsFile) {
  state_.settings = LoadSettings(state_.ExeDir, settingsFile);
  const int madeAt = state_.dpi;
  ChooseScreen();
  // The bar's own buttons were made before its monitor was known.
  if (state_.dpi != madeAt) RescaleControls();
  PlaceBar();
  // The icon store's pixels are read while the group buttons are made and
  // their records read; its size is known from the settings and the screen.
  LoadIconStore();
  CreateGroupButtons();
  LoadGroupEntries(settingsFile);
  ApplyGroupGlyphs();
  // RegisterEdge follows as the bar shows (Show).
}

void TMainForm::FormShow() { ApplyTaskbarButton(); }

void TMainForm::FormActivate() {
  Timer2.Start();
  if (state_.settings.AutoHide && edgeRegistered_) {
    StoreBarRect();
    barShell_->AppBarMessage(ABM_ACTIVATE, AppBarData);
  }
}

void TMainForm::PlaceBar() {
  Settings& s = state_.settings;
  if (!s.AutoHide) BarDocked = true;
  s.Type = static_cast<uint8_t>(NormalizeEdge(s.Type));
  const Box box = ToScreen(state_.Screen(), BarBounds(s.Type, BarDocked, state_.screenWidth,
                                                     state_.screenHeight, Scale()));
  SetBounds(box.left, box.top, box.width, box.height);
}

int TMainForm::GroupsThatFit() const {
  const Settings& s = state_.settings;
  return GroupButtonCount(BarLength(s.Type, state_.screenWidth, state_.screenHeight), Scale());
}

void TMainForm::CreateGroupButtons() { LayOutGroupButtons(false); }

void TMainForm::CreateGroupButton(int k, const Box& box) {
  auto button = std::make_unique<TGroupButton>(k, icons_, groupEvents_, shell_);
  button->SetScale(Scale());
  button->Create(hwnd(), box.left, box.top);
  TakeKeys(*button);
  // A move over a group button is a move over the bar.
  button->OnBarMouseMove = [this](int x, int y) {
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  };
  groupButtons_[static_cast<size_t>(k - 1)] = std::move(button);
}

void TMainForm::PlaceHelpAndScroll(int n) {
  const HelpScrollLayout layout = LayoutHelpAndScroll(state_.settings.Type, n, Scale());
  win::GlyphButton& back = layout.horizontal ? SclLeft : SclUp;
  win::GlyphButton& forward = layout.horizontal ? SclRight : SclDown;
  PlaceControl(HelpBtn, layout.help);
  PlaceControl(back, layout.back);
  PlaceControl(forward, layout.forward);
  SclLeft.SetVisible(layout.horizontal);
  SclRight.SetVisible(layout.horizontal);
  SclUp.SetVisible(!layout.horizontal);
  SclDown.SetVisible(!layout.horizontal);
  // Tab order: the help button, then back, then forward follow the last slot.
  HWND after = n > 0 && GroupButton(n) ? GroupButton(n)->hwnd() : SpeedButton1.hwnd();
  for (HWND control : {HelpBtn.hwnd(), back.hwnd(), forward.hwnd()}) {
    SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control;
  }
}

void TMainForm::LoadGroupEntries(const ProfileReader& settingsFile) {
  for (int n = 1; n <= state_.settings.GroupCount; ++n) {
    TGroupButton* button = GroupButton(n);
    if (!button) continue;
    button->Entry = ReadLaunchData(settingsFile, GroupSectionName(n));
    button->SetHint(button->Entry.ShowName);
  }
}

std::string TMainForm::IconStorePath() const { return IconStorePathFor(state_.ExeDir); }

void TMainForm::LoadIconStore() {
  icons_.LoadInBackground(IconStorePath(), state_.settings.ListCount + 1, GroupsThatFit());
}

void TMainForm::ApplyGroupGlyphs() {
  for (int g = 1; g <= state_.settings.GroupCount; ++g) {
    TGroupButton* button = GroupButton(g);
    if (!button) continue;
    icons_.CopyCellToGlyph(0, g - 1, button->GlyphPixels());
    button->GlyphChanged();
  }
}

// --- Close ---------------------------------------------------------------------

void TMainForm::FormCloseQuery() {
  ShowWindow(applicationWindow_, SW_SHOW);  // the taskbar button comes back
  if (FreeTrayIcon) FreeTrayIcon();         // the icon leaves the notification area
  saveSettings_();
  SaveIconStore();
  FreeGroupButtons();
}

void TMainForm::SaveIconStore() {
  WriteIconStore();
  icons_.Free();
}

// ListCount may have grown through the settings dialog.  Rows beyond
// GroupCount stay: they hold the icons of the groups a larger screen shows,
// whose records stay in the settings file too.
void TMainForm::WriteIconStore() {
  // At another scale the bar may show fewer groups: the rows of 96 dpi stay.
  const Settings& s = state_.settings;
  const int rows =
      StoredGroupCount(s.Type, state_.screenWidth, state_.screenHeight, s.GroupCount, Scale());
  icons_.Resize(s.ListCount + 1, std::max<int>(rows, icons_.Rows()));
  const std::string path = IconStorePath();
  if (!icons_.Save(path)) throw WriteError(path);
}

void TMainForm::FormClose() {
  ReleaseSaver();
  Timer2.Stop();
}

// Also the end of a bar that never closed (a test's, or one whose window
// went with the session): the registration never outlives the window.
void TMainForm::FormDestroy() {
  ReleaseSaver();
  Timer2.Stop();
  // A bar that never showed never registered: nothing to withdraw.
  if (edgeRegistered_ && (BarDocked || state_.settings.AutoHide)) UnregisterEdge();
  settleTimer_.Stop();
}

void TMainForm::FreeGroupButtons() {
  for (auto& button : groupButtons_) button.reset();  // each frees its glyph bitmap
}

// The end of the Windows session runs only the saving steps; the launcher
// stays whole in case the session goes on after all.
void TMainForm::QueryEndSession() {
  saveSettings_();
  WriteIconStore();
}

void TMainForm::OnNcDestroy() {
  if (OnDestroyed) OnDestroyed();
}

// --- Controls ------------------------------------------------------------------

void TMainForm::SclLeftClick() { ScrollBackClick(); }
void TMainForm::SclUpClick() { ScrollBackClick(); }
void TMainForm::SclRightClick() { ScrollForwardClick(); }
void TMainForm::SclDownClick() { ScrollForwardClick(); }

void TMainForm::ScrollBackClick() {
  ScrollBack(scroll_);
  ApplyScrollButtons();
  Relayout();
}

void TMainForm::ScrollForwardClick() {
  ScrollForward(scroll_);
  ApplyScrollButtons();
  Relayout();
}

void TMainForm::ApplyReset(const BarReset& reset) {
  const RECT r = Bounds();
  SetBounds(r.left, r.top, reset.width, reset.height);
  PlaceHelpAndScroll(reset.slots);
  SetScroll(reset.scroll);
}

void TMainForm::SetScroll(const ScrollState& state) {
  scroll_ = state;
  ApplyScrollButtons();
  Relayout();
}

void TMainForm::ApplyScrollButtons() {
  SclLeft.SetEnabled(scroll_.backEnabled);
  SclUp.SetEnabled(scroll_.backEnabled);
  SclRight.SetEnabled(scroll_.forwardEnabled);
  SclDown.SetEnabled(scroll_.forwardEnabled);
}

void TMainForm::Relayout() {
  for (int k = 1; k <= state_.settings.GroupCount; ++k) {
    if (TGroupButton* button = GroupButton(k)) button->SetBounds(0, 0, 0, 0);
  }
  const std::vector<int> shown = ShownGroups(scroll_);
  for (size_t i = 0; i < shown.size(); ++i) {
    if (TGroupButton* button = GroupButton(shown[i])) {
      PlaceControl(*button, SlotBox(state_.settings.Type, static_cast<int>(i) + 1, Scale()));
    }
  }
}

TGroupButton* TMainForm::GroupButton(int k) const {
  if (k < 1 || k > kMaxGroupButtons) return nullptr;
  return groupButtons_[static_cast<size_t>(k - 1)].get();
}

int TMainForm::CreatedGroupButtons() const {
  int highest = 0;
  for (int k = 1; k <= kMaxGroupButtons; ++k) {
    if (GroupButton(k)) highest = k;
  }
  return highest;
}

// Also the group buttons beyond the fit of a monitor that shrank: their
// records were read and may have been changed since.
std::vector<TLaunchData> TMainForm::GroupEntries() const {
  std::vector<TLaunchData> entries;
  const int count = std::max<int>(state_.settings.GroupCount, CreatedGroupButtons());
  for (int k = 1; k <= count; ++k) {
    const TGroupButton* button = GroupButton(k);
    entries.push_back(button ? button->Entry : TLaunchData{});
  }
  return entries;
}

LRESULT TMainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      // A refused save throws out of here: the close is abandoned and the
      // error box shows it.
      FormCloseQuery();
      FormClose();
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
      break;
    case WM_MOUSEMOVE:
      HoverActivate();
      return 0;
    case WM_SETFOCUS:
      // The bar itself takes no keys: its first button does.
      if (IsWindowVisible(SpeedButton1.hwnd())) SetFocus(SpeedButton1.hwnd());
      return 0;
    case kAppBarMessage:
      AppBarCallback(wParam, lParam);
      return 0;
    case kDpiChangedMessage:
      // The bar's size follows from its edge and scale: the rectangle the
      // system suggests is not taken.
      ApplyScale(LOWORD(wParam));
      return 0;
    case WM_QUERYENDSESSION:
      // Whatever happens to the save, the launcher never holds the session up.
      try {
        QueryEndSession();
      } catch (const std::exception& e) {
        win::ReportError(e.what());
      }
      return TRUE;
    case WM_DISPLAYCHANGE:
      DisplayChanged();
      return 0;
    case WM_SETTINGCHANGE:
      // A monitor come or gone changes the work area too.
      if (wParam == SPI_SETWORKAREA) DisplayChanged();
      break;
    case WM_ENDSESSION:
      // The session ends without a close: the saver comes back first.
      if (wParam) ReleaseSaver();
      return 0;
    default:
      if (msg == TaskbarCreatedMessage()) {
        ShellRestarted();
        return 0;
      }
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
