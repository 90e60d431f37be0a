#include "model/entry_rules.h"

#include <gtest/gtest.h>

namespace kb {
namespace {

TEST(EntryRulesTest, RegisteringAFileFillsTheRecordFromItsPath) {
  TLaunchData record;
  record.DoBackUp = true;
  record.IconIndex = 7;
  record.ExecOption = 3;
  ApplyFileToRecord(record, "C:\\Tools\\Notepad.exe");
  EXPECT_EQ(record.FPFileName, "C:\\Tools\\Notepad.exe");
  EXPECT_EQ(record.WorkingDir, "C:\\Tools\\");
  EXPECT_EQ(record.ShowName, "Notepad");
  EXPECT_EQ(record.IconFile, "C:\\Tools\\Notepad.exe");
  EXPECT_EQ(record.IconIndex, 0);
  EXPECT_EQ(record.ExecOption, 1);
  EXPECT_TRUE(record.DoBackUp);  // the backup switch belongs to the slot
}

TEST(EntryRulesTest, RegisteringSplitsDoubleBytePathsAtRealSeparators) {
  TLaunchData record;
  // "表" ends in the byte 0x5C; it is no separator.
  ApplyFileToRecord(record, "C:\\表\\表.txt");
  EXPECT_EQ(record.WorkingDir, "C:\\表\\");
  EXPECT_EQ(record.ShowName, "表");
  TLaunchData folder;
  ApplyFileToRecord(folder, "D:\\data\\v1.2");
  EXPECT_EQ(folder.ShowName, "v1");  // a folder's name loses its part after the dot too
}

TEST(EntryRulesTest, ShortcutsAreRecognisedByTheirCutLowerCasedExtension) {
  EXPECT_TRUE(IsShortcutPath("C:\\a\\b.lnk"));
  EXPECT_TRUE(IsShortcutPath("C:\\a\\B.LNK"));
  EXPECT_TRUE(IsShortcutPath("C:\\a\\b.lnkx"));  // cut to four characters
  EXPECT_FALSE(IsShortcutPath("C:\\a\\b.ln"));
  EXPECT_FALSE(IsShortcutPath("C:\\a.lnk\\b"));
  EXPECT_FALSE(IsShortcutPath("C:\\a\\lnk"));
}

TEST(EntryRulesTest, DroppedNamesAreJoinedWithTabsWithoutQuotes) {
  EXPECT_EQ(JoinDropParameters({"C:\\a.txt", "C:\\b c.txt"}), "C:\\a.txt\tC:\\b c.txt");
  EXPECT_EQ(JoinDropParameters({"C:\\a.txt"}), "C:\\a.txt");
  EXPECT_EQ(JoinDropParameters({}), "");
}

TEST(EntryRulesTest, NamesThatDoNotFitTheBufferAreRefused) {
  EXPECT_TRUE(DroppedNameFits(std::string(254, 'a')));
  EXPECT_FALSE(DroppedNameFits(std::string(255, 'a')));
}

TEST(EntryRulesTest, FolderImportSkipsOnlyDotAndDotDot) {
  EXPECT_FALSE(IsImportableName("."));
  EXPECT_FALSE(IsImportableName(".."));
  EXPECT_TRUE(IsImportableName("ab"));
  EXPECT_TRUE(IsImportableName("a"));
  EXPECT_TRUE(IsImportableName("..."));
  EXPECT_TRUE(IsImportableName(".x"));
}

}  // namespace
}  // namespace kb
