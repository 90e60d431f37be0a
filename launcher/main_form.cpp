#include "launcher/main_form.h"

#include <stdexcept>

#include "common/profile.h"
#include "launcher/app.h"
#include "launcher/bar_glyphs.h"
#include "launcher/identity.h"
#include "win/hints.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

const char kScrollHint[] = "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳｽｸﾛｰﾙﾎﾞﾀﾝ";
const char kIconStoreFile[] = "Iconbmp.dat";

void PlaceControl(win::GlyphButton& button, const Box& box) {
  button.SetBounds(box.left, box.top, box.width, box.height);
}

}  // namespace

TMainForm::TMainForm(App& app) : app_(app) {}

TMainForm::~TMainForm() {
  // Children first, while the bar still exists as their parent.
  FreeGroupButtons();
  Destroy();
}

void TMainForm::Create(HWND applicationWindow) {
  // Borderless, no taskbar button of its own: the application window carries it.
  if (!Window::Create(kClassName, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0,
                      applicationWindow)) {
    throw std::runtime_error("メインウィンドウを作成できません");
  }
  SetWindowTextW(hwnd(), win::Widen(kAppTitle).c_str());
  win::ApplyUiFont(hwnd());
  win::EnableHints(hwnd(), true);
  CreateOwnButtons();
  FormCreate();
}

void TMainForm::CreateOwnButtons() {
  const bool made = SpeedButton1.Create(hwnd(), 0, 0, kBarThickness, kBarThickness, kIdSettings) &&
                    HelpBtn.Create(hwnd(), 0, 0, 20, kBarThickness, kIdHelp) &&
                    SclLeft.Create(hwnd(), 0, 0, 25, kBarThickness, kIdSclLeft) &&
                    SclRight.Create(hwnd(), 0, 0, 25, kBarThickness, kIdSclRight) &&
                    SclUp.Create(hwnd(), 0, 0, kBarThickness, 25, kIdSclUp) &&
                    SclDown.Create(hwnd(), 0, 0, kBarThickness, 25, kIdSclDown);
  if (!made) throw std::runtime_error("メインウィンドウのボタンを作成できません");

  SpeedButton1.SetGlyph(MakeSettingsGlyph(), 1, true);
  SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
  win::SetHint(SpeedButton1.hwnd(), "Kobaruneの設定");
  HelpBtn.SetGlyph(MakeHelpGlyph(), 2, true);  // no click action

  struct Scroller {
    win::GlyphButton& button;
    ArrowDirection direction;
    void (TMainForm::*click)();
  };
  const Scroller scrollers[] = {{SclLeft, ArrowDirection::Left, &TMainForm::SclLeftClick},
                                {SclRight, ArrowDirection::Right, &TMainForm::SclRightClick},
                                {SclUp, ArrowDirection::Up, &TMainForm::SclUpClick},
                                {SclDown, ArrowDirection::Down, &TMainForm::SclDownClick}};
  for (const Scroller& s : scrollers) {
    s.button.SetGlyph(MakeArrowGlyph(s.direction), 1, true);
    s.button.OnClick = [this, click = s.click] { (this->*click)(); };
    win::SetHint(s.button.hwnd(), kScrollHint);
    s.button.SetEnabled(false);
    s.button.SetVisible(false);
  }
}

void TMainForm::Show() {
  FormShow();
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
}

// --- Start-up ----------------------------------------------------------------

void TMainForm::FormCreate() {
  app_.settings = LoadSettings(app_.ExeDir);
  PlaceBar();
  CreateGroupButtons();
  LoadGroupEntries();
  LoadIconStore();
  ApplyGroupGlyphs();
  // The bar's registration as a desktop toolbar follows here.
}

// The taskbar-button choice and the bar's timer hook in here; the bar itself
// needs nothing more when it is shown or activated.
void TMainForm::FormShow() {}
void TMainForm::FormActivate() {}

void TMainForm::PlaceBar() {
  Settings& s = app_.settings;
  if (!s.AutoHide) BarDocked = true;
  s.Type = static_cast<uint8_t>(NormalizeEdge(s.Type));
  const Box box = BarBounds(s.Type, BarDocked, app_.ScreenWidth(), app_.ScreenHeight());
  SetBounds(box.left, box.top, box.width, box.height);
}

void TMainForm::CreateGroupButtons() {
  Settings& s = app_.settings;
  const int n = GroupButtonCount(BarLength(s.Type, app_.ScreenWidth(), app_.ScreenHeight()));
  for (int k = 1; k <= n; ++k) {
    const Box box = SlotBox(s.Type, k);
    if (GroupButton(k)) {
      PlaceControl(*GroupButton(k), box);
    } else {
      CreateGroupButton(k, box);  // made in its place: no move per button
    }
  }
  // No room for a group button leaves no group: a count read from the file
  // would name buttons that do not exist.
  s.GroupCount = static_cast<uint8_t>(n);
  PlaceHelpAndScroll(n);
}

