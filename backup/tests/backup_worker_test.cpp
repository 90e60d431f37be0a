#include "backup/backup_worker.h"

#include <gtest/gtest.h>

#include "backup/lha_library.h"
#include "backup/tests/backup_test_support.h"
#include "common/module_folder.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

namespace wt = win::testing;
using backup_testing::HeldFile;
using backup_testing::TempDir;

// A tick counter the test moves by hand, and a fixed local time.
class FakeClock : public BackupClock {
 public:
  uint32_t TickCount() const override { return ticks.load(); }
  LocalDateTime LocalTime() const override { return {1998, 12, 31, 23, 59, 59}; }
  std::atomic<uint32_t> ticks{0};
};

std::shared_ptr<LhaLibrary> NoLibrary() { return std::make_shared<LhaLibrary>(); }

BackupJob Job(std::vector<std::string> targets, std::string folder,
              BackupWay mode = BackupWay::Copy, bool late = false) {
  BackupJob job;
  job.targets = std::move(targets);
  job.Folder = std::move(folder);
  job.mode = mode;
  job.lateStart = late;
  return job;
}

class CopyBackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("APP\\A.DAT", "a");
    dir_.Write("APP\\b.dat", "b");
    dir_.Write("APP\\c.DAT", "c");
    dir_.Write("APP\\readme.txt", "not data");
    dir_.MakeFolder("APP\\SUB.DAT");  // a folder the pattern matches
    dir_.MakeFolder("BACK");
  }
  std::string Folder() const {
    std::string folder = dir_.Path("BACK");
    return folder;
  }
  TempDir dir_;
};

TEST_F(CopyBackupTest, APatternCopiesExactlyItsFilesUnderTheirOwnNames) {
  dir_.Write("BACK\\A.DAT", "older copy");
  BackupWorkers workers(NoLibrary());
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder()));
  ASSERT_TRUE(workers.WaitAll(10000));
  EXPECT_EQ(dir_.List("BACK\\"), (std::vector<std::string>{"A.DAT", "b.dat", "c.DAT"}));
  EXPECT_EQ(dir_.Read("BACK\\A.DAT"), "a");
  EXPECT_EQ(dir_.Read("BACK\\b.dat"), "b");
  EXPECT_EQ(dir_.Read("BACK\\c.DAT"), "c");
}

TEST_F(CopyBackupTest, TheTargetListedLaterWinsForTheSameNameAndMissingOnesAreSilent) {
  dir_.Write("OTHER\\A.DAT", "other a");
  const std::string trailing = Folder() + "\\";  // a doubled separator still works
  BackupWorkers workers(NoLibrary());
  workers.Start(Job({dir_.Path("APP\\A.DAT"), dir_.Path("nothing\\*.DAT"), dir_.Path("OTHER\\A.DAT")},
                    trailing));
  ASSERT_TRUE(workers.WaitAll(10000));
  EXPECT_EQ(dir_.List("BACK\\"), (std::vector<std::string>{"A.DAT"}));
  EXPECT_EQ(dir_.Read("BACK\\A.DAT"), "other a");
}

TEST_F(CopyBackupTest, ASourceHeldOpenWithoutSharingLeavesTheGoodCopy) {
  dir_.Write("BACK\\A.DAT", "good copy");
  HeldFile held(dir_.Path("APP\\A.DAT"));
  ASSERT_TRUE(held.held());
  BackupWorkers workers(NoLibrary());
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder()));
  ASSERT_TRUE(workers.WaitAll(10000));
  EXPECT_EQ(dir_.Read("BACK\\A.DAT"), "good copy");
  EXPECT_EQ(dir_.List("BACK\\"), (std::vector<std::string>{"A.DAT", "b.dat", "c.DAT"}));
}

TEST_F(CopyBackupTest, AnEmptyFolderBacksUpNothing) {
  const std::string unique = "kb_root_probe_" + std::to_string(GetCurrentProcessId()) + ".dat";
  dir_.Write("APP\\" + unique, "x");
  BackupWorkers workers(NoLibrary());
  workers.Start(Job({dir_.Path("APP\\" + unique)}, ""));
  ASSERT_TRUE(workers.WaitAll(10000));
  EXPECT_EQ(GetFileAttributesW(win::Widen("\\" + unique).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CopyBackupTest, LateStartTouchesNothingUntilMoreThan20SecondsHavePassed) {
  auto clock = std::make_shared<FakeClock>();
  clock->ticks = 0xFFFFF000u;  // the counter wraps during the wait
  BackupWorkers workers(NoLibrary(), clock);
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder(), BackupWay::Copy, true));
  for (uint32_t step : {0u, 5000u, 10000u, 5000u}) {  // 20000 ms: not yet "more than"
    clock->ticks += step;
    EXPECT_FALSE(workers.WaitAll(250));
    EXPECT_TRUE(dir_.List("BACK\\").empty()) << "after " << step;
  }
  clock->ticks += 1;
  ASSERT_TRUE(workers.WaitAll(10000));
  EXPECT_EQ(dir_.List("BACK\\").size(), 3u);
}

