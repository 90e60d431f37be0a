#include "model/hot_key.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

HotKey Key(uint8_t code, bool ctrl, bool alt, bool shift = false, bool win = false) {
  return HotKey{code, ctrl, alt, shift, win};
}

TEST(HotKeyTest, TextsNameTheirKeys) {
  struct Case {
    const char* text;
    HotKey key;
  };
  const Case cases[] = {
      {"Ctrl+Alt+K", Key('K', true, true)},
      {" ctrl + ALT + k ", Key('K', true, true)},
      {"Alt+Ctrl+K", Key('K', true, true)},
      {"Shift+Win+F9", Key(0x78, false, false, true, true)},
      {"F12", Key(0x7B, false, false)},
      {"Ctrl+F24", Key(0x87, true, false)},
      {"Ctrl+Alt+PageUp", Key(0x21, true, true)},
      {"Ctrl+Alt+Num7", Key(0x67, true, true)},
      {"Ctrl+Num+", Key(0x6B, true, false)},
      {"Ctrl+Alt+#BA", Key(0xBA, true, true)},
      {"Ctrl+Alt+0", Key('0', true, true)},
      {"none", HotKey{}},
      {"NONE", HotKey{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<HotKey> key = ParseHotKey(c.text);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(*key, c.key);
    // What is written reads back as the same key.
    EXPECT_EQ(ParseHotKey(HotKeyText(*key)), key);
  }
  EXPECT_EQ(HotKeyText(Key('K', true, true)), kDefaultHotKeyText);
  EXPECT_EQ(HotKeyText(HotKey{}), kNoHotKeyText);
}

TEST(HotKeyTest, TextsThatNameNoUsableKeyAreRefused) {
  for (const char* text : {"", "Ctrl+Alt", "Ctrl+Alt+", "K", "Shift+K", "Ctrl+Ctrl+K", "Hyper+K",
                           "Ctrl+Alt+KK", "Ctrl+F0", "Ctrl+F25", "Ctrl+F01", "Ctrl+#G0",
                           "Ctrl+Alt+Esc", "Ctrl+#1B", "Ctrl+#10", "Alt+#5B", "Ctrl+Alt+K+L"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseHotKey(text).has_value());
  }
}

TEST(HotKeyTest, UnreadableOrMissingStoredKeyGivesTheDefault) {
  const HotKey fallback = *ParseHotKey(kDefaultHotKeyText);
  EXPECT_EQ(EffectiveHotKey(""), fallback);
  EXPECT_EQ(EffectiveHotKey("Shift+A"), fallback);
  EXPECT_EQ(EffectiveHotKey("Ctrl+Shift+F9"), Key(0x78, true, false, true));
  EXPECT_TRUE(EffectiveHotKey("none").None());
}

TEST(HotKeyTest, OnlyKeysThatLeaveTypingAloneAreUsable) {
  EXPECT_TRUE(UsableHotKey(HotKey{}));
  EXPECT_TRUE(UsableHotKey(Key('K', false, true)));
  EXPECT_TRUE(UsableHotKey(Key('K', false, false, false, true)));
  EXPECT_TRUE(UsableHotKey(Key(0x70, false, false)));
  EXPECT_FALSE(UsableHotKey(Key('K', false, false, true)));
  EXPECT_FALSE(UsableHotKey(Key(0x21, false, false)));
  EXPECT_FALSE(UsableHotKey(Key(0x11, true, true)));  // a modifier as the key
}

}  // namespace
}  // namespace kb
