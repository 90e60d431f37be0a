#include "model/backup_command.h"

#include <gtest/gtest.h>

#include <map>

namespace kb {
namespace {

TEST(ArchiveStampTest, TwoDigitsForEachPartInOrder) {
  EXPECT_EQ(ArchiveStamp({1998, 12, 31, 23, 59, 59}), "981231235959");
  EXPECT_EQ(ArchiveStamp({2005, 1, 2, 3, 4, 5}), "050102030405");
  EXPECT_EQ(ArchiveStamp({2000, 10, 9, 0, 0, 0}), "001009000000");
}

TEST(NumberedArchiveNameTest, TheFirstNameIsTheArchiversThenANumberBeforeTheExtension) {
  const struct {
    const char* name;
    int n;
    const char* numbered;
  } cases[] = {
      {"981231235959.lzh", 1, "981231235959.lzh"},
      {"981231235959.lzh", 2, "981231235959_2.lzh"},
      {"981231235959.LZH", 13, "981231235959_13.LZH"},
      {"981231235959", 3, "981231235959_3"},
      {"a.b.lzh", 2, "a.b_2.lzh"},
      {"\x95\x5c.lzh", 2, "\x95\x5c_2.lzh"},  // the dot search walks whole characters
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberedArchiveName(c.name, c.n), c.numbered) << c.name << " " << c.n;
  }
}

TEST(StagingFolderTest, TheNameCarriesTheProcessAndOnlySuchNamesAreTaken) {
  EXPECT_EQ(StagingFolderOwner(StagingFolderName(1234, 7)), 1234u);
  EXPECT_EQ(StagingFolderOwner(StagingFolderName(0xFFFFFFFFu, 1)), 0xFFFFFFFFu);
  EXPECT_EQ(StagingFolderOwner("~KBARC88_2.KBTMP"), 88u);  // names compare without case
  for (const char* other : {"~kbarc_1.kbtmp", "~kbarc12.kbtmp", "~kbarc12_.kbtmp", "~kbarc1x_2.kbtmp",
                            "~kbarc12_3.tmp", "kbarc12_3.kbtmp", "~kbarc4294967296_1.kbtmp",
                            "981231235959.lzh", ""}) {
    EXPECT_EQ(StagingFolderOwner(other), std::nullopt) << other;
  }
}

TEST(ArchiveCommandLineTest, ArchivePathThenEveryTargetQuotedInListOrder) {
  EXPECT_EQ(ArchiveCommandLine("D:\\Back up", "981231235959",
                               {"C:\\APP\\*.DAT", "C:\\My Data\\a.ini"}),
            "a \"D:\\Back up\\981231235959\" \"C:\\APP\\*.DAT\" \"C:\\My Data\\a.ini\"");
  // The folder is used unchanged: a trailing backslash is doubled, and the
  // archive path has no extension of its own.
  EXPECT_EQ(ArchiveCommandLine("D:\\", "010203040506", {}), "a \"D:\\\\010203040506\"");
}

TEST(BackupPathPartsTest, BackslashOrColonEndsTheFolder) {
  const struct {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\APP\\*.DAT", "C:\\APP\\", "*.DAT"},
      {"C:*.DAT", "C:", "*.DAT"},
      {"data.dat", "", "data.dat"},
      {"C:\\表\\ソ.dat", "C:\\表\\", "ソ.dat"},  // trail bytes 0x5C are no separators
      {"C:\\APP\\", "C:\\APP\\", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TargetFolderPart(c.path), c.folder) << c.path;
    EXPECT_EQ(TargetNamePart(c.path), c.name) << c.path;
  }
  EXPECT_EQ(CopyDestination("D:\\B", "C:\\APP\\x.dat"), "D:\\B\\x.dat");
  EXPECT_EQ(CopyDestination("D:\\B\\", "C:\\表"), "D:\\B\\\\表");
}

// A search over a fixed table, recording the patterns asked for.
struct FakeSearch {
  std::map<std::string, std::vector<FoundEntry>> table;
  std::vector<std::string> asked;
  PatternSearch Get() {
    return [this](const std::string& pattern) {
      asked.push_back(pattern);
      auto it = table.find(pattern);
      return it == table.end() ? std::vector<FoundEntry>{} : it->second;
    };
  }
};

BackupJob CopyJob(std::vector<std::string> targets, std::string folder = "D:\\Back") {
  BackupJob job;
  job.Folder = std::move(folder);
  job.targets = std::move(targets);
  return job;
}

TEST(PlanCopiesTest, TargetsInListOrderEntriesInSearchOrder) {
  FakeSearch search;
  search.table["C:\\APP\\*.DAT"] = {{"b.DAT"}, {"A.DAT"}, {"c.DAT"}};
  search.table["C:\\Other\\a.dat"] = {{"A.DAT"}};
  search.table["E:*.ini"] = {{"x.ini"}};
  const std::vector<CopyStep> steps =
      PlanCopies(CopyJob({"C:\\APP\\*.DAT", "C:\\missing.dat", "C:\\Other\\a.dat", "E:*.ini"}),
                 search.Get());
  EXPECT_EQ(steps, (std::vector<CopyStep>{{"C:\\APP\\b.DAT", "D:\\Back\\b.DAT"},
                                          {"C:\\APP\\A.DAT", "D:\\Back\\A.DAT"},
                                          {"C:\\APP\\c.DAT", "D:\\Back\\c.DAT"},
                                          {"C:\\Other\\A.DAT", "D:\\Back\\A.DAT"},
                                          {"E:x.ini", "D:\\Back\\x.ini"}}));
  EXPECT_EQ(search.asked.size(), 4u);  // the target that matches nothing is asked too
}

TEST(PlanCopiesTest, FoldersAndOverlongPathsAreLeftOut) {
  FakeSearch search;
  const std::string longName(240, 'n');
  search.table["C:\\APP\\*"] = {{".", true}, {"..", true}, {"sub", true}, {"keep.dat"},
                                {longName}};
  const std::vector<CopyStep> steps = PlanCopies(CopyJob({"C:\\APP\\*"}, "D:\\" + std::string(9, 'f')), search.Get());
  // source C:\APP\ + 240 = 247 bytes fits; destination D:\fffffffff\ + 240 = 253 fits
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].source, "C:\\APP\\keep.dat");

  const std::vector<CopyStep> tooLong =
      PlanCopies(CopyJob({"C:\\APP\\*"}, "D:\\" + std::string(12, 'f')), search.Get());
  // D:\ffffffffffff\ + 240 = 256 bytes: refused, not cut
  ASSERT_EQ(tooLong.size(), 1u);
  EXPECT_EQ(tooLong[0].source, "C:\\APP\\keep.dat");
}

TEST(PlanCopiesTest, AnEmptyFolderCopiesNothing) {
  FakeSearch search;
  search.table["C:\\APP\\*.DAT"] = {{"a.DAT"}};
  EXPECT_TRUE(PlanCopies(CopyJob({"C:\\APP\\*.DAT"}, ""), search.Get()).empty());
  EXPECT_FALSE(ArchiveWanted(CopyJob({"C:\\APP\\*.DAT"}, "")));
  EXPECT_TRUE(ArchiveWanted(CopyJob({"C:\\APP\\*.DAT"})));
}

TEST(BackupJobTest, CopiesTheSettingsAndTheLateStart) {
  BackupSettings s;
  s.targets = {"C:\\a.dat"};
  s.Folder = "D:\\B";
  s.Way = BackupWay::Archive;
  const BackupJob job = MakeBackupJob(s, true);
  s.targets.clear();  // a later change of the settings does not reach the job
  EXPECT_EQ(job.targets, (std::vector<std::string>{"C:\\a.dat"}));
  EXPECT_EQ(job.mode, BackupWay::Archive);
  EXPECT_EQ(job.Folder, "D:\\B");
  EXPECT_TRUE(job.lateStart);
}

}  // namespace
}  // namespace kb
