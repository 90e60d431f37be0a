// The pre-launch backup with the launcher's own windows, in-process under
// Wine: set up through the registration dialog and the backup target dialog,
// made by a left-click launch, checked in the backup settings file and in
// the backup folder; the archiver library beside the launcher, or none.
#include "app/backup_wiring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "app/tests/groups_fixture.h"
#include "backup/backup_worker.h"
#include "backup/bkup_dlg.h"
#include "backup/lha_library.h"
#include "common/module_folder.h"
#include "common/path.h"
#include "common/profile.h"
#include "components/file_drop.h"
#include "components/folder_dialog.h"
#include "groups/edit_window.h"
#include "groups/tests/dialog_steps.h"
#include "launcher/main_form.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb::groups_testing {
namespace {

namespace wt = win::testing;
using test::RunLater;

const char kTopBar[] = "[Info]\r\nType=0\r\n";

// A tick counter moved by hand and a fixed local time.
class HandClock : public BackupClock {
 public:
  uint32_t TickCount() const override { return ticks.load(); }
  LocalDateTime LocalTime() const override { return {1998, 12, 31, 23, 59, 59}; }
  std::atomic<uint32_t> ticks{5000};
};

void SetText(HWND control, const std::string& text) {
  SetWindowTextW(control, win::Widen(text).c_str());
}

class BackupLaunchTest : public LauncherTest {
 protected:
  void SetUp() override {
    backupClock_ = clock_;
    folder_.Write("APP\\x.DAT", "x");
    folder_.Write("APP\\y.DAT", "y");
    folder_.Write("APP\\z.DAT", "z");
    folder_.Write("APP\\note.txt", "not data");
    folder_.MakeFolder("BACK");
  }
  // The launcher with its own backup schedule behind the program buttons.
  void StartLauncher(const std::string& settingsIni) {
    Start(settingsIni);
    form().SetBackupHooks(&app().Backup());
  }
  TBKUPDlg& backupDialog() { return app().Backup().Dialog(); }
  TEditWindow& editWindow() { return app().EditWindow(); }
  void OpenGroup(int g) {
    Click(group(g).hwnd());
    ASSERT_EQ(form().ShownGroup(), g);
  }
  void RegisterSlot(int s, bool backUp) {
    TLaunchData record = RecordFor("C:\\APP\\app.exe");
    record.DoBackUp = backUp;
    form().Entries.At(1, s) = record;
  }
  void WriteBackupSection(const std::string& section, int way, const std::string& folder) {
    folder_.Write("data\\BUInfo.dat", "[" + section + "]\r\nWay=" + std::to_string(way) +
                                          "\r\nFolder=" + folder + "\r\nTimes=3\r\nNumber=1\r\n"
                                          "File1=" + folder_.Path("APP\\*.DAT") + "\r\n");
  }
  int32_t Stored(const std::string& section, const std::string& key) {
    return ProfileReader(folder_.Path("data\\BUInfo.dat")).ReadInteger(section, key, -999);
  }
  bool WorkersDone() { return app().Backup().Workers().WaitAll(10000); }
  std::vector<std::string> Backed() const {
    std::vector<std::string> names;
    for (const char* name : {"x.DAT", "y.DAT", "z.DAT", "note.txt"}) {
      if (folder_.Exists(std::string("BACK\\") + name)) names.push_back(name);
    }
    return names;
  }
  // Runs `step` once the backup target dialog's modal loop is running.
  void WhenBackupDialogOpen(std::function<void()> step) {
    RunLater([this, step] {
      if (backupDialog().InModal()) {
        step();
      } else {
        WhenBackupDialogOpen(step);
      }
    }, 50);
  }

  std::shared_ptr<HandClock> clock_ = std::make_shared<HandClock>();
};

TEST_F(BackupLaunchTest, SetUpInTheDialogsThenALaunchCopiesTheMatchingFilesIntoTheFolder) {
  StartLauncher(kTopBar);
  RegisterSlot(1, false);
  OpenGroup(1);
  bool done = false;
  WhenBackupDialogOpen([&] {
    SetText(backupDialog().Control(TBKUPDlg::kCandidate), folder_.Path("APP\\*.DAT"));
    test::Click(backupDialog().Control(TBKUPDlg::kButton2));
    SetText(backupDialog().Control(TBKUPDlg::kEdit2), folder_.Path("BACK"));
    PostMessageW(backupDialog().Control(IDOK), BM_CLICK, 0, 0);
  });
  RunLater([&] {
    EXPECT_EQ(editWindow().WorkingDir(), "C:\\APP\\");
    test::Click(editWindow().Control(TEditWindow::kBitBtn7));  // returns when it closes
    editWindow().SetBackUp(true);
    PostMessageW(editWindow().Control(IDOK), BM_CLICK, 0, 0);
    done = true;
  }, 100);
  RightClick(slot(1).hwnd());
  ASSERT_TRUE(wt::WaitUntil([&] { return done && !editWindow().InModal(); }, 15000));

  EXPECT_TRUE(slot(1).Entry.DoBackUp);
  EXPECT_EQ(Stored("binf101", "Number"), 1);
  EXPECT_EQ(Stored("binf101", "Way"), 0);
  EXPECT_TRUE(Backed().empty());

  Click(slot(1).hwnd());
  ASSERT_TRUE(WorkersDone());
  EXPECT_EQ(Backed(), (std::vector<std::string>{"x.DAT", "y.DAT", "z.DAT"}));
  EXPECT_EQ(Stored("binf101", "Next"), 5);  // backed up at the first launch; then every 5th
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].file, "C:\\APP\\app.exe");
}

