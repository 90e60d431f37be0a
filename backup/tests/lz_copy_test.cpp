#include "win/lz_copy.h"

#include <gtest/gtest.h>

#include "backup/tests/backup_test_support.h"
#include "common/module_folder.h"
#include "win/text.h"

namespace kb {
namespace {

using backup_testing::HeldFile;
using backup_testing::LastWrite;
using backup_testing::TempDir;

class LzCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("src\\data.dat", "new content");
    dir_.MakeFolder("dst");
  }
  // The destination folder holds exactly these names (no temporary file).
  void ExpectDestinationFolder(const std::vector<std::string>& names) {
    EXPECT_EQ(dir_.List("dst\\"), names);
  }
  TempDir dir_;
};

TEST_F(LzCopyTest, CopiesTheBytesAndKeepsTheLastWriteTime) {
  std::string bytes;
  for (int i = 0; i < 3 << 20; ++i) bytes += static_cast<char>(i * 7 + (i >> 9));
  dir_.Write("src\\big.bin", bytes);
  backup_testing::SetLastWrite(dir_.Path("src\\big.bin"), 125000000000000000ULL);
  EXPECT_TRUE(LzCopyFile(dir_.Path("src\\big.bin"), dir_.Path("dst\\big.bin")));
  EXPECT_TRUE(dir_.Read("dst\\big.bin") == bytes);
  EXPECT_EQ(LastWrite(dir_.Path("dst\\big.bin")), 125000000000000000ULL);
  EXPECT_TRUE(LzCopyFile(dir_.Path("src\\data.dat"), dir_.Path("dst\\表示.dat")));
  EXPECT_EQ(dir_.Read("dst\\表示.dat"), "new content");
  ExpectDestinationFolder({"big.bin", "表示.dat"});
}

TEST_F(LzCopyTest, ReplacesAnOlderCopyAndEmptyFilesCopyToo) {
  dir_.Write("dst\\data.dat", "an old and longer content");
  EXPECT_TRUE(LzCopyFile(dir_.Path("src\\data.dat"), dir_.Path("dst\\data.dat")));
  EXPECT_EQ(dir_.Read("dst\\data.dat"), "new content");
  dir_.Write("src\\empty.dat", "");
  EXPECT_TRUE(LzCopyFile(dir_.Path("src\\empty.dat"), dir_.Path("dst\\data.dat")));
  EXPECT_EQ(dir_.Read("dst\\data.dat"), "");
  ExpectDestinationFolder({"data.dat"});
}

TEST_F(LzCopyTest, AnUnreadableSourceLeavesTheDestinationAsItWasAndCreatesNothing) {
  dir_.Write("dst\\data.dat", "good old copy");
  dir_.MakeFolder("src\\folder.dat");
  HeldFile held(dir_.Path("src\\data.dat"));
  ASSERT_TRUE(held.held());
  const struct {
    const char* source;
    const char* destination;
    bool existsAfter;
  } cases[] = {
      {"src\\data.dat", "dst\\data.dat", true},     // held open without sharing
      {"src\\data.dat", "dst\\fresh.dat", false},
      {"src\\missing.dat", "dst\\data.dat", true},  // missing
      {"src\\missing.dat", "dst\\missing.dat", false},
      {"src\\folder.dat", "dst\\folder.dat", false},  // a folder matched by a pattern
      {"src\\folder.dat", "dst\\data.dat", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LzCopyFile(dir_.Path(c.source), dir_.Path(c.destination)), c.existsAfter)
        << c.source << " -> " << c.destination;
  }
  EXPECT_EQ(dir_.Read("dst\\data.dat"), "good old copy");
  ExpectDestinationFolder({"data.dat"});
}

TEST_F(LzCopyTest, AMissingDestinationFolderCreatesNothing) {
  EXPECT_FALSE(LzCopyFile(dir_.Path("src\\data.dat"), dir_.Path("nowhere\\data.dat")));
  EXPECT_FALSE(dir_.Exists("nowhere"));
}

TEST_F(LzCopyTest, PathsOfMoreThan255BytesAreRefusedNotCut) {
  // 2-byte characters: the platform could take these paths, the backup's
  // limit of 255 bytes refuses them.
  std::string name;
  while (dir_.Path("src\\").size() + name.size() + 4 < 256) name += "表";
  const std::string fits = name.substr(0, name.size() - 4) + "a.dat";
  const std::string tooLong = name + ".dat";
  ASSERT_LE(dir_.Path("src\\" + fits).size(), 255u);
  ASSERT_GT(dir_.Path("src\\" + tooLong).size(), 255u);
  dir_.Write("src\\" + fits, "x");
  dir_.Write("src\\" + tooLong, "y");

  EXPECT_TRUE(LzCopyFile(dir_.Path("src\\" + fits), dir_.Path("dst\\a.dat")));
  EXPECT_FALSE(LzCopyFile(dir_.Path("src\\" + tooLong), dir_.Path("dst\\b.dat")));
  EXPECT_FALSE(LzCopyFile(dir_.Path("src\\data.dat"), dir_.Path("dst\\" + tooLong)));
  ExpectDestinationFolder({"a.dat"});
}

