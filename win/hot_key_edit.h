// The system's hot-key field (msctls_hotkey32) for a HotKey, and the
// registration of a HotKey with the system.
#pragma once

#include <windows.h>

#include "model/hot_key.h"
#include "win/controls.h"

namespace kb::win {

// The field shows the key the user presses with its modifiers.  A letter,
// digit or other plain key pressed without Ctrl or Alt becomes Ctrl+Alt and
// that key; Backspace empties the field ("なし"), which reads as no key.
// The field cannot show Win: a key with Win shows without it.
class HotKeyEdit : public Control {
 public:
  bool Create(HWND parent, int id, int x, int y, int width, int height);
  void SetKey(const HotKey& key);
  HotKey Key() const;
};

// RegisterHotKey's modifiers for a key.
UINT HotKeyModifiers(const HotKey& key);

// Registers `key` as hot key `id` of `window` (WM_HOTKEY; nullptr: of the
// calling thread); false when the
// system refuses, mostly because another program holds the key.
bool RegisterHotKeyFor(HWND window, int id, const HotKey& key);

}  // namespace kb::win