TEST_F(CopyBackupTest, ClosingDropsAWaitingWorkerAtOnceAndIsImmediateWithNoWorker) {
  auto clock = std::make_shared<FakeClock>();
  {
    BackupWorkers idle(NoLibrary(), clock);
    const DWORD start = GetTickCount();
    idle.Shutdown();
    EXPECT_LT(GetTickCount() - start, 500u);
  }
  BackupWorkers workers(NoLibrary(), clock);
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder(), BackupWay::Copy, true));
  EXPECT_EQ(workers.Running(), 1u);
  const DWORD start = GetTickCount();
  workers.Shutdown(60000, 60000);
  EXPECT_LT(GetTickCount() - start, 2000u) << "a waiting worker is not waited for";
  EXPECT_EQ(workers.Running(), 0u);
  clock->ticks += 30000;
  Sleep(200);
  EXPECT_TRUE(dir_.List("BACK\\").empty());
}

TEST_F(CopyBackupTest, ClosingStopsACopyInMidFileAndLeavesAWholeFileAndNoTemporaryOne) {
  std::string bytes(64 << 20, '\0');
  for (size_t i = 0; i < bytes.size(); i += 4096) bytes[i] = static_cast<char>(i >> 12);
  dir_.Write("BIG\\big.bin", bytes);
  dir_.Write("BACK\\big.bin", "the good old copy");
  BackupWorkers workers(NoLibrary());
  workers.Start(Job({dir_.Path("BIG\\big.bin")}, Folder()));
  workers.Shutdown(0, 10000);  // no time to finish: stopped between two blocks
  EXPECT_EQ(workers.Running(), 0u);
  EXPECT_EQ(dir_.List("BACK\\"), (std::vector<std::string>{"big.bin"}));
  const std::string after = dir_.Read("BACK\\big.bin");
  EXPECT_TRUE(after == "the good old copy" || after == bytes) << after.size() << " bytes";
}

// The launcher's folder holds the stand-in library, built beside the tests.
class ArchiveBackupTest : public ::testing::Test {
 protected:
  void PutLibraryInto(const TempDir& dir) {
    const std::wstring built = ModuleFolderW() + L"unlha_standin.dll";
    ASSERT_TRUE(CopyFileW(built.c_str(), win::Widen(dir.Path("UNLHA32.DLL")).c_str(), FALSE));
  }
  std::shared_ptr<FakeClock> clock_ = std::make_shared<FakeClock>();
  TempDir launcher_{"kbl"};
  TempDir data_;
};

TEST_F(ArchiveBackupTest, TheLibraryGetsTheExactCommandLineWithNoOwnerAnd65534) {
  PutLibraryInto(launcher_);
  auto library = LoadLhaLibrary(win::Widen(launcher_.path()));
  ASSERT_NE(library->Module(), nullptr);
  for (size_t i = 0; i < LhaLibrary::kExportCount; ++i) {
    const std::string name = LhaLibrary::ExportNames()[i];
    EXPECT_EQ(library->Bound(i), name == "UnlhaGetVersion" || name == "Unlha") << name;
  }
  BackupWorkers workers(library, clock_);
  workers.Start(Job({"C:\\APP\\*.DAT", "C:\\My Data\\a.ini"}, "D:\\Back up", BackupWay::Archive));
  ASSERT_TRUE(workers.WaitAll(10000));
  EXPECT_EQ(launcher_.Read("unlha_calls.txt"),
            "owner=0 size=65534 a \"D:\\Back up\\981231235959\" \"C:\\APP\\*.DAT\" "
            "\"C:\\My Data\\a.ini\"\r\n");
}

TEST_F(ArchiveBackupTest, AMissingLibraryShowsOnePanicMessagePerBackupAndMakesNoArchive) {
  auto library = LoadLhaLibrary(win::Widen(launcher_.path()));
  ASSERT_EQ(library->Module(), nullptr);
  for (size_t i = 0; i < LhaLibrary::kExportCount; ++i) EXPECT_FALSE(library->Bound(i));
  BackupWorkers workers(library, clock_);
  for (int backup = 0; backup < 2; ++backup) {
    auto answer = wt::AnswerDialogLater("PANIC!!", IDOK, 10000);
    workers.Start(Job({"C:\\APP\\*.DAT"}, data_.Path("BACK"), BackupWay::Archive));
    ASSERT_TRUE(workers.WaitAll(15000));
    EXPECT_TRUE(answer->Fired());
    EXPECT_EQ(answer->ShownText(), "UnlhaGetVersion: LHA.DLL not loaded.");
    EXPECT_EQ(wt::FindOwnWindow(L"#32770", "PANIC!!"), nullptr) << "a second message";
  }
  EXPECT_TRUE(data_.List().empty());
}

TEST_F(ArchiveBackupTest, ALibraryPlantedInTheCurrentFolderIsNotLoaded) {
  PutLibraryInto(data_);
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW(win::Widen(data_.path()).c_str());
  auto library = LoadLhaLibrary(win::Widen(launcher_.path()));
  SetCurrentDirectoryW(previous);
  EXPECT_EQ(library->Module(), nullptr);

  BackupWorkers workers(library, clock_);
  auto answer = wt::AnswerDialogLater("PANIC!!", IDOK, 10000);
  workers.Start(Job({"C:\\APP\\*.DAT"}, data_.Path("BACK"), BackupWay::Archive));
  ASSERT_TRUE(workers.WaitAll(15000));
  EXPECT_TRUE(answer->Fired());
  EXPECT_FALSE(data_.Exists("unlha_calls.txt"));
}

}  // namespace
}  // namespace kb
