// The key that calls the launcher from any program: its registration on the
// application window and what a press does.
#include <windows.h>

#include "app/app.h"
#include "app/group_actions.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "model/hot_key.h"
#include "win/hot_key_edit.h"
#include "win/window.h"

namespace kb {
namespace {

// Told when the key cannot be had; the error box adds the full stop.
std::string KeyTakenText(const HotKey& key) {
  return "ホットキー " + HotKeyText(key) +
         " は他のプログラムが使用しているため使えません。\r"
         "設定ウィンドウの「その他」ページで別のキーを選んでください";
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
  if (!win::IsOwnProcessWindow(previous)) hotKeyReturn_ = previous;

  // Expanded, scrolled to the group shown last and opened as its button's
  // click opens it; the group window gives the focus back on Esc.
  OpenGroupWindowByKeyboard(*this, hotKeyReturn_);
}

}  // namespace kb
