// The bar's monitor: choosing it at start-up, and laying the bar out again
// when the display changes (a new resolution, a monitor come or gone, the
// work area moved) or another monitor was chosen.
#include "common/path.h"
#include "common/profile.h"
#include "launcher/main_form.h"
#include "win/icon_store.h"

namespace kb {

void TMainForm::ChooseScreen() {
  if (!ReadMonitors) return;
  std::vector<MonitorDesc> monitors = ReadMonitors();
  const int chosen = ChooseMonitor(monitors, state_.settings.Monitor);
  if (chosen < 0) return;
  // A stored monitor that is not there is kept for when it comes back.
  state_.SetScreen(AreaOf(monitors[static_cast<size_t>(chosen)]));
  state_.Monitors = std::move(monitors);
  // The bar's monitor gives the launcher its scale.
  if (ScreenDpi) state_.dpi = ScreenDpi(state_.Screen());
}

void TMainForm::DisplayChanged() {
  if (!hwnd()) return;
  const ScreenArea before = state_.Screen();
  const int dpiBefore = state_.dpi;
  ChooseScreen();
  const ScreenArea now = state_.Screen();
  if (state_.dpi != dpiBefore) {
    // Another monitor of another scale: everything at the new scale.
    const int dpi = state_.dpi;
    state_.dpi = dpiBefore;
    ApplyScale(dpi);
    return;
  }
  // The shell's own changes of the work area (a desktop toolbar registered,
  // this bar's among them) leave the monitor as it was: nothing to lay out,
  // and a registration here would answer each one with another.
  if (now.left == before.left && now.top == before.top && now.width == before.width &&
      now.height == before.height) {
    return;
  }
  RelayoutForScreen();
}

void TMainForm::RelayoutForScreen() {
  const bool registered = edgeRegistered_;
  if (registered) UnregisterEdge();
  // Inside the monitor and expanded: the registration, when there is one,
  // moves it to its final place.
  const Settings& s = state_.settings;
  const Box box = ToScreen(state_.Screen(), BarBounds(s.Type, false, state_.screenWidth,
                                                     state_.screenHeight, Scale()));
  SetBounds(box.left, box.top, box.width, box.height);
  SetThickness(Scale()(kBarThickness), true);
  LayOutGroupButtons(true);
  if (registered) RegisterEdge();
  if (OnScreenChanged) OnScreenChanged();
}

// As at start-up: the group buttons that fit, made where missing (with
// their records from the settings file and their icons from the store when
// `afterStartUp`), each at its slot; those beyond the fit are kept hidden
// with their records and icons.  The bar is then unscrolled.
void TMainForm::LayOutGroupButtons(bool afterStartUp) {
  Settings& s = state_.settings;
  const int n = GroupsThatFit();
  std::unique_ptr<ProfileReader> reader;
  for (int k = 1; k <= n; ++k) {
    const Box box = SlotBox(s.Type, k, Scale());
    if (TGroupButton* button = GroupButton(k)) {
      button->SetBounds(box.left, box.top, box.width, box.height);
      continue;
    }
    CreateGroupButton(k, box);  // made in its place: no move per button
    if (!afterStartUp) continue;
    // Made now, after start-up: the file holds its record as this run left it
    // (nothing of a group never shown is written before the close).
    if (!reader) reader = std::make_unique<ProfileReader>(SettingsPathFor(state_.ExeDir));
    TGroupButton& made = *GroupButton(k);
    made.Entry = ReadLaunchData(*reader, GroupSectionName(k));
    made.SetHint(made.Entry.ShowName);
    icons_.CopyCellToGlyph(0, k - 1, made.GlyphPixels());
    made.GlyphChanged();
  }
  for (int k = n + 1; k <= kMaxGroupButtons; ++k) {
    if (TGroupButton* button = GroupButton(k)) button->SetBounds(0, 0, 0, 0);
  }
  // No room for a group button leaves no group: a count read from the file
  // would name buttons that do not exist.
  s.GroupCount = static_cast<uint8_t>(n);
  PlaceHelpAndScroll(n);
  if (afterStartUp) {
    scroll_ = ScrollState{};
    ApplyScrollButtons();
  }
}

}  // namespace kb