TEST_F(BackupLaunchTest, DeletingTheRegistrationErasesTheBackupSection) {
  StartLauncher(kTopBar);
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 0, folder_.Path("BACK"));
  OpenGroup(1);
  bool done = false;
  RunLater([&] {
    EXPECT_EQ(backupDialog().Current().targets.size(), 1u) << "loaded at the release";
    test::Click(editWindow().Control(TEditWindow::kBitBtn4));
    PostMessageW(editWindow().Control(IDOK), BM_CLICK, 0, 0);
    done = true;
  }, 100);
  RightClick(slot(1).hwnd());
  ASSERT_TRUE(wt::WaitUntil([&] { return done && !editWindow().InModal(); }, 15000));
  EXPECT_FALSE(ProfileReader(folder_.Path("data\\BUInfo.dat")).SectionExists("binf101"));
}

TEST_F(BackupLaunchTest, LateBackupTouchesNothingUntilMoreThan20SecondsAfterTheLaunch) {
  StartLauncher("[Info]\r\nType=0\r\nLateBU=1\r\n");
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 0, folder_.Path("BACK"));
  OpenGroup(1);
  Click(slot(1).hwnd());
  ASSERT_EQ(shell_.calls.size(), 1u) << "the program starts at once";
  clock_->ticks += 20000;
  EXPECT_FALSE(app().Backup().Workers().WaitAll(300));
  EXPECT_TRUE(Backed().empty());
  clock_->ticks += 1;
  ASSERT_TRUE(WorkersDone());
  EXPECT_EQ(Backed(), (std::vector<std::string>{"x.DAT", "y.DAT", "z.DAT"}));
}

TEST_F(BackupLaunchTest, ClosingDropsABackupStillWaitingAndIsNotHeldUpByIt) {
  StartLauncher("[Info]\r\nType=0\r\nLateBU=1\r\n");
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 0, folder_.Path("BACK"));
  OpenGroup(1);
  Click(slot(1).hwnd());
  ASSERT_EQ(app().Backup().Workers().Running(), 1u);
  const DWORD start = GetTickCount();
  Stop();
  EXPECT_LT(GetTickCount() - start, 2500u);
  clock_->ticks += 60000;
  Sleep(300);
  EXPECT_TRUE(Backed().empty());
  // Reset to 3 at the launch; the backup was not made, so the countdown is
  // as before the launch and the next launch makes it.
  EXPECT_EQ(Stored("binf101", "Next"), 1) << "the backup stays due";
}

TEST_F(BackupLaunchTest, TheEndOfTheSessionDuringTheLateWaitLeavesTheBackupDue) {
  StartLauncher("[Info]\r\nType=0\r\nLateBU=1\r\n");
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 0, folder_.Path("BACK"));
  OpenGroup(1);
  Click(slot(1).hwnd());
  ASSERT_EQ(Stored("binf101", "Next"), 3);
  // The application window hears of it: the process ends without a close.
  const HWND application = GetWindow(app().MainForm().hwnd(), GW_OWNER);
  ASSERT_NE(application, nullptr);
  SendMessageW(application, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(Stored("binf101", "Next"), 1);
}

TEST_F(BackupLaunchTest, AStagingFolderAStoppedArchiveRunLeftGoesAtTheNextStart) {
  WriteBackupSection("binf101", 1, folder_.Path("BACK"));
  folder_.Write("BACK\\" + StagingFolderName(999999, 1) + "\\lzh1A.tmp", "half an archive");
  folder_.Write("BACK\\older.lzh", "an archive of before");
  StartLauncher(kTopBar);
  // Removed beside the start, which does not wait for it.
  EXPECT_TRUE(wt::WaitUntil([&] { return folder_.List("BACK\\").size() == 1; }, 5000));
  EXPECT_EQ(folder_.List("BACK\\"), (std::vector<std::string>{"older.lzh"}));
}

