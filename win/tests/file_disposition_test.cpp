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

// An unmarked file from a sub-folder into its parent, and one that cannot
// get there: removed all the same.
TEST_P(FileDispositionTest, RenamesAnUnmarkedFileFromASubFolderOrRemovesIt) {
  folder_.Write("表.txt", "old contents");
  folder_.MakeFolder("work");
  const struct {
    const char* destination;
    bool renamed;
    const char* content;  // of the destination afterwards
  } cases[] = {
      {"表.txt", true, "new contents"},
      {"fresh.txt", true, "new contents"},
      {"missing\\x.txt", false, ""},
  };
  for (const auto& c : cases) {
    HANDLE file = CreateFileW(PathW("work\\~n.tmp").c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD put = 0;
    WriteFile(file, "new contents", 12, &put, nullptr);
    EXPECT_EQ(RenameOpenFile(file, PathW("work\\~n.tmp"), PathW(c.destination), Functions()),
              c.renamed)
        << c.destination;
    EXPECT_EQ(folder_.Read(c.destination), c.content) << c.destination;
    EXPECT_FALSE(folder_.Exists("work\\~n.tmp")) << c.destination;
  }
}

INSTANTIATE_TEST_SUITE_P(Ways, FileDispositionTest,
                         ::testing::Values(Way{"ThroughHandle", true}, Way{"WindowsXp", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kb::win
