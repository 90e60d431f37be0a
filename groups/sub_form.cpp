#include "groups/sub_form.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/profile.h"
#include "model/keyboard_nav.h"
#include "model/settings.h"
#include "model/stored_layout.h"
#include "win/hints.h"
#include "win/icon_store.h"
#include "win/text.h"

namespace kb {

TSubForm::TSubForm(ProgramState& state, IconStore& icons) : state_(state), icons_(icons) {}

// Buttons go before the window: each frees its own glyph bitmap.
TSubForm::~TSubForm() {
  for (auto& button : buttons_) button.reset();
  Destroy();
}

void TSubForm::FormCreate(HWND owner) {
  FormCreate(owner, ProfileReader(state_.settings.SettingsPath));
}

void TSubForm::FormCreate(HWND owner, const ProfileReader& settingsFile) {
  // A tool window keeps the strip off the taskbar; it stays above other
  // windows like the bar it belongs to.  It paints its buttons itself, in
  // one pass (HandleMessage), so it does not clip them.
  const int size = Scale()(kButtonSize);
  if (!Create(kClassName, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, 0, 0, size, size, owner)) {
    throw std::runtime_error("グループウインドウを作成できません");
  }
  SetWindowContextHelpId(hwnd(), kHelpContext);
  PlaceGroupWindow();
  ArrangeExecButtons();
  LoadEntries(settingsFile);
}

GroupDisplaySettings TSubForm::DisplaySettings() const {
  GroupDisplaySettings s;
  s.edge = state_.settings.Type;
  s.maxFileLimit = state_.settings.MaxFileLimit;
  s.tMaxFileNum = state_.settings.TMaxFileNum;
  return s;
}

void TSubForm::PlaceGroupWindow() {
  // Worked out on the bar's monitor as if it began at (0, 0).
  const ScreenArea screen = state_.Screen();
  const RECT r = Bounds();
  const GroupWindowBox current =
      FromScreen(screen, GroupWindowBox{r.left, r.top, r.right - r.left, r.bottom - r.top});
  const auto placement =
      kb::PlaceGroupWindow(DisplaySettings(), state_.screenWidth, state_.screenHeight, current,
                           Scale());
  if (!placement) return;
  displayCount_ = placement->displayCount;
  const GroupWindowBox b = ToScreen(screen, placement->box);
  SetBounds(b.left, b.top, b.width, b.height);
}

void TSubForm::ArrangeExecButtons() {
  const RECT r = Bounds();
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int edge = DisplaySettings().edge;
  const DpiScale s = Scale();
  if (!ExecButtonOrigin(edge, 1, width, height, s)) return;
  const int size = s(kButtonSize);
  for (int n = 1; n <= displayCount_; ++n) {
    if (!buttons_[n - 1]) CreateExecButton(n);
    Buttons(n).SetScale(s);
    const ButtonOrigin at = *ExecButtonOrigin(edge, n, width, height, s);
    Buttons(n).SetBounds(at.x, at.y, size, size);
    buttonCount_ = n;
  }
  if (displayCount_ == 0) buttonCount_ = 0;
  for (int n = displayCount_ + 1; n <= createdCount_; ++n) Buttons(n).SetBounds(0, 0, 0, 0);
}

void TSubForm::CreateExecButton(int n) {
  auto button = std::make_unique<TExecButton>(*this, n);
  button->SetScale(Scale());
  button->Create(hwnd(), (n - 1) * button->ScaledSize(), 0);
  buttons_[n - 1] = std::move(button);
  win::EnableHints(hwnd(), true);
  if (n > createdCount_) createdCount_ = n;
}

TExecButton& TSubForm::Buttons(int n) {
  if (n < 1 || n > kMaxSlots || !buttons_[n - 1]) {
    throw std::out_of_range("program button " + std::to_string(n));
  }
  return *buttons_[n - 1];
}

void TSubForm::ScreenChanged() {
  HideWindow();
  PlaceGroupWindow();
  ArrangeExecButtons();
  Entries.LoadMissing(ProfileReader(state_.settings.SettingsPath), state_.settings.GroupCount,
                      buttonCount_);
}

void TSubForm::LoadEntries(const ProfileReader& settingsFile) {
  Entries.Load(settingsFile, state_.settings.GroupCount, buttonCount_);
}

void TSubForm::SaveEntries(ProfileWriter& writer) const {
  // The bounds and count as at 96 dpi: nothing stored follows the scale.
  const RECT r = Bounds();
  const ScreenArea screen = state_.Screen();
  const StoredGroupWindow stored = StoreGroupWindow(
      DisplaySettings(), state_.screenWidth, state_.screenHeight,
      FromScreen(screen, Box{r.left, r.top, r.right - r.left, r.bottom - r.top}), buttonCount_,
      Scale());
  const Box b = ToScreen(screen, stored.box);
  WriteWindowSection(writer, kb::Bounds{b.left, b.top, b.width, b.height}, stored.number);
  // Groups beyond the bar's fit of now were read on a larger monitor, and
  // may have been changed since.
  Entries.Save(writer, std::max<int>(state_.settings.GroupCount, Entries.LoadedGroups()),
               buttonCount_);
}

void TSubForm::EraseEntry(int g, int n) {
  // Failures of the erase are not the user's concern here: the section goes
  // at the next successful write of the file at the latest.
  try {
    EraseProfileSection(state_.settings.SettingsPath, SlotSectionName(g, n));
  } catch (const WriteError&) {
  }
}

void TSubForm::ShowGroup(int g) {
  if (g < 1 || g > kMaxGroups) return;
  shownGroup_ = g;
  std::array<uint32_t*, kMaxSlots> glyphs{};
  for (int s = 1; s <= buttonCount_; ++s) {
    TExecButton& button = Buttons(s);
    button.Entry = Entries.At(g, s);
    button.SetHint(button.Entry.ShowName);
    glyphs[s - 1] = button.GlyphPixels();
  }
  // One pass over the icon store for all buttons; a slot beyond the store's
  // last column has no cell and shows a plain face.
  const int copied = icons_.CopyRowToGlyphs(g - 1, glyphs.data(), buttonCount_);
  for (int s = std::max(copied, 0) + 1; s <= buttonCount_; ++s) {
    win::FillGlyph(Buttons(s).GlyphBitmap());
  }
  // At another scale each button draws its icon at its own size, from the
  // record's icon file (the stored cell when the file has none).
  if (!Scale().IsBase()) {
    for (int s = 1; s <= buttonCount_; ++s) Buttons(s).GlyphChanged();
  }
  // The glyphs changed behind the buttons' backs: the window repaints them
  // all in one pass.
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void TSubForm::ShowBeside(int buttonLeft, int buttonTop) {
  const ScreenArea screen = state_.Screen();
  const RECT r = Bounds();
  const GroupWindowBox box = ToScreen(
      screen, AlignWithGroupButton(
                  DisplaySettings().edge,
                  FromScreen(screen, GroupWindowBox{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  buttonLeft, buttonTop));
  // The window is topmost by its style; moving an X11 window is the costly
  // part of a switch, so a window already in place is only shown.
  UINT flags = SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW;
  if (box.left == r.left && box.top == r.top) flags |= SWP_NOMOVE | SWP_NOSIZE;
  SetWindowPos(hwnd(), nullptr, box.left, box.top, box.width, box.height, flags);
  // Painted now, the window first: it draws every button, so none of them
  // paints on its own.
  UpdateWindow(hwnd());
}

void TSubForm::HideWindow() { ShowWindow(hwnd(), SW_HIDE); }

void TSubForm::ShowForKeyboard(HWND returnFocusTo) {
  if (!hwnd()) return;
  if (returnFocusTo && returnFocusTo != hwnd() && !IsChild(hwnd(), returnFocusTo)) {
    returnFocus_ = returnFocusTo;
  } else if (!returnFocusTo) {
    returnFocus_ = nullptr;
  }
  if (!IsWindowVisible(hwnd())) {
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
  }
  SetForegroundWindow(hwnd());
  win::GlyphButton::ShowFocusMarks(hwnd());
  FocusButton(1);
}

void TSubForm::FocusButton(int n) {
  if (n < 1 || n > buttonCount_ || !buttons_[n - 1]) return;
  lastFocused_ = n;
  SetFocus(buttons_[n - 1]->hwnd());
}

int TSubForm::FocusedButton() const {
  HWND focus = GetFocus();
  for (int n = 1; n <= createdCount_; ++n) {
    if (buttons_[n - 1] && buttons_[n - 1]->hwnd() == focus) return n;
  }
  return 0;
}

bool TSubForm::ButtonKey(int n, WPARAM key) {
  NavKey nav;
  switch (key) {
    case VK_UP: nav = NavKey::Up; break;
    case VK_DOWN: nav = NavKey::Down; break;
    case VK_LEFT: nav = NavKey::Left; break;
    case VK_RIGHT: nav = NavKey::Right; break;
    case VK_HOME: nav = NavKey::Home; break;
    case VK_END: nav = NavKey::End; break;
    case VK_PRIOR: nav = NavKey::PageUp; break;
    case VK_NEXT: nav = NavKey::PageDown; break;
    case VK_ESCAPE: EscapeKey(); return true;
    default: return false;
  }
  switch (GroupWindowKeyMove(DisplaySettings().edge, nav)) {
    case GroupWindowMove::Previous: FocusButton(StepWrapped(n, -1, buttonCount_)); break;
    case GroupWindowMove::Next: FocusButton(StepWrapped(n, +1, buttonCount_)); break;
    case GroupWindowMove::First: FocusButton(1); break;
    case GroupWindowMove::Last: FocusButton(buttonCount_); break;
    case GroupWindowMove::PreviousGroup:
      if (OnStepGroup) OnStepGroup(-1);
      break;
    case GroupWindowMove::NextGroup:
      if (OnStepGroup) OnStepGroup(+1);
      break;
    case GroupWindowMove::None: return false;
  }
  return true;
}

void TSubForm::ButtonCharacter(int n, wchar_t ch) {
  // Control characters (Enter, Esc, Backspace) and the space, which clicks.
  if (ch <= L' ' || ch == 0x7F) return;
  const std::optional<std::string> typed = win::Narrow(std::wstring(1, ch));
  if (!typed || typed->empty()) return;  // not a Shift-JIS character
  std::vector<std::string> names;
  for (int s = 1; s <= buttonCount_; ++s) names.push_back(Buttons(s).Entry.ShowName);
  if (const int next = NextNameStartingWith(names, n, *typed)) FocusButton(next);
}

void TSubForm::EscapeKey() {
  HWND back = returnFocus_;
  returnFocus_ = nullptr;
  HideWindow();
  state_.OpenGroup = 0;
  if (!back || !IsWindow(back)) return;
  SetForegroundWindow(GetAncestor(back, GA_ROOT));
  if (GetWindowThreadProcessId(back, nullptr) == GetCurrentThreadId()) SetFocus(back);
}

void TSubForm::SetGroupName(const std::string& sjisName) {
  groupName_ = sjisName.empty() ? win::LaunchButton::kUnnamedText : sjisName;
}

void TSubForm::PasteEntry(int n) {
  TExecButton& button = Buttons(n);
  button.Entry = CopiedEntry;
  button.KeepFields = true;
  try {
    button.SetFromFile(button.Entry.FPFileName);
  } catch (...) {
    button.KeepFields = false;
    throw;
  }
  button.KeepFields = false;
}

void TSubForm::SetCopyCursor(bool dragging) {
  dragCursor_ = dragging;
  HCURSOR cursor = dragging ? win::GlyphButton::DragCursor() : nullptr;
  for (int n = 1; n <= createdCount_; ++n) Buttons(n).SetCursor(cursor);
}

LRESULT TSubForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The group window lives as long as the launcher: a close request from
  // outside (a window manager, a task list) only hides it.
  if (msg == WM_CLOSE) {
    HideWindow();
    return 0;
  }
  if (msg == WM_PAINT) {
    std::vector<const win::GlyphButton*> shown;
    for (int n = 1; n <= buttonCount_; ++n) shown.push_back(buttons_[n - 1].get());
    win::GlyphButton::PaintInParent(hwnd(), shown);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;  // WM_PAINT covers every pixel
  if (msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH) {
    // The group's name, answered rather than stored: a title change of a
    // top-level window is a round trip to the X server under Wine, at every
    // group switch.
    const std::wstring name = win::Widen(groupName_);
    if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(name.size());
    auto* buffer = reinterpret_cast<wchar_t*>(lParam);
    if (!buffer || wParam == 0) return 0;
    const size_t n = std::min(name.size(), static_cast<size_t>(wParam) - 1);
    std::copy_n(name.data(), n, buffer);
    buffer[n] = L'\0';
    return static_cast<LRESULT>(n);
  }
  if (msg == WM_SETFOCUS) {
    // The window itself takes no keys: its buttons do.
    FocusButton(lastFocused_ >= 1 && lastFocused_ <= buttonCount_ ? lastFocused_ : 1);
    return 0;
  }
  if (msg == WM_SETCURSOR && dragCursor_ && reinterpret_cast<HWND>(wParam) == hwnd()) {
    ::SetCursor(win::GlyphButton::DragCursor());
    return TRUE;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace kb
