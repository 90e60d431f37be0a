// The backup schedule with the real dialog, the real settings file and real
// workers: saving after the registration's OK, counting launches down and
// backing up when one is due.
#include "backup/backup_schedule.h"

#include <gtest/gtest.h>

#include "backup/backup_worker.h"
#include "backup/bkup_dlg.h"
#include "backup/lha_library.h"
#include "backup/tests/backup_test_support.h"
#include "common/profile.h"
#include "win/text.h"

namespace kb {
namespace {

using backup_testing::TempDir;

class BackupScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.Write("APP\\one.DAT", "1");
    app_.Write("APP\\two.DAT", "2");
    app_.MakeFolder("BACK");
  }
  std::string File() const { return launcher_.Read("data\\BUInfo.dat"); }
  int32_t Stored(const std::string& section, const std::string& key) const {
    return ProfileReader::FromBytes(File()).ReadInteger(section, key, -999);
  }

  TempDir launcher_{"kbl"};
  TempDir app_;
  BackupWorkers workers_{std::make_shared<LhaLibrary>()};
  TBKUPDlg dialog_{nullptr};
  BackupSchedule schedule_{dialog_, launcher_.path(), [] { return false; }, workers_};
};

TEST_F(BackupScheduleTest, SavingDropsShortTargetsFromTheListAndAnEmptyListErases) {
  BackupSettings s;
  s.targets = {"*.*", app_.Path("APP\\*.DAT")};
  s.Folder = app_.Path("BACK");
  s.Times = 3;
  dialog_.Load(s);
  schedule_.SaveBackupSettings("binf101");
  EXPECT_EQ(dialog_.Current().targets, (std::vector<std::string>{app_.Path("APP\\*.DAT")}));
  EXPECT_EQ(Stored("binf101", "Number"), 1);
  EXPECT_EQ(Stored("binf101", "Times"), 3);
  EXPECT_EQ(launcher_.List("data\\"), (std::vector<std::string>{"BUInfo.dat"}));

  dialog_.ClearTargets();  // "登録削除" then OK
  schedule_.SaveBackupSettings("binf101");
  EXPECT_FALSE(ProfileReader::FromBytes(File()).SectionExists("binf101"));
}

TEST_F(BackupScheduleTest, AFreshPositionBacksUpAtItsFirstLaunchThenEveryTimesLaunches) {
  BackupSettings s;
  s.targets = {app_.Path("APP\\*.DAT")};
  s.Folder = app_.Path("BACK");
  s.Times = 2;
  dialog_.Load(s);
  schedule_.SaveBackupSettings("binf205");

  schedule_.LoadBackupSettings("binf205");
  schedule_.CountDownBackup("binf205");
  ASSERT_TRUE(workers_.WaitAll(10000));
  EXPECT_EQ(app_.List("BACK\\"), (std::vector<std::string>{"one.DAT", "two.DAT"}));
  EXPECT_EQ(Stored("binf205", "Next"), 2);

  app_.Write("APP\\one.DAT", "changed");
  schedule_.LoadBackupSettings("binf205");
  schedule_.CountDownBackup("binf205");  // Next 2 -> 1: no backup
  ASSERT_TRUE(workers_.WaitAll(10000));
  EXPECT_EQ(app_.Read("BACK\\one.DAT"), "1");
  EXPECT_EQ(Stored("binf205", "Next"), 1);

  schedule_.LoadBackupSettings("binf205");
  schedule_.CountDownBackup("binf205");
  ASSERT_TRUE(workers_.WaitAll(10000));
  EXPECT_EQ(app_.Read("BACK\\one.DAT"), "changed");
  EXPECT_EQ(Stored("binf205", "Next"), 2);
}

TEST_F(BackupScheduleTest, AnEmptyListErasesTheSectionAtEveryLaunchAndStillStartsAWorker) {
  schedule_.LoadBackupSettings("binf101");
  schedule_.CountDownBackup("binf101");
  ASSERT_TRUE(workers_.WaitAll(10000));
  EXPECT_FALSE(ProfileReader::FromBytes(File()).SectionExists("binf101"));
  schedule_.LoadBackupSettings("binf101");
  EXPECT_EQ(dialog_.Current().Next, 1);
}

TEST_F(BackupScheduleTest, AFileThatCannotBeWrittenIsNotReported) {
  launcher_.MakeFolder("data");
  launcher_.MakeFolder("data\\BUInfo.dat");  // a folder in the file's place
  BackupSettings s;
  s.targets = {app_.Path("APP\\one.DAT")};
  dialog_.Load(s);
  EXPECT_NO_THROW(schedule_.SaveBackupSettings("binf101"));
  EXPECT_NO_THROW(schedule_.CountDownBackup("binf101"));
  ASSERT_TRUE(workers_.WaitAll(10000));
}

TEST_F(BackupScheduleTest, ABackupTheCloseKeptFromBeingMadeLeavesItsCountdownDue) {
  BackupWorkers late{std::make_shared<LhaLibrary>()};
  BackupSchedule schedule{dialog_, launcher_.path(), [] { return true; }, late};
  BackupSettings s;
  s.targets = {app_.Path("APP\\*.DAT")};
  s.Folder = app_.Path("BACK");
  s.Times = 3;
  s.Next = -2;  // edited in the file
  for (const char* section : {"binf101", "binf102", "binf103"}) {
    dialog_.Load(s);
    schedule.SaveBackupSettings(section);
    schedule.LoadBackupSettings(section);
    schedule.CountDownBackup(section);  // due: a worker waits 20 seconds
    EXPECT_EQ(Stored(section, "Next"), 3) << section;
  }
  dialog_.ClearTargets();  // binf103 deleted meanwhile
  schedule.SaveBackupSettings("binf103");
  ASSERT_EQ(late.Running(), 3u);

  schedule.EndWorkers();
  EXPECT_EQ(late.Running(), 0u);
  EXPECT_TRUE(app_.List("BACK\\").empty()) << "no copy at the close";
  EXPECT_EQ(Stored("binf101", "Next"), -2) << "as before the launch: the next one backs up";
  EXPECT_EQ(Stored("binf102", "Next"), -2);
  EXPECT_EQ(Stored("binf102", "Number"), 1);
  EXPECT_FALSE(ProfileReader::FromBytes(File()).SectionExists("binf103"));
}

TEST_F(BackupScheduleTest, EndingWorkersThatAllFinishedChangesNothing) {
  BackupSettings s;
  s.targets = {app_.Path("APP\\*.DAT")};
  s.Folder = app_.Path("BACK");
  s.Times = 4;
  dialog_.Load(s);
  schedule_.SaveBackupSettings("binf101");
  schedule_.LoadBackupSettings("binf101");
  schedule_.CountDownBackup("binf101");
  ASSERT_TRUE(workers_.WaitAll(10000));
  const std::string before = File();
  schedule_.EndWorkers();
  EXPECT_EQ(File(), before);
  EXPECT_EQ(Stored("binf101", "Next"), 4);
}

}  // namespace
}  // namespace kb
