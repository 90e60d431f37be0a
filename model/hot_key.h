// The key that calls the launcher from any program: its stored text (key
// "HotKey" of section "Info") and the key and modifiers it names.
//
// The text is the modifiers and the key joined by "+", as a user reads
// them: "Ctrl+Alt+K", "Shift+Win+F9", "Ctrl+Alt+PageUp"; "none" switches
// the key off.  A key without a name of its own is "#" and its virtual-key
// code in two hex digits ("Ctrl+Alt+#BA").  Reading ignores case and blanks
// around the parts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kb {

struct HotKey {
  uint8_t key = 0;  // the virtual-key code; 0: no key (switched off)
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  bool win = false;

  bool None() const { return key == 0; }
  bool operator==(const HotKey&) const = default;
};

// The key of a launcher whose settings never chose one.
inline constexpr char kDefaultHotKeyText[] = "Ctrl+Alt+K";
inline constexpr char kNoHotKeyText[] = "none";

// The key a text names; "none" gives the key switched off, anything that
// names no usable key nothing.
std::optional<HotKey> ParseHotKey(std::string_view text);

// The text that ParseHotKey reads back as the same key; "none" when off.
std::string HotKeyText(const HotKey& key);

// Whether a key may call the launcher from any program: off, or a key with
// Ctrl, Alt or Win held, or a function key.  A letter alone or with Shift
// would be taken away from every program's typing.
bool UsableHotKey(const HotKey& key);

// The key in force for a stored text: the stored one when it names a usable
// key, else (no text, or one this version cannot read) the default.
HotKey EffectiveHotKey(std::string_view stored);

}  // namespace kb