TEST_F(BackupLaunchTest, AFolderShiftJisCannotHoldIsRefusedAndNothingIsHalfSaved) {
  StartLauncher(kTopBar);
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 0, folder_.Path("BACK"));
  const std::string fileBefore = folder_.Read("data\\BUInfo.dat");
  OpenGroup(1);
  const TLaunchData recordBefore = slot(1).Entry;
  const std::string expected =
      "保存フォルダ「D:\\バック?」にはシフトJISで表せない文字が含まれているため、"
      "バックアップの指定を保存できません";
  std::string registrationAnswer;
  bool registrationStayedOpen = false, done = false;
  // The backup target dialog takes the folder as typed (its OK would refuse
  // it too) and is closed with Cancel, which keeps the edit.
  WhenBackupDialogOpen([&] {
    SetWindowTextW(backupDialog().Control(TBKUPDlg::kEdit2), L"D:\\バック\u0E01");
    PostMessageW(backupDialog().Control(IDCANCEL), BM_CLICK, 0, 0);
  });
  RunLater([&] {
    SetText(editWindow().Control(TEditWindow::kEdit3), "新しい名前");
    test::Click(editWindow().Control(TEditWindow::kBitBtn7));  // returns when it closes
    auto answer = wt::AnswerDialogLater("ｴﾗｰ", IDOK, 10000);
    PostMessageW(editWindow().Control(IDOK), BM_CLICK, 0, 0);
    wt::WaitUntil([&] { return answer->Fired(); }, 10000);
    wt::PumpMessagesFor(200);
    registrationAnswer = answer->ShownText();
    registrationStayedOpen = editWindow().InModal();
    PostMessageW(editWindow().Control(IDCANCEL), BM_CLICK, 0, 0);
    done = true;
  }, 100);
  RightClick(slot(1).hwnd());
  ASSERT_TRUE(wt::WaitUntil([&] { return done && !editWindow().InModal(); }, 20000));

  EXPECT_EQ(registrationAnswer, expected);
  EXPECT_TRUE(registrationStayedOpen);
  EXPECT_EQ(slot(1).Entry, recordBefore) << "the button keeps its record";
  EXPECT_EQ(form().Entries.At(1, 1), recordBefore) << "and so does the table";
  EXPECT_EQ(folder_.Read("data\\BUInfo.dat"), fileBefore) << "the section is as it was";
}

TEST_F(BackupLaunchTest, AnArchiveBackupHandsTheArchiverBesideTheLauncherTheCommandLine) {
  const std::wstring built = ModuleFolderW() + L"unlha_standin.dll";
  ASSERT_TRUE(CopyFileW(built.c_str(), win::Widen(folder_.Path("UNLHA32.DLL")).c_str(), FALSE));
  StartLauncher(kTopBar);
  ASSERT_NE(app().ArchiverLibrary()->Module(), nullptr);
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 1, folder_.Path("BACK"));
  OpenGroup(1);
  Click(slot(1).hwnd());
  ASSERT_TRUE(WorkersDone());
  // Packed in the backup's own staging folder inside the backup folder.
  EXPECT_EQ(folder_.Read("unlha_calls.txt"),
            "owner=0 size=65534 a \"" + folder_.Path("BACK") + "\\" +
                StagingFolderName(GetCurrentProcessId(), 1) + "\\981231235959\" \"" +
                folder_.Path("APP\\*.DAT") + "\"\r\n");
  EXPECT_TRUE(Backed().empty());
  EXPECT_TRUE(folder_.List("BACK\\").empty());
}

TEST_F(BackupLaunchTest, TheLaunchersOwnArchiverPacksTheMatchingFilesIntoANewArchive) {
  const std::wstring built = ModuleFolderW() + L"UNLHA32.DLL";
  ASSERT_TRUE(CopyFileW(built.c_str(), win::Widen(folder_.Path("UNLHA32.DLL")).c_str(), FALSE));
  StartLauncher(kTopBar);
  const LhaLibrary& library = *app().ArchiverLibrary();
  for (size_t i = 0; i < LhaLibrary::kExportCount; ++i) {
    EXPECT_TRUE(library.Bound(i)) << LhaLibrary::ExportNames()[i];
  }
  RegisterSlot(1, true);
  WriteBackupSection("binf101", 1, folder_.Path("BACK"));
  OpenGroup(1);
  Click(slot(1).hwnd());
  ASSERT_TRUE(WorkersDone());
  const std::string archive = folder_.Path("BACK\\981231235959.lzh");
  ASSERT_TRUE(folder_.Exists("BACK\\981231235959.lzh"));
  const auto& names = LhaLibrary::ExportNames();
  const size_t slot = std::find(names.begin(), names.end(), std::string_view("UnlhaGetFileCount")) -
                      names.begin();
  using FileCountProc = int(WINAPI*)(LPCSTR);
  const auto fileCount = reinterpret_cast<FileCountProc>(library.Slot(slot));
  EXPECT_EQ(fileCount(archive.c_str()), 3) << "x.DAT, y.DAT and z.DAT";
}

