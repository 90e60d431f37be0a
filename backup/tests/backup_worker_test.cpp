#include "backup/backup_worker.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// A clock that holds every reading taken off the test's thread until the
// test lets it go: the worker's thread runs only after the time moved on.
class HeldClock : public FakeClock {
 public:
  uint32_t TickCount() const override {
    if (GetCurrentThreadId() != owner) WaitForSingleObject(go, 10000);
    return FakeClock::TickCount();
  }
  DWORD owner = GetCurrentThreadId();
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~HeldClock() override { CloseHandle(go); }
};

TEST_F(CopyBackupTest, LateStartCountsFromTheLaunchNotFromWhenItsThreadFirstRuns) {
  auto clock = std::make_shared<HeldClock>();
  BackupWorkers workers(NoLibrary(), clock);
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder(), BackupWay::Copy, true));
  clock->ticks += kLateBackupDelayMs + 1;  // before the thread read the clock
  SetEvent(clock->go);
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

TEST_F(CopyBackupTest, EachWorkerClosesItsThreadHandleAsItsThreadEnds) {
  BackupWorkers workers(NoLibrary());
  for (int i = 0; i < 3; ++i) workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder()));
  EXPECT_GE(workers.ThreadHandlesHeld(), 1u);
  // Nothing else is asked of the workers meanwhile (no Running, no WaitAll,
  // no further Start): the handles go by themselves.
  EXPECT_TRUE(wt::WaitUntil([&] { return workers.ThreadHandlesHeld() == 0; }, 10000))
      << workers.ThreadHandlesHeld() << " handles still open";
  EXPECT_EQ(dir_.List("BACK\\").size(), 3u);
}

TEST_F(CopyBackupTest, ClosingHandsBackTheBackupsItKeptFromBeingMade) {
  std::string bytes(64 << 20, '\0');
  for (size_t i = 0; i < bytes.size(); i += 4096) bytes[i] = static_cast<char>(i >> 12);
  dir_.Write("BIG\\big.bin", bytes);
  auto clock = std::make_shared<FakeClock>();
  BackupWorkers workers(NoLibrary(), clock);
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder()), {"binf101", 1});
  ASSERT_TRUE(workers.WaitAll(10000));
  workers.Start(Job({dir_.Path("BIG\\big.bin")}, Folder()), {"binf102", 0});
  workers.Start(Job({dir_.Path("APP\\*.DAT")}, Folder(), BackupWay::Copy, true), {"binf103", -2});
  std::vector<BackupOrigin> unmade = workers.Shutdown(0, 10000);
  std::sort(unmade.begin(), unmade.end(),
            [](const BackupOrigin& a, const BackupOrigin& b) { return a.section < b.section; });
  EXPECT_EQ(unmade, (std::vector<BackupOrigin>{{"binf102", 0}, {"binf103", -2}}))
      << "the finished backup is not handed back; the stopped and the dropped one are";
  EXPECT_TRUE(workers.Shutdown().empty()) << "each is handed back once";
}

// The launcher's folder holds the stand-in library, built beside the tests.
class ArchiveBackupTest : public ::testing::Test {
 protected:
  void PutLibraryInto(const TempDir& dir) {
    const std::wstring built = ModuleFolderW() + L"unlha_standin.dll";
    ASSERT_TRUE(CopyFileW(built.c_str(), win::Widen(dir.Path("UNLHA32.DLL")).c_str(), FALSE));
  }
  // The launcher's own archiver, built beside the tests.
  void PutOwnArchiverInto(const TempDir& dir) {
    const std::wstring built = ModuleFolderW() + L"UNLHA32.DLL";
    ASSERT_TRUE(CopyFileW(built.c_str(), win::Widen(dir.Path("UNLHA32.DLL")).c_str(), FALSE));
  }
  std::shared_ptr<FakeClock> clock_ = std::make_shared<FakeClock>();
  TempDir launcher_{"kbl"};
  TempDir data_;
};

