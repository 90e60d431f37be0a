#include <gtest/gtest.h>

#include <random>
#include <filesystem>

#include "common/file_io.h"
#include "common/profile.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test; paths are given Windows-style (backslashes).
class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = (fs::temp_directory_path() /
             ("kbfileio-" + std::to_string(std::random_device{}()) + "-" + info->name()))
                .string();
    fs::remove_all(root_);
    ASSERT_TRUE(fs::create_directory(root_));
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string P(const std::string& name) const { return root_ + "\\" + name; }
  size_t Entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(root_), fs::directory_iterator()));
  }
  std::string root_;
};

TEST_F(FileIoTest, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
  EXPECT_FALSE(FileExists(P("a.ini")));
  ASSERT_TRUE(WriteFileAtomic(P("a.ini"), "first"));
  ASSERT_TRUE(WriteFileAtomic(P("a.ini"), "second, longer"));
  EXPECT_EQ(ReadWholeFile(P("a.ini")), std::optional<std::string>("second, longer"));
  EXPECT_EQ(Entries(), 1u);
  EXPECT_TRUE(FileExists(P("a.ini")));
  EXPECT_FALSE(FolderExists(P("a.ini")));
}

TEST_F(FileIoTest, RefusedWriteKeepsTheOldFileAndNoTemporaryFile) {
  ASSERT_TRUE(WriteFileAtomic(P("file"), "old"));
  // The folder of the target is a file: nothing can be created there.
  EXPECT_FALSE(WriteFileAtomic(P("file\\x.ini"), "new"));
  EXPECT_EQ(ReadWholeFile(P("file")), std::optional<std::string>("old"));
  // The target is a folder: the rename is refused, and the temporary goes.
  ASSERT_TRUE(CreateFolder(P("dir")));
  EXPECT_FALSE(WriteFileAtomic(P("dir"), "new"));
  EXPECT_TRUE(FolderExists(P("dir")));
  EXPECT_EQ(Entries(), 2u);
}

TEST_F(FileIoTest, FoldersOneLevelAtATime) {
  EXPECT_TRUE(CreateFolder(P("data\\")));
  EXPECT_TRUE(FolderExists(P("data")));
  EXPECT_FALSE(CreateFolder(P("data")));  // already there
  EXPECT_FALSE(CreateFolder(P("x\\y")));  // two levels
  EXPECT_FALSE(ReadWholeFile(P("missing")).has_value());
}

// One opening serves a look at the head, a read at an offset and the whole.
TEST_F(FileIoTest, ReaderReadsAtOffsetsAndRefusesWhatIsNotThere) {
  EXPECT_FALSE(FileReader::Open(P("missing")).has_value());
  ASSERT_TRUE(CreateFolder(P("dir")));
  EXPECT_FALSE(FileReader::Open(P("dir")).has_value());

  ASSERT_TRUE(WriteFileAtomic(P("f.bin"), "0123456789"));
  std::optional<FileReader> file = FileReader::Open(P("f.bin"));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->Size(), 10u);
  char part[4] = {};
  ASSERT_TRUE(file->ReadAt(6, part, 4));
  EXPECT_EQ(std::string(part, 4), "6789");
  EXPECT_FALSE(file->ReadAt(8, part, 4));  // runs past the end
  ASSERT_TRUE(file->ReadAt(0, part, 2));
  EXPECT_EQ(file->ReadAll(), std::optional<std::string>("0123456789"));  // from the start again

  const FileReader moved = std::move(*file);
  EXPECT_EQ(moved.ReadAll(), std::optional<std::string>("0123456789"));
}

TEST_F(FileIoTest, ShiftJisNamesWithBackslashTrailBytes) {
  // "表" ends in 0x5C: it must not be taken for a folder separator.
  ASSERT_TRUE(CreateFolder(P("表")));
  ASSERT_TRUE(WriteFileAtomic(P("表\\ソ.ini"), "x"));
  EXPECT_TRUE(FileExists(P("表\\ソ.ini")));
  EXPECT_EQ(ReadWholeFile(P("表\\ソ.ini")), std::optional<std::string>("x"));
}

TEST_F(FileIoTest, CommitWritesTheWholeSessionOrReportsThePath) {
  ProfileWriter w(P("s.ini"));
  w.WriteString("A", "k", "v");
  EXPECT_FALSE(FileExists(P("s.ini")));  // nothing reaches the disk before Commit
  w.Commit();
  EXPECT_EQ(ReadWholeFile(P("s.ini")), std::optional<std::string>("[A]\r\nk=v\r\n"));

  ASSERT_TRUE(WriteFileAtomic(P("blocker"), ""));
  ProfileWriter refused(P("blocker\\s.ini"));
  refused.WriteString("A", "k", "v");
  try {
    refused.Commit();
    FAIL() << "no WriteError";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), P("blocker\\s.ini") + " に書き込めません");
    EXPECT_EQ(e.path(), P("blocker\\s.ini"));
  }
}

TEST_F(FileIoTest, EraseReachesTheDiskAtOnce) {
  ASSERT_TRUE(WriteFileAtomic(P("e.ini"), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n"));
  EraseProfileSection(P("e.ini"), "a");
  EXPECT_EQ(ReadWholeFile(P("e.ini")), std::optional<std::string>("[B]\r\nk=2\r\n"));
  EraseProfileSection(P("e.ini"), "missing");
  EraseProfileSection(P("none.ini"), "A");
  EXPECT_FALSE(FileExists(P("none.ini")));  // erasing never creates a file
  EXPECT_EQ(ProfileReader(P("e.ini")).ReadString("B", "k", ""), "2");
}

}  // namespace
}  // namespace kb