TEST_F(LzCopyTest, AStoppedCopyLeavesTheOldCopyAndNoTemporaryFile) {
  dir_.Write("dst\\data.dat", "good old copy");
  const std::atomic<bool> stop{true};
  EXPECT_TRUE(LzCopyFile(dir_.Path("src\\data.dat"), dir_.Path("dst\\data.dat"), &stop));
  EXPECT_EQ(dir_.Read("dst\\data.dat"), "good old copy");
  ExpectDestinationFolder({"data.dat"});
}

// A process that copies one large file over and over is killed in the
// middle of a copy: the system removes the unfinished temporary file, and
// every copy that is there is whole.  `mode` is copy_victim's third
// argument; `temporaries` the folder where its temporary files appear.
void KillInTheMiddleOfACopy(const std::wstring& mode, const std::string& temporaries) {
  TempDir dir;
  std::string bytes(48 << 20, '\0');
  for (size_t i = 0; i < bytes.size(); i += 4096) bytes[i] = static_cast<char>(i >> 12);
  dir.Write("src\\big.bin", bytes);
  dir.MakeFolder("dst");

  const std::wstring program = ModuleFolderW() + L"copy_victim.exe";
  std::wstring command = L"\"" + program + L"\" \"" + win::Widen(dir.Path("src\\big.bin")) +
                         L"\" \"" + win::Widen(dir.Path("dst\\big.bin")) + L"\" " + mode;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  auto temporary = [&](const std::string& name) {
    return name.starts_with("~kb") && name.ends_with(".tmp") && name != "~kbcopy.tmp";
  };
  bool sawTemporary = false;
  const DWORD start = GetTickCount();
  while (!sawTemporary && GetTickCount() - start < 30000) {
    for (const std::string& name : dir.List(temporaries)) sawTemporary |= temporary(name);
    if (!sawTemporary) Sleep(1);
  }
  TerminateProcess(process.hProcess, 9);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  EXPECT_TRUE(sawTemporary);
  // The system removes the marked file when it closes the dead process's
  // handles, which may come a moment after the process is reported ended.
  auto leftBehind = [&] {
    std::vector<std::string> names = dir.List(temporaries);
    std::erase_if(names, [&](const std::string& name) { return !temporary(name); });
    return names;
  };
  for (int i = 0; i < 100 && !leftBehind().empty(); ++i) Sleep(50);
  EXPECT_EQ(leftBehind(), std::vector<std::string>{});
  if (dir.Exists("dst\\big.bin")) {
    EXPECT_TRUE(dir.Read("dst\\big.bin") == bytes);
  }
  // What the dead process left -- at most an empty work folder -- goes with
  // the next session's copy into that folder.
  {
    CopySession session;
    EXPECT_TRUE(session.Copy(dir.Path("src\\big.bin"), dir.Path("dst\\big.bin")));
  }
  EXPECT_EQ(dir.List("dst\\"), std::vector<std::string>{"big.bin"});
}

TEST(LzCopyKillTest, AKilledCopyLeavesNoTemporaryFileAndNoTornCopy) {
  KillInTheMiddleOfACopy(L"", "dst\\");
}

TEST(LzCopyKillTest, AKilledSessionLeavesNoTemporaryFileAndNoTornCopy) {
  KillInTheMiddleOfACopy(L"session", "dst\\~kbcopy.tmp\\");
}

// Many copies into one folder through one session: each as LzCopyFile,
// and nothing of the session's own is left in the folder.
TEST_F(LzCopyTest, ASessionCopiesLikeTheSingleCopyAndLeavesNothingOfItsOwn) {
  dir_.Write("dst\\old.dat", "an old and longer content");
  dir_.Write("src\\old.dat", "replacement");
  dir_.Write("src\\empty.dat", "");
  backup_testing::SetLastWrite(dir_.Path("src\\old.dat"), 125000000000000000ULL);
  dir_.MakeFolder("src\\folder.dat");
  HeldFile held(dir_.Path("src\\data.dat"));
  ASSERT_TRUE(held.held());
  const struct {
    const char* source;
    const char* destination;
    bool existsAfter;
    const char* content;  // of the destination afterwards
  } cases[] = {
      {"src\\old.dat", "dst\\old.dat", true, "replacement"},
      {"src\\empty.dat", "dst\\empty.dat", true, ""},
      {"src\\data.dat", "dst\\data.dat", false, "<missing>"},  // held without sharing
      {"src\\folder.dat", "dst\\folder.dat", false, "<missing>"},
      {"src\\old.dat", "nowhere\\old.dat", false, "<missing>"},
      {"src\\old.dat", "dst\\表示.dat", true, "replacement"},
  };
  {
    CopySession session;
    for (const auto& c : cases) {
      EXPECT_EQ(session.Copy(dir_.Path(c.source), dir_.Path(c.destination)), c.existsAfter)
          << c.source << " -> " << c.destination;
      EXPECT_EQ(dir_.Read(c.destination), c.content) << c.destination;
    }
    const std::atomic<bool> stop{true};
    EXPECT_TRUE(session.Copy(dir_.Path("src\\empty.dat"), dir_.Path("dst\\old.dat"), &stop));
    EXPECT_EQ(dir_.Read("dst\\old.dat"), "replacement");
  }
  EXPECT_EQ(LastWrite(dir_.Path("dst\\old.dat")), 125000000000000000ULL);
  EXPECT_FALSE(dir_.Exists("nowhere"));
  ExpectDestinationFolder({"empty.dat", "old.dat", "表示.dat"});
}