// The members of an archive as the archiver's test command reports them,
// each unpacked and its CRC checked, sorted by name; "<broken>" when the
// archive is missing or a member fails.
std::vector<std::string> Members(const LhaLibrary& library, const std::string& archive) {
  std::vector<char> output(65535, '\0');
  const std::string command = "t \"" + archive + "\"";
  if (library.Unlha(nullptr, command.c_str(), output.data(), 65534) != 0) return {"<broken>"};
  std::vector<std::string> names;
  const std::string text = output.data();
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    if (line.ends_with("  OK")) names.push_back(line.substr(0, line.size() - 4));
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ArchiveBackupTest, TheLibraryGetsTheExactCommandLineWithNoOwnerAnd65534) {
  PutLibraryInto(launcher_);
  auto library = LoadLhaLibrary(win::Widen(launcher_.path()));
  ASSERT_NE(library->Module(), nullptr);
  for (size_t i = 0; i < LhaLibrary::kExportCount; ++i) {
    const std::string name = LhaLibrary::ExportNames()[i];
    EXPECT_EQ(library->Bound(i), name == "UnlhaGetVersion" || name == "Unlha") << name;
  }
  data_.MakeFolder("Back up");
  BackupWorkers workers(library, clock_);
  workers.Start(Job({"C:\\APP\\*.DAT", "C:\\My Data\\a.ini"}, data_.Path("Back up"),
                    BackupWay::Archive));
  ASSERT_TRUE(workers.WaitAll(10000));
  // The archive is packed in the backup's own staging folder, which goes
  // once the archive (here: none) has been moved out.
  EXPECT_EQ(launcher_.Read("unlha_calls.txt"),
            "owner=0 size=65534 a \"" + data_.Path("Back up") + "\\" +
                StagingFolderName(GetCurrentProcessId(), 1) + "\\981231235959\" \"C:\\APP\\*.DAT\" "
                "\"C:\\My Data\\a.ini\"\r\n");
  EXPECT_TRUE(data_.List("Back up\\").empty());
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

TEST_F(ArchiveBackupTest, ArchivesOfOneSecondEachGetANameOfTheirOwnAndNoneIsAddedTo) {
  PutOwnArchiverInto(launcher_);
  auto library = LoadLhaLibrary(win::Widen(launcher_.path()));
  ASSERT_NE(library->Module(), nullptr);
  data_.Write("APP\\a.DAT", std::string(20000, 'a'));
  data_.Write("APP\\b.DAT", "b");
  data_.Write("OTHER\\x.txt", "x");
  data_.Write("OTHER\\y.txt", std::string(50000, 'y'));
  data_.MakeFolder("BACK");
  BackupWorkers workers(library, clock_);  // the clock stands still: one second
  // Two launches at once...
  workers.Start(Job({data_.Path("APP\\*.DAT")}, data_.Path("BACK"), BackupWay::Archive));
  workers.Start(Job({data_.Path("OTHER\\*.txt")}, data_.Path("BACK"), BackupWay::Archive));
  ASSERT_TRUE(workers.WaitAll(20000));
  // ...and one after them.
  workers.Start(Job({data_.Path("OTHER\\x.txt")}, data_.Path("BACK"), BackupWay::Archive));
  ASSERT_TRUE(workers.WaitAll(20000));

  EXPECT_EQ(data_.List("BACK\\"), (std::vector<std::string>{"981231235959.lzh", "981231235959_2.lzh",
                                                            "981231235959_3.lzh"}));
  std::vector<std::vector<std::string>> together = {
      Members(*library, data_.Path("BACK\\981231235959.lzh")),
      Members(*library, data_.Path("BACK\\981231235959_2.lzh"))};
  std::sort(together.begin(), together.end());
  EXPECT_EQ(together, (std::vector<std::vector<std::string>>{{"a.DAT", "b.DAT"}, {"x.txt", "y.txt"}}));
  EXPECT_EQ(Members(*library, data_.Path("BACK\\981231235959_3.lzh")),
            (std::vector<std::string>{"x.txt"}));
}

TEST_F(ArchiveBackupTest, AnArchiveRunEndedWithItsProcessLeavesNothingOnceTheLeftoversGo) {
  PutOwnArchiverInto(launcher_);
  // Hardly packable, so the run takes a while.
  std::string bytes(32 << 20, '\0');
  uint32_t x = 12345;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  data_.Write("APP\\big.bin", bytes);
  data_.MakeFolder("BACK");

  const std::wstring program = ModuleFolderW() + L"archive_victim.exe";
  // The folder without its backslash, which would escape the quote after it.
  std::wstring libraryFolder = win::Widen(launcher_.path());
  libraryFolder.pop_back();
  std::wstring command = L"\"" + program + L"\" \"" + libraryFolder + L"\" \"" +
                         win::Widen(data_.Path("APP\\big.bin")) + L"\" \"" +
                         win::Widen(data_.Path("BACK")) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process));
  // The archiver's temporary file inside the run's staging folder.
  auto packing = [&] {
    for (const std::string& name : data_.List("BACK\\")) {
      if (StagingFolderOwner(name) && !data_.List("BACK\\" + name + "\\").empty()) return true;
    }
    return false;
  };
  bool sawPacking = false;
  const DWORD start = GetTickCount();
  while (!sawPacking && GetTickCount() - start < 30000) {
    sawPacking = packing();
    if (!sawPacking) Sleep(1);
  }
  // While its process runs, the run's folder is not a leftover.
  EXPECT_EQ(RemoveArchiveLeftovers({data_.Path("BACK")}), 0);
  TerminateProcess(process.hProcess, 9);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_TRUE(sawPacking);

  ASSERT_EQ(data_.List("BACK\\").size(), 1u) << "the ended run's staging folder";
  // The system closes the dead process's handles a moment after its end.
  int removed = 0;
  for (int i = 0; i < 100 && removed == 0; ++i) {
    removed = RemoveArchiveLeftovers({data_.Path("BACK"), data_.Path("nowhere")});
    if (removed == 0) Sleep(50);
  }
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(data_.List("BACK\\"), std::vector<std::string>{});
}

TEST_F(ArchiveBackupTest, OnlyStagingFoldersOfEndedProcessesAreLeftovers) {
  const std::string own = StagingFolderName(GetCurrentProcessId(), 77);
  const std::string ended = StagingFolderName(999999, 1);
  for (const std::string& folder : {std::string("BACK"), "BACK\\" + own, "BACK\\" + ended,
                                    std::string("BACK\\~kbarcade")}) {
    data_.MakeFolder(folder);
  }
  data_.Write("BACK\\" + own + "\\lzh1.tmp", "being packed");
  data_.Write("BACK\\" + ended + "\\lzh2.tmp", "left behind");
  data_.Write("BACK\\" + ended + "\\981231235959.lzh", "left behind");
  data_.Write("BACK\\~kbarcade\\keep.txt", "somebody else's");
  data_.Write("BACK\\981231235959.lzh", "an archive");
  EXPECT_EQ(RemoveArchiveLeftovers({data_.Path("BACK")}), 1);
  EXPECT_EQ(data_.List("BACK\\"), (std::vector<std::string>{"981231235959.lzh", own, "~kbarcade"}));
}

}  // namespace
}  // namespace kb
