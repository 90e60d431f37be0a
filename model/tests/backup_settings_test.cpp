#include "model/backup_settings.h"

#include <gtest/gtest.h>

#include "common/profile.h"

namespace kb {
namespace {

BackupSettings Read(const std::string& ini, const std::string& section = "binf101") {
  return ReadBackupSettings(ProfileReader::FromBytes(ini), section);
}

std::string Written(const std::string& before, BackupSettings& settings,
                    const std::string& section = "binf101") {
  ProfileWriter writer = ProfileWriter::FromBytes(before);
  SaveBackupSection(writer, section, settings);
  return writer.Bytes();
}

TEST(BackupSectionNameTest, GroupTimesHundredPlusButtonWithoutLeadingZeros) {
  const struct {
    int group, button;
    const char* name;
  } cases[] = {{3, 12, "binf312"}, {1, 1, "binf101"}, {1, 40, "binf140"}, {40, 40, "binf4040"},
               {10, 5, "binf1005"}};
  for (const auto& c : cases) EXPECT_EQ(BackupSectionName(c.group, c.button), c.name);
}

TEST(BackupSettingsReadTest, MissingSectionGivesTheDefaults) {
  const BackupSettings s = Read("[binf102]\r\nWay=1\r\nTimes=9\r\nNumber=1\r\nFile1=C:\\x.dat\r\n");
  EXPECT_EQ(s, BackupSettings{});
  EXPECT_EQ(s.Times, 5);
  EXPECT_EQ(s.Next, 1);
  EXPECT_EQ(s.Way, BackupWay::Copy);
}

TEST(BackupSettingsReadTest, StoredValuesAreRead) {
  const BackupSettings s = Read(
      "[binf101]\r\nWay=1\r\nFolder=D:\\Backup\r\nTimes=7\r\nNext=3\r\nNumber=2\r\n"
      "File1=C:\\APP\\*.DAT\r\nFile2=C:\\APP\\main.ini\r\n");
  EXPECT_EQ(s.Way, BackupWay::Archive);
  EXPECT_EQ(s.Folder, "D:\\Backup");
  EXPECT_EQ(s.Times, 7);
  EXPECT_EQ(s.Next, 3);
  EXPECT_EQ(s.targets, (std::vector<std::string>{"C:\\APP\\*.DAT", "C:\\APP\\main.ini"}));
}

TEST(BackupSettingsReadTest, WayAndNumberCountOnlyTheirLowEightBits) {
  const struct {
    const char* way;
    BackupWay expected;
  } ways[] = {{"0", BackupWay::Copy}, {"1", BackupWay::Archive}, {"256", BackupWay::Copy},
              {"257", BackupWay::Archive}, {"2", BackupWay::Archive}, {"-256", BackupWay::Copy},
              {"x", BackupWay::Copy}};
  for (const auto& c : ways) {
    EXPECT_EQ(Read(std::string("[binf101]\r\nWay=") + c.way + "\r\n").Way, c.expected) << c.way;
  }
  const BackupSettings s =
      Read("[binf101]\r\nNumber=257\r\nFile1=C:\\one.dat\r\nFile2=C:\\two.dat\r\n");
  EXPECT_EQ(s.targets, (std::vector<std::string>{"C:\\one.dat"}));
}

TEST(BackupSettingsReadTest, IntervalIsBroughtIntoItsRange) {
  const struct {
    const char* stored;
    int32_t shown;
  } cases[] = {{"0", 1}, {"500", 100}, {"-3", 1}, {"1", 1}, {"100", 100}, {"42", 42},
               {"many", 5}};
  for (const auto& c : cases) {
    EXPECT_EQ(Read(std::string("[binf101]\r\nTimes=") + c.stored + "\r\n").Times, c.shown)
        << c.stored;
  }
}

TEST(BackupSettingsReadTest, NextIsTakenAsStoredAndANonNumberGivesTheDefault) {
  EXPECT_EQ(Read("[binf101]\r\nNext=-7\r\n").Next, -7);
  EXPECT_EQ(Read("[binf101]\r\nNext=0\r\n").Next, 0);
  EXPECT_EQ(Read("[binf101]\r\nNext=soon\r\n").Next, 1);
}

TEST(BackupSettingsReadTest, TargetsAreSortedInAndMissingKeysReadEmpty) {
  const BackupSettings s = Read(
      "[binf101]\r\nNumber=4\r\nFile1=c:\\b.dat\r\nFile2=C:\\A.dat\r\nFile4=C:\\a.dat\r\n");
  EXPECT_EQ(s.targets, (std::vector<std::string>{"", "C:\\A.dat", "C:\\a.dat", "c:\\b.dat"}));
}

TEST(BackupTargetOrderTest, LettersWithoutCaseDoubleByteCharactersWhole) {
  std::vector<std::string> list;
  for (const char* t : {"C:\\zeta.dat", "C:\\Alpha.dat", "C:\\表\\a.dat", "c:\\beta.dat",
                        "C:\\ALPHA.dat", "C:\\\x95\x5c.dat"}) {
    InsertTarget(list, t);
  }
  // "表" (95 5C) sorts after every single-byte character; its trail byte is
  // not folded, and the equal ALPHA/Alpha keep their order of adding.
  EXPECT_EQ(list, (std::vector<std::string>{"C:\\ALPHA.dat", "C:\\Alpha.dat", "c:\\beta.dat",
                                            "C:\\zeta.dat", "C:\\\x95\x5c.dat",
                                            "C:\\表\\a.dat"}));
  EXPECT_EQ(SortedInsertIndex(list, "C:\\alpha.dat"), 2u);  // after the equal ones
}

TEST(BackupTargetOrderTest, NewTargetsAreRefusedBeyondTheStoredCountOrThePathLimit) {
  EXPECT_EQ(CheckNewTarget(254, "C:\\a.dat"), TargetRefusal::None);
  EXPECT_EQ(CheckNewTarget(255, "C:\\a.dat"), TargetRefusal::ListFull);
  EXPECT_EQ(CheckNewTarget(0, "C:\\" + std::string(252, 'x')), TargetRefusal::None);
  EXPECT_EQ(CheckNewTarget(0, "C:\\" + std::string(253, 'x')), TargetRefusal::PathTooLong);
}

TEST(BackupTimesTextTest, SpinEditTextAsInterval) {
  const struct {
    const char* text;
    int32_t times;
  } cases[] = {{"12", 12}, {"0", 1}, {"101", 100}, {"", 1}, {"abc", 1}, {"99999999999", 1},
               {"-4", 1}};
  for (const auto& c : cases) EXPECT_EQ(BackupTimesFromText(c.text), c.times) << c.text;
}

TEST(BackupSettingsSaveTest, KeysInOrderAfterShortTargetsAreDropped) {
  BackupSettings s;
  s.targets = {"*.*", "C:\\APP\\*.DAT", "表.a", "C:\\x"};
  s.Folder = "D:\\Back";
  s.Way = BackupWay::Archive;
  s.Times = 500;
  s.Next = 4;
  EXPECT_EQ(Written("", s),
            "[binf101]\r\nWay=1\r\nFolder=D:\\Back\r\nTimes=100\r\nNext=4\r\nNumber=2\r\n"
            "File1=C:\\APP\\*.DAT\r\nFile2=C:\\x\r\n");
  // "表.a" has three characters in four bytes: it goes too, and the list
  // the caller shows follows.
  EXPECT_EQ(s.targets, (std::vector<std::string>{"C:\\APP\\*.DAT", "C:\\x"}));
}

TEST(BackupSettingsSaveTest, AllTargetsDroppedStillWritesTheSectionWithNumberZero) {
  BackupSettings s;
  s.targets = {"*.*", "a"};
  s.Next = 2;
  EXPECT_EQ(Written("[binf101]\r\nNumber=2\r\nFile1=*.*\r\nFile2=a\r\n", s),
            "[binf101]\r\nNumber=0\r\nFile1=*.*\r\nFile2=a\r\nWay=0\r\nFolder=\r\n"
            "Times=5\r\nNext=2\r\n");
  EXPECT_TRUE(s.targets.empty());
}

TEST(BackupSettingsSaveTest, EmptyListErasesOnlyItsSection) {
  BackupSettings s;
  s.Next = 9;
  EXPECT_EQ(Written("[binf101]\r\nWay=1\r\nNumber=1\r\nFile1=C:\\a.dat\r\n[binf102]\r\nWay=1\r\n",
                    s),
            "[binf102]\r\nWay=1\r\n");
}

TEST(BackupSettingsSaveTest, ShrinkingTheListLeavesStaleFileKeysThatNothingReads) {
  const std::string before =
      "[binf101]\r\nWay=0\r\nFolder=D:\\B\r\nTimes=5\r\nNext=1\r\nNumber=5\r\n"
      "File1=C:\\1.dat\r\nFile2=C:\\2.dat\r\nFile3=C:\\3.dat\r\nFile4=C:\\4.dat\r\nFile5=C:\\5.dat\r\n";
  BackupSettings s = Read(before);
  s.targets.resize(3);
  const std::string after = Written(before, s);
  EXPECT_NE(after.find("Number=3\r\n"), std::string::npos);
  EXPECT_NE(after.find("File4=C:\\4.dat\r\nFile5=C:\\5.dat\r\n"), std::string::npos);
  EXPECT_EQ(Read(after).targets, (std::vector<std::string>{"C:\\1.dat", "C:\\2.dat", "C:\\3.dat"}));
}

TEST(BackupSettingsSaveTest, ReadBackGivesWhatWasSaved) {
  BackupSettings s;
  s.targets = {"C:\\APP\\*.DAT", "C:\\表示\\data.ini"};
  s.Folder = " D:\\with outer space ";
  s.Way = BackupWay::Archive;
  s.Times = 12;
  s.Next = -3;
  BackupSettings saved = s;
  EXPECT_EQ(Read(Written("", saved)), s);
}

TEST(BackupCountDownTest, LaunchesUntilTheNextBackup) {
  const struct {
    int32_t times, next;
    bool due;
    int32_t nextAfter;
  } cases[] = {
      {5, 1, true, 5},                   // a fresh position backs up at its first launch
      {1, 1, true, 1},                   // Times 1: every launch
      {5, 0, true, 5},                   // edited to 0 or below: the next launch
      {5, -9, true, 5},
      {5, INT32_MIN, true, 5},           // no overflow below the smallest value
      {5, 7, false, 6},
      {5, 2, false, 1},
      {5, INT32_MAX, false, INT32_MAX - 1},
  };
  for (const auto& c : cases) {
    BackupSettings s;
    s.Times = c.times;
    s.Next = c.next;
    EXPECT_EQ(CountDown(s), c.due) << c.next;
    EXPECT_EQ(s.Next, c.nextAfter) << c.next;
  }
}

TEST(BackupCountDownTest, IntervalTakesEffectWhenNextRunsOut) {
  BackupSettings s;  // no section yet: Next 1, Times 5
  int backups = 0;
  for (int launch = 1; launch <= 11; ++launch) backups += CountDown(s) ? 1 : 0;
  EXPECT_EQ(backups, 3);  // launches 1, 6 and 11
  s.Times = 2;            // a changed interval does not change Next
  EXPECT_EQ(s.Next, 5);
}

TEST(BackupCountdownTextTest, TheValueLoadedBetweenTheTwoPieces) {
  EXPECT_EQ(CountdownText(7),
            "指定されたデータは、あと　7回の起動後にバックアップされます");
  EXPECT_EQ(CountdownText(-2),
            "指定されたデータは、あと　-2回の起動後にバックアップされます");
}

TEST(StoredBackupFoldersTest, EveryStoredFolderOnceInSectionOrder) {
  const ProfileReader reader = ProfileReader::FromBytes(
      "[binf101]\r\nFolder=D:\\Back\r\n[binf4040]\r\nFolder=E:\\Last\r\n"
      "[binf205]\r\nFolder=d:\\BACK\r\n[binf301]\r\nFolder=\r\n[binf4100]\r\nFolder=F:\\x\r\n"
      "[binf102]\r\nWay=1\r\n[Other]\r\nFolder=G:\\y\r\n");
  EXPECT_EQ(StoredBackupFolders(reader), (std::vector<std::string>{"D:\\Back", "E:\\Last"}));
}

TEST(BackupCountdownWriteTest, OnlyNextChanges) {
  ProfileWriter writer = ProfileWriter::FromBytes("[binf101]\r\nWay=1\r\nNext=3\r\nNumber=1\r\n");
  WriteBackupCountdown(writer, "binf101", -2);
  EXPECT_EQ(writer.Bytes(), "[binf101]\r\nWay=1\r\nNext=-2\r\nNumber=1\r\n");
}

}  // namespace
}  // namespace kb