TEST_F(BackupLaunchTest, WithoutTheArchiverEachArchiveBackupShowsOnePanicMessage) {
  StartLauncher(kTopBar);
  ASSERT_EQ(app().ArchiverLibrary()->Module(), nullptr);
  RegisterSlot(1, true);
  folder_.Write("data\\BUInfo.dat", "[binf101]\r\nWay=1\r\nFolder=" + folder_.Path("BACK") +
                                        "\r\nTimes=1\r\nNumber=1\r\nFile1=C:\\APP\\*.DAT\r\n");
  OpenGroup(1);
  for (int launch = 1; launch <= 2; ++launch) {
    auto answer = wt::AnswerDialogLater("PANIC!!", IDOK, 10000);
    Click(slot(1).hwnd());
    ASSERT_TRUE(WorkersDone());
    EXPECT_TRUE(answer->Fired()) << launch;
    EXPECT_EQ(answer->ShownText(), "UnlhaGetVersion: LHA.DLL not loaded.");
    EXPECT_EQ(Stored("binf101", "Next"), 1);
  }
  EXPECT_EQ(shell_.calls.size(), 2u);
}

TEST_F(BackupLaunchTest, FilesDroppedOnTheTargetListAreAddedThroughItsDropTarget) {
  StartLauncher(kTopBar);
  EXPECT_EQ(app().Backup().FileDrop1().HookedWindow(), backupDialog().ListCandidate());
  EXPECT_TRUE(GetWindowLongPtrW(backupDialog().ListCandidate(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  wt::PostDrop(backupDialog().ListCandidate(),
               {folder_.Path("APP\\z.DAT"), folder_.Path("APP\\x.DAT"), folder_.Path("APP\\y.DAT")});
  ASSERT_TRUE(wt::WaitUntil([&] { return backupDialog().Current().targets.size() == 3; }));
  EXPECT_EQ(backupDialog().Current().targets,
            (std::vector<std::string>{folder_.Path("APP\\x.DAT"), folder_.Path("APP\\y.DAT"),
                                      folder_.Path("APP\\z.DAT")}));
}

TEST_F(BackupLaunchTest, TheFolderButtonRunsTheShellsFolderBrowserOverTheDialog) {
  StartLauncher(kTopBar);
  std::string chosen = folder_.Path("BACK");
  HWND browserOwner = nullptr;
  TSelectFolderDialog& browser = app().Backup().SelectFolderDialog1();
  const std::wstring wide = win::Widen(chosen);
  bool selected = false;
  UINT_PTR again = 0;
  // Wine's browser now and then leaves a selection by path unmade when its
  // tree is still being filled: the user's choice is made again until the
  // browser reports it.
  std::function<void()> select = [&] {
    again = 0;
    HWND open = browser.BrowserWindow();
    if (selected || !open) return;
    SendMessageW(open, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    again = RunLater(select, 200);
  };
  browser.OnInitialized = [&](TSelectFolderDialog& sender) {
    browserOwner = GetWindow(sender.BrowserWindow(), GW_OWNER);
    select();
  };
  browser.OnSelChanged = [&](TSelectFolderDialog& sender, const std::string& path) {
    if (!selected && LowerAscii(path) == LowerAscii(chosen)) {
      selected = true;
      PostMessageW(sender.BrowserWindow(), WM_COMMAND, IDOK, 0);
    }
  };
  WhenBackupDialogOpen([&] {
    test::Click(backupDialog().Control(TBKUPDlg::kButton3));
    PostMessageW(backupDialog().Control(IDOK), BM_CLICK, 0, 0);
  });
  // A browser that never gets there is cancelled, so the test fails, not hangs.
  const UINT_PTR cancelBrowser = RunLater([&] {
    if (HWND open = browser.BrowserWindow()) PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
  }, 10000);
  const UINT_PTR endDialog = RunLater([&] { backupDialog().EndModal(win::mrCancel); }, 15000);
  backupDialog().Execute();
  for (UINT_PTR step : {again, cancelBrowser, endDialog}) {
    if (step) test::CancelStep(step);
  }
  EXPECT_EQ(browserOwner, backupDialog().hwnd());
  EXPECT_EQ(LowerAscii(backupDialog().Current().Folder), LowerAscii(chosen));
}

}  // namespace
}  // namespace kb::groups_testing
