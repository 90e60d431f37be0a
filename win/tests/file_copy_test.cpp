#include "win/file_copy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

namespace wt = win::testing;

class FileCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    dir_ = *win::Narrow(temp) + "kb_copy_" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryW(win::Widen(dir_).c_str(), nullptr);
    CreateDirectoryW(win::Widen(dir_ + "\\dest").c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"\\dest\\a.txt", "\\dest\\予定表.txt", "\\a.txt", "\\予定表.txt"}) {
      DeleteFileW(win::Widen(dir_ + name).c_str());
    }
    RemoveDirectoryW(win::Widen(dir_ + "\\dest").c_str());
    RemoveDirectoryW(win::Widen(dir_).c_str());
  }

  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(win::Widen(path).c_str(), std::ios::binary) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(win::Widen(path).c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool Exists(const std::string& path) {
    return GetFileAttributesW(win::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // Sets the last-write time to a fixed local moment plus `seconds`.
  static void SetAge(const std::string& path, int seconds) {
    SYSTEMTIME st{2024, 5, 0, 10, 12, 0, 0, 0};
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&st, &local);
    ULARGE_INTEGER v{{local.dwLowDateTime, local.dwHighDateTime}};
    v.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
    local.dwLowDateTime = v.LowPart;
    local.dwHighDateTime = v.HighPart;
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE h = CreateFileW(win::Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
  }

  std::string dir_;
};

TEST_F(FileCopyTest, CopiesContentAndReplacesAnOlderCopy) {
  Write(Path("予定表.txt"), "new content");
  Write(Path("dest\\予定表.txt"), "old");
  EXPECT_TRUE(CopyFileSafely(Path("予定表.txt"), Path("dest\\予定表.txt")));
  EXPECT_EQ(Read(Path("dest\\予定表.txt")), "new content");
  EXPECT_FALSE(Exists(Path("dest\\予定表.txt.~kbcopy")));
}

TEST_F(FileCopyTest, MissingSourceCreatesNoEmptyDestination) {
  EXPECT_FALSE(CopyFileSafely(Path("missing.txt"), Path("dest\\a.txt")));
  EXPECT_FALSE(Exists(Path("dest\\a.txt")));
  Write(Path("dest\\a.txt"), "kept");
  EXPECT_TRUE(CopyFileSafely(Path("missing.txt"), Path("dest\\a.txt")));  // it still exists
  EXPECT_EQ(Read(Path("dest\\a.txt")), "kept");
}

TEST_F(FileCopyTest, PathsBeyondTheLimitAreRefused) {
  Write(Path("a.txt"), "x");
  const std::string tooLong = dir_ + "\\dest\\" + std::string(260, 'b') + ".txt";
  EXPECT_FALSE(CopyFileSafely(Path("a.txt"), tooLong));
}

TEST_F(FileCopyTest, FileAgeOrdersByLastWriteTime) {
  Write(Path("a.txt"), "x");
  Write(Path("dest\\a.txt"), "y");
  SetAge(Path("a.txt"), 0);
  SetAge(Path("dest\\a.txt"), 60);
  ASSERT_TRUE(FileAge(Path("a.txt")).has_value());
  EXPECT_LT(*FileAge(Path("a.txt")), *FileAge(Path("dest\\a.txt")));
  EXPECT_FALSE(FileAge(Path("missing.txt")).has_value());
}

TEST_F(FileCopyTest, NoQuestionWhenTheDestinationIsNew) {
  Write(Path("a.txt"), "fresh");
  auto watch = wt::AnswerDialogLater("確認", IDCANCEL, 500);
  EXPECT_TRUE(CopyFileConfirmed(nullptr, Path("a.txt"), Path("dest\\a.txt")));
  EXPECT_FALSE(watch->Fired());
  EXPECT_EQ(Read(Path("dest\\a.txt")), "fresh");
}

struct OverwriteCase {
  int sourceSeconds;
  int destinationSeconds;
  int answer;
  const char* firstLine;
  bool copied;
};

TEST_F(FileCopyTest, AsksBeforeOverwritingAndObeysTheAnswer) {
  const OverwriteCase cases[] = {
      {60, 0, IDOK, "コピー先に古いタイムスタンプのファイル", true},
      {0, 60, IDCANCEL, "コピー先にコピーしようとしているファイル", false},
      {0, 1, IDOK, "コピー先にコピーしようとしているファイルと同じタイムスタンプの", true},
  };
  for (const OverwriteCase& c : cases) {
    Write(Path("a.txt"), "source");
    Write(Path("dest\\a.txt"), "destination");
    SetAge(Path("a.txt"), c.sourceSeconds);
    SetAge(Path("dest\\a.txt"), c.destinationSeconds);
    auto watch = wt::AnswerDialogLater("確認", c.answer);
    const bool result = CopyFileConfirmed(nullptr, Path("a.txt"), Path("dest\\a.txt"));
    ASSERT_TRUE(watch->Fired()) << c.firstLine;
    EXPECT_EQ(watch->ShownText(),
              std::string(c.firstLine) + "\ra.txt\rが存在します。上書きしますか？");
    EXPECT_EQ(result, c.copied);
    EXPECT_EQ(Read(Path("dest\\a.txt")), c.copied ? "source" : "destination");
  }
}

}  // namespace
}  // namespace kb
