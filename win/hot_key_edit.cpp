#include "win/hot_key_edit.h"

#include <commctrl.h>

namespace kb::win {

bool HotKeyEdit::Create(HWND parent, int id, int x, int y, int width, int height) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&icc);
  if (!CreateChild(HOTKEY_CLASSW, WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, parent, id, x, y,
                   width, height)) {
    return false;
  }
  // Typing must stay typing in every other program: a key alone or with
  // Shift only is taken with Ctrl+Alt.  Function keys are let through by
  // the same rule (they are usable alone, but rarely wanted so).
  SendMessageW(hwnd(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
               MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  return true;
}

void HotKeyEdit::SetKey(const HotKey& key) {
  if (!hwnd()) return;
  BYTE flags = 0;
  if (key.shift) flags |= HOTKEYF_SHIFT;
  if (key.ctrl) flags |= HOTKEYF_CONTROL;
  if (key.alt) flags |= HOTKEYF_ALT;
  SendMessageW(hwnd(), HKM_SETHOTKEY, MAKEWORD(key.key, flags), 0);
}

HotKey HotKeyEdit::Key() const {
  HotKey key;
  if (!hwnd()) return key;
  const WORD value = LOWORD(SendMessageW(hwnd(), HKM_GETHOTKEY, 0, 0));
  key.key = LOBYTE(value);
  const BYTE flags = HIBYTE(value);
  key.shift = (flags & HOTKEYF_SHIFT) != 0;
  key.ctrl = (flags & HOTKEYF_CONTROL) != 0;
  key.alt = (flags & HOTKEYF_ALT) != 0;
  if (key.key == 0) key = HotKey{};
  return key;
}

UINT HotKeyModifiers(const HotKey& key) {
  UINT modifiers = 0;
  if (key.alt) modifiers |= MOD_ALT;
  if (key.ctrl) modifiers |= MOD_CONTROL;
  if (key.shift) modifiers |= MOD_SHIFT;
  if (key.win) modifiers |= MOD_WIN;
  return modifiers;
}

bool RegisterHotKeyFor(HWND window, int id, const HotKey& key) {
  if (key.None()) return false;
  return RegisterHotKey(window, id, HotKeyModifiers(key), key.key) != FALSE;
}

}  // namespace kb::win
