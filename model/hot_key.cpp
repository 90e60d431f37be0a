#include "model/hot_key.h"

#include <array>
#include <cstdio>

namespace kb {
namespace {

// Virtual-key codes with a name of their own.  Letters and digits are their
// own characters; F1 … F24 follow from F1.
struct NamedKey {
  const char* name;
  uint8_t code;
};
constexpr NamedKey kNamedKeys[] = {
    {"Backspace", 0x08}, {"Tab", 0x09},      {"Enter", 0x0D},    {"Pause", 0x13},
    {"Space", 0x20},     {"PageUp", 0x21},   {"PageDown", 0x22}, {"End", 0x23},
    {"Home", 0x24},      {"Left", 0x25},     {"Up", 0x26},       {"Right", 0x27},
    {"Down", 0x28},      {"Insert", 0x2D},   {"Delete", 0x2E},   {"Num*", 0x6A},
    {"Num+", 0x6B},      {"Num-", 0x6D},     {"Num.", 0x6E},     {"Num/", 0x6F},
};
constexpr uint8_t kF1 = 0x70, kFunctionKeys = 24;
constexpr uint8_t kNumpad0 = 0x60;
// Keys that are never the key of a hot key: the modifiers themselves and
// Esc (which closes what the hot key opened).
constexpr uint8_t kRefused[] = {0x10, 0x11, 0x12, 0x1B, 0x5B, 0x5C, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The virtual-key code a key name stands for; 0 when it names none.
uint8_t KeyCodeOf(std::string_view name) {
  if (name.size() == 1) {
    const char c = name[0];
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c);
    if (Lower(c) >= 'a' && Lower(c) <= 'z') return static_cast<uint8_t>(Lower(c) - 'a' + 'A');
    return 0;
  }
  for (const NamedKey& k : kNamedKeys) {
    if (SameText(name, k.name)) return k.code;
  }
  if (name.size() == 4 && SameText(name.substr(0, 3), "num") && name[3] >= '0' && name[3] <= '9') {
    return static_cast<uint8_t>(kNumpad0 + (name[3] - '0'));
  }
  if ((name.size() == 2 || name.size() == 3) && Lower(name[0]) == 'f') {
    int n = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      n = n * 10 + (c - '0');
    }
    if (n >= 1 && n <= kFunctionKeys && name[1] != '0') return static_cast<uint8_t>(kF1 + n - 1);
    return 0;
  }
  if (name.size() == 3 && name[0] == '#') {
    const int high = HexDigit(name[1]), low = HexDigit(name[2]);
    if (high < 0 || low < 0) return 0;
    return static_cast<uint8_t>(high * 16 + low);
  }
  return 0;
}

std::string KeyName(uint8_t code) {
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, static_cast<char>(code));
  char name[8];
  if (code >= kF1 && code < kF1 + kFunctionKeys) {
    std::snprintf(name, sizeof name, "F%u", static_cast<unsigned>(code - kF1 + 1));
    return name;
  }
  if (code >= kNumpad0 && code <= kNumpad0 + 9) {
    std::snprintf(name, sizeof name, "Num%u", static_cast<unsigned>(code - kNumpad0));
    return name;
  }
  for (const NamedKey& k : kNamedKeys) {
    if (k.code == code) return k.name;
  }
  std::snprintf(name, sizeof name, "#%02X", static_cast<unsigned>(code));
  return name;
}

bool RefusedKey(uint8_t code) {
  for (uint8_t refused : kRefused) {
    if (code == refused) return true;
  }
  return false;
}

}  // namespace

std::optional<HotKey> ParseHotKey(std::string_view text) {
  text = Trimmed(text);
  if (SameText(text, kNoHotKeyText)) return HotKey{};
  HotKey result;
  while (!text.empty()) {
    // "Num+" names a key: a "+" right after "Num" belongs to it.
    size_t plus = text.find('+');
    if (plus != std::string_view::npos && plus >= 3 && SameText(Trimmed(text.substr(0, plus)), "num")) {
      plus = text.find('+', plus + 1);
    }
    const std::string_view part = Trimmed(text.substr(0, plus));
    const bool last = plus == std::string_view::npos;
    text = last ? std::string_view() : text.substr(plus + 1);
    if (last) {
      result.key = KeyCodeOf(part);
      if (result.key == 0 || RefusedKey(result.key)) return std::nullopt;
      break;
    }
    bool* modifier = SameText(part, "ctrl")    ? &result.ctrl
                     : SameText(part, "alt")   ? &result.alt
                     : SameText(part, "shift") ? &result.shift
                     : SameText(part, "win")   ? &result.win
                                               : nullptr;
    if (!modifier || *modifier) return std::nullopt;  // unknown or twice
    *modifier = true;
  }
  if (result.None() || !UsableHotKey(result)) return std::nullopt;
  return result;
}

std::string HotKeyText(const HotKey& key) {
  if (key.None()) return kNoHotKeyText;
  std::string text;
  if (key.ctrl) text += "Ctrl+";
  if (key.alt) text += "Alt+";
  if (key.shift) text += "Shift+";
  if (key.win) text += "Win+";
  return text + KeyName(key.key);
}

bool UsableHotKey(const HotKey& key) {
  if (key.None()) return true;
  if (RefusedKey(key.key)) return false;
  return key.ctrl || key.alt || key.win || (key.key >= kF1 && key.key < kF1 + kFunctionKeys);
}

HotKey EffectiveHotKey(std::string_view stored) {
  if (const std::optional<HotKey> key = ParseHotKey(stored)) return *key;
  return *ParseHotKey(kDefaultHotKeyText);
}

}  // namespace kb
