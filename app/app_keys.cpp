// The key that calls the launcher from any program: its registration on the
// application window and what a press does.
#include <windows.h>

#include "app/app.h"
#include "app/group_actions.h"
#include "groups/exec_button.h"
#include "groups/sub_form.h"
#include "launcher/group_button.h"
#include "launcher/main_form.h"
#include "model/hot_key.h"
#include "model/scroll_state.h"
#include "win/hot_key_edit.h"

namespace kb {
namespace {

// Told when the key cannot be had; the error box adds the full stop.
std::string KeyTakenText(const HotKey& key) {
  return "ホットキー " + HotKeyText(key) +
         " は他のプログラムが使用しているため使えません。\r"
         "設定ウィンドウの「その他」ページで別のキーを選んでください";
}

bool OwnWindow(HWND window) {
  DWORD process = 0;
  return window && GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

}  // namespace

bool App::ApplyHotKey() {
  if (!options_.hotKey || !appWindow_) return false;
  HWND window = ApplicationHandle();
  if (hotKeyRegistered_) UnregisterHotKey(window, kLauncherHotKeyId);
  hotKeyRegistered_ = false;
  const HotKey key = EffectiveHotKey(settings.HotKey);
  if (key.None()) return false;
  hotKeyRegistered_ = win::RegisterHotKeyFor(window, kLauncherHotKeyId, key);
  // Told, and kept: the other program may let the key go by the next start.
  if (!hotKeyRegistered_) QueueError(KeyTakenText(key));
  return hotKeyRegistered_;
}

void App::HotKeyPressed() {
  if (!mainForm_ || !subForm_ || !mainForm_->hwnd() || !appWindow_) return;
  // A modal dialog or message of the launcher disables the bar: the keyboard
  // belongs to that dialog, which comes to the front.
  if (!IsWindowEnabled(mainForm_->hwnd())) {
    HWND popup = GetLastActivePopup(ApplicationHandle());
    if (popup && popup != ApplicationHandle()) SetForegroundWindow(popup);
    return;
  }
  // Pressed again inside the launcher: the window to go back to stays.
  HWND previous = GetForegroundWindow();
  if (!OwnWindow(previous)) hotKeyReturn_ = previous;

  if (mainForm_->Collapsed()) mainForm_->ExpandBar();
  int group = subForm_->ShownGroup();
  if (group < 1 || group > settings.GroupCount || !mainForm_->GroupButton(group)) group = 1;
  // A bar scrolled by its reset shows the group's button first.
  ScrollState scroll = mainForm_->Scroll();
  if (scroll.slotCount > 0) {
    auto shown = [&] {
      for (int g : ShownGroups(scroll)) {
        if (g == group) return true;
      }
      return false;
    };
    while (!shown() && scroll.forwardEnabled) ScrollForward(scroll);
    while (!shown() && scroll.backEnabled) ScrollBack(scroll);
    if (!(scroll == mainForm_->Scroll())) mainForm_->SetScroll(scroll);
  }
  TGroupButton* button = mainForm_->GroupButton(group);
  if (!button) return;
  if (OpenGroup != group || !IsWindowVisible(subForm_->hwnd())) OpenGroupWindow(*this, *button);
  SetForegroundWindow(subForm_->hwnd());
  if (subForm_->CreatedCount() > 0) SetFocus(subForm_->Buttons(1).hwnd());
}

}  // namespace kb
