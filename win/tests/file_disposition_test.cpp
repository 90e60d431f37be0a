// The delete mark and the replacement of a finished temporary file, both the
// way Windows Vista and later take (through the handle) and the way Windows
// XP takes (the native call for the mark, a rename by name once closed).
#include "win/file_disposition.h"

#include <gtest/gtest.h>

#include <string>

#include "win/testing/temp_folder.h"
#include "win/text.h"

namespace kb::win {
namespace {

struct Way {
  const char* name;
  bool throughHandle;
};

class FileDispositionTest : public ::testing::TestWithParam<Way> {
 protected:
  FileFunctions Functions() const {
    FileFunctions functions = SystemFileFunctions();
    if (!GetParam().throughHandle) functions.setInformation = nullptr;
    return functions;
  }
  // A new file with `bytes`, open for writing and deleting, marked.
  HANDLE Temporary(const std::string& relative, const std::string& bytes) {
    HANDLE file = CreateFileW(Widen(folder_.Path(relative)).c_str(), GENERIC_WRITE | DELETE, 0,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    DWORD put = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    EXPECT_TRUE(SetDeleteMark(file, true, Functions()));
    return file;
  }
  std::wstring PathW(const std::string& relative) const { return Widen(folder_.Path(relative)); }

  testing::TempFolder folder_{"kbdisp"};
};

TEST_P(FileDispositionTest, MarkedFileGoesAtCloseAndClearedMarkKeepsIt) {
  CloseHandle(Temporary("marked.tmp", "x"));
  EXPECT_FALSE(folder_.Exists("marked.tmp"));

  HANDLE kept = Temporary("kept.tmp", "y");
  EXPECT_TRUE(SetDeleteMark(kept, false, Functions()));
  CloseHandle(kept);
  EXPECT_EQ(folder_.Read("kept.tmp"), "y");
}

TEST_P(FileDispositionTest, ReplacesTheDestinationAndLeavesNoTemporary) {
  folder_.Write("予定表.txt", "old contents");
  HANDLE file = Temporary("~new.tmp", "new contents");
  EXPECT_TRUE(ReplaceWithOpenFile(file, PathW("~new.tmp"), PathW("予定表.txt"), Functions()));
  EXPECT_EQ(folder_.Read("予定表.txt"), "new contents");
  EXPECT_FALSE(folder_.Exists("~new.tmp"));

  // A destination that did not exist yet is made.
  file = Temporary("~second.tmp", "second");
  EXPECT_TRUE(ReplaceWithOpenFile(file, PathW("~second.tmp"), PathW("fresh.txt"), Functions()));
  EXPECT_EQ(folder_.Read("fresh.txt"), "second");
}

TEST_P(FileDispositionTest, FailedReplacementRemovesTheTemporaryAndKeepsTheDestination) {
  folder_.Write("busy.txt", "in use");
  // A destination its program holds open without sharing cannot be replaced.
  HANDLE holder = CreateFileW(PathW("busy.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  HANDLE file = Temporary("~busy.tmp", "replacement");
  EXPECT_FALSE(ReplaceWithOpenFile(file, PathW("~busy.tmp"), PathW("busy.txt"), Functions()));
  CloseHandle(holder);
  EXPECT_EQ(folder_.Read("busy.txt"), "in use");
  EXPECT_FALSE(folder_.Exists("~busy.tmp"));

  file = Temporary("~lost.tmp", "nowhere");
  EXPECT_FALSE(ReplaceWithOpenFile(file, PathW("~lost.tmp"), PathW("missing\\x.txt"), Functions()));
  EXPECT_FALSE(folder_.Exists("~lost.tmp"));
  EXPECT_FALSE(folder_.Exists("missing"));
}

INSTANTIATE_TEST_SUITE_P(Ways, FileDispositionTest,
                         ::testing::Values(Way{"ThroughHandle", true}, Way{"WindowsXp", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kb::win