// A copy that already holds the source's bytes and time stamp is left as
// it is (the same file afterwards); any difference makes a new copy.
TEST_F(LzCopyTest, ASessionLeavesAnUnchangedCopyAndReplacesAChangedOne) {
  auto fileIndex = [&](const std::string& relative) {
    HANDLE file = CreateFileW(win::Widen(dir_.Path(relative)).c_str(), 0, 7, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  };
  constexpr ULONGLONG kTime = 125000000000000000ULL;
  const struct {
    const char* copy;     // what the destination holds first
    ULONGLONG copyTime;   // and its last-write time
    bool sameFile;
  } cases[] = {
      {"new content", kTime, true},
      {"old content", kTime, false},  // same size and time, other bytes
      {"new content", kTime + 20000000, false},
      {"new content, longer", kTime, false},
  };
  backup_testing::SetLastWrite(dir_.Path("src\\data.dat"), kTime);
  for (const auto& c : cases) {
    dir_.Write("dst\\data.dat", c.copy);
    backup_testing::SetLastWrite(dir_.Path("dst\\data.dat"), c.copyTime);
    const ULONGLONG before = fileIndex("dst\\data.dat");
    CopySession session;
    EXPECT_TRUE(session.Copy(dir_.Path("src\\data.dat"), dir_.Path("dst\\data.dat")));
    EXPECT_EQ(fileIndex("dst\\data.dat") == before, c.sameFile) << c.copy;
    EXPECT_EQ(dir_.Read("dst\\data.dat"), "new content") << c.copy;
    EXPECT_EQ(LastWrite(dir_.Path("dst\\data.dat")), kTime) << c.copy;
  }
}

// What an ended process left in the work folder goes with the next session
// into that folder; a temporary file a live copy holds open stays.
TEST_F(LzCopyTest, ASessionRemovesWhatAnEndedProcessLeftInTheWorkFolder) {
  dir_.Write("dst\\~kbcopy.tmp\\~kb12_34_5.tmp", "left by a dead copy");
  dir_.Write("dst\\~kbcopy.tmp\\~kb12_34_6.tmp", "a live copy's");
  {
    HeldFile live(dir_.Path("dst\\~kbcopy.tmp\\~kb12_34_6.tmp"));
    ASSERT_TRUE(live.held());
    CopySession session;
    EXPECT_TRUE(session.Copy(dir_.Path("src\\data.dat"), dir_.Path("dst\\data.dat")));
    EXPECT_EQ(dir_.List("dst\\~kbcopy.tmp\\"), std::vector<std::string>{"~kb12_34_6.tmp"});
  }
  ExpectDestinationFolder({"data.dat", "~kbcopy.tmp"});
  {
    CopySession session;
    EXPECT_TRUE(session.Copy(dir_.Path("src\\data.dat"), dir_.Path("dst\\data.dat")));
  }
  EXPECT_EQ(dir_.Read("dst\\data.dat"), "new content");
  ExpectDestinationFolder({"data.dat"});
}

// Sessions into one folder share its work folder: one that ends while the
// other still copies takes it away, the other makes it again.  A file of
// the work folder's name that is not a folder is left alone.
TEST_F(LzCopyTest, SessionsIntoOneFolderShareItAndLeaveAForeignFileAlone) {
  for (const bool foreign : {false, true}) {
    if (foreign) dir_.Write("dst\\~kbcopy.tmp", "someone's file");
    CopySession second;
    {
      CopySession first;
      EXPECT_TRUE(first.Copy(dir_.Path("src\\data.dat"), dir_.Path("dst\\a.dat")));
      EXPECT_TRUE(second.Copy(dir_.Path("src\\data.dat"), dir_.Path("dst\\b.dat")));
    }
    EXPECT_TRUE(second.Copy(dir_.Path("src\\data.dat"), dir_.Path("dst\\c.dat")));
    EXPECT_EQ(dir_.Read("dst\\c.dat"), "new content");
  }
  EXPECT_EQ(dir_.Read("dst\\~kbcopy.tmp"), "someone's file");
  ExpectDestinationFolder({"a.dat", "b.dat", "c.dat", "~kbcopy.tmp"});
}

}  // namespace
}  // namespace kb
