// The copy of the options the settings dialog works on, and the small rules
// its controls follow.
#include <gtest/gtest.h>

#include "settings/settings_choice.h"

namespace kb {
namespace {

TEST(SettingsChoice, ListCountRisesOnlyToALargerLimitedNumber) {
  struct Case { bool limited; uint8_t fileNum, listCount, expected; };
  const Case cases[] = {{true, 30, 15, 30}, {false, 30, 15, 15}, {true, 10, 15, 15}, {true, 40, 39, 40}};
  for (const Case& k : cases) {
    Settings s;
    s.ListCount = k.listCount;
    SettingsChoice c = ChoiceOf(s, 0);
    c.MaxFileLimit = k.limited;
    c.TMaxFileNum = k.fileNum;
    uint8_t method = 0;
    TakeChoice(c, s, method);
    EXPECT_EQ(s.ListCount, k.expected) << int(k.fileNum) << " " << k.limited;
  }
}

TEST(SettingsChoice, ControlRulesForTaskbarExitMethodAndSpinText) {
  for (int onTray : {0, 1, 2, 255}) EXPECT_EQ(TaskbarItemOf(uint8_t(onTray)), onTray == 1 ? 1 : 0);
  const char* options[] = {"/S", "/F", "/W", "/R"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ExitToolOption(i), options[i]);
  EXPECT_EQ(ExitToolOption(-1), std::nullopt);
  EXPECT_EQ(ExitToolOption(4), std::nullopt);
  const std::pair<const char*, int> spins[] = {{"5", 5}, {"40", 40}, {"0", 1}, {"41", 40}, {"-3", 1},
                                               {" 7 ", 7}, {"", 1}, {"12a", 1}, {"99999999999999999999", 40}};
  for (const auto& [text, value] : spins) EXPECT_EQ(SpinValueOf(text, 1, 40), value) << text;
}

}  // namespace
}  // namespace kb
