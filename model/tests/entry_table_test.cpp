#include "model/entry_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/profile.h"

namespace kb {
namespace {

class EntryTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kb_entry_table_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "KBINI.dat").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void WriteFile(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
  }
  std::string ReadFile() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  static TLaunchData Record(const std::string& file, int option = 1) {
    TLaunchData r;
    r.FPFileName = file;
    r.WorkingDir = "C:\\w\\";
    r.ShowName = "name " + file;
    r.IconFile = file;
    r.IconIndex = 2;
    r.ExecOption = option;
    r.DoBackUp = true;
    return r;
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(EntryTableTest, LoadReadsOnlyGroupsAndSlotsInRange) {
  WriteFile(
      "[ExButton1-1]\r\nFPFileName=C:\\a.exe\r\nExecOption=3\r\nDoBackUp=1\r\n"
      "[ExButton2-3]\r\nFPFileName=C:\\b.exe\r\nIconIndex=4\r\n"
      "[ExButton2-4]\r\nFPFileName=C:\\beyond-slots.exe\r\n"
      "[ExButton3-1]\r\nFPFileName=C:\\beyond-groups.exe\r\n");
  EntryTable table;
  table.At(2, 4).ShowName = "kept";
  table.Load(ProfileReader(path_), 2, 3);
  EXPECT_EQ(table.At(1, 1).FPFileName, "C:\\a.exe");
  EXPECT_EQ(table.At(1, 1).ExecOption, 3);
  EXPECT_TRUE(table.At(1, 1).DoBackUp);
  EXPECT_EQ(table.At(2, 3).IconIndex, 4);
  EXPECT_EQ(table.At(2, 3).ExecOption, 1);  // missing key: default
  EXPECT_TRUE(table.At(2, 4).FPFileName.empty());
  EXPECT_EQ(table.At(2, 4).ShowName, "kept");
  EXPECT_TRUE(table.At(3, 1).FPFileName.empty());
}

TEST_F(EntryTableTest, SaveWritesNonEmptySlotsWithUnpaddedSectionNames) {
  EntryTable table;
  table.At(3, 12) = Record("C:\\x.exe", 4);
  table.At(12, 3) = Record("C:\\y.exe");
  table.At(1, 1).ShowName = "name without program";  // empty slot: never written
  ProfileWriter writer(path_);
  table.Save(writer, 12, 12);
  writer.Commit();
  const std::string text = ReadFile();
  EXPECT_NE(text.find("[ExButton3-12]"), std::string::npos);
  EXPECT_NE(text.find("[ExButton12-3]"), std::string::npos);
  EXPECT_EQ(text.find("[ExButton1-1]"), std::string::npos);
  EXPECT_EQ(text.find("ExButton03"), std::string::npos);

  EntryTable back;
  back.Load(ProfileReader(path_), 12, 12);
  EXPECT_EQ(back.At(3, 12).FPFileName, "C:\\x.exe");
  EXPECT_EQ(back.At(3, 12).WorkingDir, "C:\\w\\");
  EXPECT_EQ(back.At(3, 12).ShowName, "name C:\\x.exe");
  EXPECT_EQ(back.At(3, 12).IconIndex, 2);
  EXPECT_EQ(back.At(3, 12).ExecOption, 4);
  EXPECT_TRUE(back.At(3, 12).DoBackUp);
}

TEST_F(EntryTableTest, SaveLeavesSectionsOfEmptyAndHiddenSlotsAsTheyWere) {
  WriteFile(
      "[ExButton1-2]\r\nFPFileName=C:\\old-emptied.exe\r\n"
      "[ExButton1-9]\r\nFPFileName=C:\\hidden.exe\r\n");
  EntryTable table;
  table.Load(ProfileReader(path_), 1, 14);
  table.At(1, 2) = TLaunchData{};        // emptied in memory (not through a deletion)
  table.At(1, 9) = Record("C:\\new.exe");  // changed, but the display count is now 5
  ProfileWriter writer(path_);
  table.Save(writer, 1, 5);
  writer.Commit();
  EntryTable back;
  back.Load(ProfileReader(path_), 1, 14);
  EXPECT_EQ(back.At(1, 2).FPFileName, "C:\\old-emptied.exe");
  EXPECT_EQ(back.At(1, 9).FPFileName, "C:\\hidden.exe");
}

TEST_F(EntryTableTest, GroupRowsCopyAndClearWithinTheirCount) {
  EntryTable table;
  for (int s = 1; s <= 40; ++s) table.At(2, s) = Record("C:\\p" + std::to_string(s) + ".exe");
  table.At(5, 16) = Record("C:\\stays.exe");
  table.CopyGroupRow(2, 5, 15);
  EXPECT_EQ(table.At(5, 1).FPFileName, "C:\\p1.exe");
  EXPECT_EQ(table.At(5, 15).FPFileName, "C:\\p15.exe");
  EXPECT_EQ(table.At(5, 16).FPFileName, "C:\\stays.exe");
  EXPECT_EQ(table.At(2, 1).FPFileName, "C:\\p1.exe");  // the source keeps its row

  table.CopyGroupRow(2, 6, 99);  // capped at 40
  EXPECT_EQ(table.At(6, 40).FPFileName, "C:\\p40.exe");

  table.ClearGroupRow(5, 15);
  EXPECT_TRUE(IsEmptyRecord(table.At(5, 1)));
  EXPECT_TRUE(IsEmptyRecord(table.At(5, 15)));
  EXPECT_FALSE(IsEmptyRecord(table.At(5, 16)));
}

TEST_F(EntryTableTest, AddressesOutsideTheTableAreRefused) {
  EntryTable table;
  EXPECT_THROW(table.At(0, 1), std::out_of_range);
  EXPECT_THROW(table.At(41, 1), std::out_of_range);
  EXPECT_THROW(table.At(1, 0), std::out_of_range);
  EXPECT_THROW(table.At(1, 41), std::out_of_range);
  EXPECT_NO_THROW(table.At(40, 40));
}

TEST(EmptyRecordTest, AnyFieldMakesARecordNonEmpty) {
  EXPECT_TRUE(IsEmptyRecord(TLaunchData{}));
  TLaunchData r;
  r.ExecOption = 0;
  EXPECT_FALSE(IsEmptyRecord(r));
  r = TLaunchData{};
  r.IconFile = "x";
  EXPECT_FALSE(IsEmptyRecord(r));
}

}  // namespace
}  // namespace kb

