// The copy of the options the settings dialog works on, and the small rules
// its controls follow.
#include <gtest/gtest.h>

#include "settings/settings_choice.h"

namespace kb {
namespace {

Settings Sample() {
  Settings s;
  s.Type = 3;
  s.AutoHide = true;
  s.NotActiveHide = true;
  s.SaverPause = true;
  s.TMaxFileNum = 12;
  s.LateBU = true;
  s.OnTray = 1;
  s.GroupCount = 17;
  s.ListCount = 20;
  s.VersionStamp = "2.00";
  s.SettingsPath = "C:\\kb\\data\\KBINI.dat";
  return s;
}

TEST(SettingsChoice, TakenBackUnchangedLeavesTheSettingsAsTheyWere) {
  const Settings before = Sample();
  Settings after = before;
  uint8_t method = 2;
  TakeChoice(ChoiceOf(before, 2), after, method);
  EXPECT_EQ(after, before);
  EXPECT_EQ(method, 2);
}

TEST(SettingsChoice, EveryChosenOptionAndTheExitMethodAreTakenButNothingElse) {
  Settings s = Sample();
  SettingsChoice c = ChoiceOf(s, 0);
  c.Type = 0;
  c.AutoHide = false;
  c.ExecHide = true;
  c.NotActiveHide = false;
  c.StayonTop = true;
  c.SaverPause = false;
  c.MouseOnActive = true;
  c.TMaxFileNum = 7;
  c.MaxFileLimit = true;
  c.LateBU = false;
  c.OnTray = 0;
  c.StartUp = true;
  c.ExitMethod = 3;
  uint8_t method = 0;
  TakeChoice(c, s, method);
  EXPECT_EQ(ChoiceOf(s, method), c);
  // What the dialog does not edit stays.
  EXPECT_EQ(s.GroupCount, 17);
  EXPECT_EQ(s.ListCount, 20);
  EXPECT_EQ(s.VersionStamp, "2.00");
  EXPECT_EQ(s.SettingsPath, "C:\\kb\\data\\KBINI.dat");
}

TEST(SettingsChoice, ListCountRisesOnlyToALargerLimitedNumber) {
  struct Case { bool limited; uint8_t fileNum, listCount, expected; };
  const Case cases[] = {{true, 30, 15, 30}, {false, 30, 15, 15}, {true, 10, 15, 15},
                        {true, 15, 15, 15}, {true, 40, 39, 40}};
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

TEST(SettingsChoice, OnlyOnTrayOneShowsTheHidingItem) {
  for (int onTray : {0, 1, 2, 7, 255}) {
    EXPECT_EQ(TaskbarItemOf(static_cast<uint8_t>(onTray)), onTray == 1 ? 1 : 0) << onTray;
  }
}

TEST(SettingsChoice, ExitMethodsGiveTheToolsOptionsInTheirOrder) {
  EXPECT_EQ(ExitToolOption(0), "/S");
  EXPECT_EQ(ExitToolOption(1), "/F");
  EXPECT_EQ(ExitToolOption(2), "/W");
  EXPECT_EQ(ExitToolOption(3), "/R");
  EXPECT_EQ(ExitToolOption(-1), std::nullopt);
  EXPECT_EQ(ExitToolOption(4), std::nullopt);
}

TEST(SettingsChoice, SpinTextIsKeptWithinTheRange) {
  struct Case { const char* text; int expected; };
  const Case cases[] = {{"5", 5},   {"1", 1},     {"40", 40}, {"0", 1},  {"41", 40},
                        {"-3", 1},  {" 7 ", 7},   {"", 1},    {"12a", 1}, {"abc", 1},
                        {"99999999999999999999", 40}, {"-99999999999999999999", 1}};
  for (const Case& k : cases) {
    EXPECT_EQ(SpinValueOf(k.text, kMinFileNum, kMaxFileNum), k.expected) << k.text;
  }
}

}  // namespace
}  // namespace kb