void TMainForm::CreateGroupButton(int k, const Box& box) {
  auto button = std::make_unique<TGroupButton>(app_, k);
  button->Create(hwnd(), box.left, box.top);
  // A move over a group button is a move over the bar.
  button->OnBarMouseMove = [this](int x, int y) {
    SendMessageW(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  };
  groupButtons_[static_cast<size_t>(k - 1)] = std::move(button);
}

void TMainForm::PlaceHelpAndScroll(int n) {
  const HelpScrollLayout layout = LayoutHelpAndScroll(app_.settings.Type, n);
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

void TMainForm::LoadGroupEntries() {
  const ProfileReader reader(app_.settings.SettingsPath);
  for (int n = 1; n <= app_.settings.GroupCount; ++n) {
    TGroupButton* button = GroupButton(n);
    if (!button) continue;
    button->Entry = ReadLaunchData(reader, GroupSectionName(n));
    button->SetHint(button->Entry.ShowName);
  }
}

std::string TMainForm::IconStorePath() const {
  return app_.ExeDir + kDataFolderName + kIconStoreFile;
}

void TMainForm::LoadIconStore() {
  app_.Icons.Load(IconStorePath(), app_.settings.ListCount + 1, app_.settings.GroupCount);
}

void TMainForm::ApplyGroupGlyphs() {
  for (int g = 1; g <= app_.settings.GroupCount; ++g) {
    TGroupButton* button = GroupButton(g);
    if (!button) continue;
    app_.Icons.CopyCellTo(0, g - 1, button->GlyphBitmap());
    button->GlyphChanged();
  }
}

// --- Close ---------------------------------------------------------------------

void TMainForm::FormCloseQuery() {
  ShowWindow(app_.ApplicationHandle(), SW_SHOW);  // the taskbar button comes back
  app_.SaveSettings();
  SaveIconStore();
  FreeGroupButtons();
}

void TMainForm::SaveIconStore() {
  app_.Icons.Resize(app_.settings.ListCount + 1, app_.settings.GroupCount);
  const std::string path = IconStorePath();
  if (!app_.Icons.Save(path)) throw WriteError(path);
  app_.Icons.Free();
}

// The screen-saver hold and the bar's timer end here once they exist.
void TMainForm::FormClose() {}

// The bar's desktop-toolbar registration is withdrawn here once it exists.
void TMainForm::FormDestroy() {}

void TMainForm::FreeGroupButtons() {
  for (auto& button : groupButtons_) button.reset();  // each frees its glyph bitmap
}

// The end of the Windows session runs only the saving steps; the launcher
// stays whole in case the session goes on after all.
void TMainForm::QueryEndSession() {
  app_.SaveSettings();
  app_.Icons.Resize(app_.settings.ListCount + 1, app_.settings.GroupCount);
  const std::string path = IconStorePath();
  if (!app_.Icons.Save(path)) throw WriteError(path);
}

void TMainForm::OnNcDestroy() {
  if (OnDestroyed) OnDestroyed();
}

// --- Controls ------------------------------------------------------------------

// Opens the settings dialog once it exists; until then the button does nothing.
void TMainForm::SpeedButton1Click() {}

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
  for (int k = 1; k <= app_.settings.GroupCount; ++k) {
    if (TGroupButton* button = GroupButton(k)) button->SetBounds(0, 0, 0, 0);
  }
  const std::vector<int> shown = ShownGroups(scroll_);
  for (size_t i = 0; i < shown.size(); ++i) {
    if (TGroupButton* button = GroupButton(shown[i])) {
      PlaceControl(*button, SlotBox(app_.settings.Type, static_cast<int>(i) + 1));
    }
  }
}

TGroupButton* TMainForm::GroupButton(int k) const {
  if (k < 1 || k > kMaxGroupButtons) return nullptr;
  return groupButtons_[static_cast<size_t>(k - 1)].get();
}

std::vector<TLaunchData> TMainForm::GroupEntries() const {
  std::vector<TLaunchData> entries;
  for (int k = 1; k <= app_.settings.GroupCount; ++k) {
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
    case WM_QUERYENDSESSION:
      // Whatever happens to the save, the launcher never holds the session up.
      try {
        QueryEndSession();
      } catch (const std::exception& e) {
        win::ReportError(e.what());
      }
      return TRUE;
    default:
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