namespace kb {
namespace {

// A larger monitor shows more groups and slots: those never read are read,
// while what was read before keeps any change made since.
TEST_F(EntryTableTest, LoadMissingReadsOnlyWhatWasNeverRead) {
  WriteFile(
      "[ExButton1-1]\r\nFPFileName=C:\\file-1-1.exe\r\n"
      "[ExButton1-4]\r\nFPFileName=C:\\file-1-4.exe\r\n"
      "[ExButton3-2]\r\nFPFileName=C:\\file-3-2.exe\r\n");
  EntryTable table;
  table.Load(ProfileReader(path_), 2, 3);
  EXPECT_EQ(table.LoadedGroups(), 2);
  table.At(1, 1).FPFileName = "C:\\changed.exe";
  table.LoadMissing(ProfileReader(path_), 3, 4);
  EXPECT_EQ(table.At(1, 1).FPFileName, "C:\\changed.exe");
  EXPECT_EQ(table.At(1, 4).FPFileName, "C:\\file-1-4.exe");
  EXPECT_EQ(table.At(3, 2).FPFileName, "C:\\file-3-2.exe");
  EXPECT_TRUE(table.Loaded(3, 4));
  EXPECT_FALSE(table.Loaded(4, 1));
  EXPECT_EQ(table.LoadedGroups(), 3);
}

}  // namespace
}  // namespace kb
