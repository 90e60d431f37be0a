#include "model/edit_rules.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

TEST(ExecOptionItemTest, ListValuesShowThemselvesOthersTheMatchingStart) {
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(ExecOptionItem(i), i);
  EXPECT_EQ(ExecOptionItem(7), 2);   // minimised, not activated: a shortcut's "minimised"
  EXPECT_EQ(ExecOptionItem(6), 2);
  EXPECT_EQ(ExecOptionItem(8), 4);
  EXPECT_EQ(ExecOptionItem(5), 1);
  EXPECT_EQ(ExecOptionItem(10), 1);
  EXPECT_EQ(ExecOptionItem(-3), 1);
  EXPECT_EQ(ExecOptionItem(1000), 1);
}

TEST(ExecOptionFromChoiceTest, SelectionThenExactTextThenLastShownItem) {
  EXPECT_EQ(ExecOptionFromChoice(3, "whatever", 0), 3);
  EXPECT_EQ(ExecOptionFromChoice(-1, "最大化で起動", 1), 3);
  EXPECT_EQ(ExecOptionFromChoice(-1, "非ｱｸﾃｨﾌﾞ化で起動", 1), 4);
  // A text that only resembles an item is not that item.
  EXPECT_EQ(ExecOptionFromChoice(-1, "最大化で起動 ", 0), 0);
  EXPECT_EQ(ExecOptionFromChoice(-1, "", 2), 2);
  EXPECT_EQ(ExecOptionFromChoice(-1, "abc", -1), 1);
  EXPECT_EQ(ExecOptionFromChoice(9, "abc", 4), 4);
}

TEST(IconItemToSelectTest, OutOfRangeIndexSelectsTheFirstIcon) {
  EXPECT_EQ(IconItemToSelect(2, 3), 2);
  EXPECT_EQ(IconItemToSelect(3, 3), 0);
  EXPECT_EQ(IconItemToSelect(-1, 3), 0);
  EXPECT_EQ(IconItemToSelect(0, 1), 0);
}

TEST(IconListPercentTest, IntegerDivision) {
  EXPECT_EQ(IconListPercent(1, 3), 33);
  EXPECT_EQ(IconListPercent(2, 3), 66);
  EXPECT_EQ(IconListPercent(3, 3), 100);
  EXPECT_EQ(IconListPercent(1, 184), 0);
  EXPECT_EQ(IconListPercent(1, 0), 0);
}

TEST(SplitFilterTest, SplitsAtBarsButNotInsideDoubleByteCharacters) {
  const auto parts = SplitFilter("実行ﾌｧｲﾙ (*.EXE)|*.exe|ｼｮｰﾄｶｯﾄ(*.lnk)|*.lnk");
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0], "実行ﾌｧｲﾙ (*.EXE)");
  EXPECT_EQ(parts[1], "*.exe");
  EXPECT_EQ(parts[3], "*.lnk");
  // "ポ" is 83 7C in Shift-JIS: its second byte is a bar.
  const std::string po = "ポ";
  ASSERT_EQ(po, "\x83\x7C");
  const auto kana = SplitFilter(po + "|*.x");
  ASSERT_EQ(kana.size(), 2u);
  EXPECT_EQ(kana[0], po);
  EXPECT_EQ(kana[1], "*.x");
}

TEST(InitialFolderTest, FolderWithoutTrailingBackslashDoubleByteAware) {
  EXPECT_EQ(InitialFolder("C:\\Tools\\a.exe"), "C:\\Tools");
  EXPECT_EQ(InitialFolder("C:\\a.exe"), "C:\\");
  EXPECT_EQ(InitialFolder("a.exe"), "");
  EXPECT_EQ(InitialFolder(""), "");
  // The second byte of "表" is a backslash; it ends no folder.
  EXPECT_EQ(InitialFolder("C:\\表\\x.exe"), "C:\\表");
  EXPECT_EQ(InitialFolder("C:\\d\\表.exe"), "C:\\d");
}

}  // namespace
}  // namespace kb
