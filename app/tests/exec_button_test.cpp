// Program buttons with real windows: launching (through the recorder
// program), copy and paste, and files dropped as real WM_DROPFILES.
#include "groups/exec_button.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "common/file_io.h"
#include "common/path.h"
#include "app/group_actions.h"
#include "app/tests/groups_fixture.h"
#include "win/glyph_button.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb::groups_testing {
namespace {

namespace wt = win::testing;

const char kTopBar[] = "[Info]\r\nType=0\r\n";

class ExecButtonTest : public LauncherTest {
 protected:
  // Opens group g in the group window (a click on its group button).
  void OpenGroup(int g) {
    Click(group(g).hwnd());
    ASSERT_TRUE(form().Visible());
    ASSERT_EQ(form().ShownGroup(), g);
  }
  void SetSlot(int g, int s, const TLaunchData& record) {
    form().Entries.At(g, s) = record;
  }
  // Waits for the recorder's file and returns its lines as "key=value".
  std::string WaitForRecord(const std::string& relative) {
    const bool written = wt::WaitUntil([&] { return folder_.Exists(relative); }, 15000);
    EXPECT_TRUE(written) << "the launched program left no record";
    return folder_.Read(relative);
  }
  void RecordLaunchesTo(const std::string& relative) {
    SetEnvironmentVariableW(L"KB_LAUNCH_RECORD", win::Widen(folder_.Path(relative)).c_str());
  }
};

// The recorder writes UTF-8; every path the tests use is ASCII.
std::string Line(const std::string& record, const std::string& key) {
  const size_t at = record.find(key + "=");
  if (at == std::string::npos) return "<missing>";
  const size_t end = record.find('\n', at);
  return record.substr(at + key.size() + 1, end - at - key.size() - 1);
}

TEST_F(ExecButtonTest, LeftClickStartsTheProgramInItsFolderWithItsWindowState) {
  Start(kTopBar);
  folder_.MakeFolder("work");
  TLaunchData record = RecordFor(BinPath("launch_recorder.exe"), 3);
  record.WorkingDir = folder_.Path("work");
  SetSlot(1, 1, record);
  shell_.passThrough = true;
  RecordLaunchesTo("launch1.txt");
  OpenGroup(1);
  Click(slot(1).hwnd());
  const std::string seen = WaitForRecord("launch1.txt");
  EXPECT_EQ(Line(seen, "folder"), folder_.Path("work"));
  EXPECT_EQ(Line(seen, "show"), "3");
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].parameters, "");
  EXPECT_TRUE(form().Visible());  // ExecHide is off
}

TEST_F(ExecButtonTest, BackupSectionIsLoadedFirstAndCountedDownOnlyForBackedUpLaunches) {
  Start("[Info]\r\nType=0\r\nExecHide=1\r\n");
  TLaunchData record = RecordFor("C:\\tools\\app.exe");
  record.DoBackUp = true;
  SetSlot(2, 5, record);
  SetSlot(2, 6, RecordFor("C:\\tools\\other.exe", 2));
  OpenGroup(2);
  Click(slot(5).hwnd());
  EXPECT_EQ(backup_.calls, (std::vector<std::string>{"load binf205", "count binf205"}));
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].file, "C:\\tools\\app.exe");
  EXPECT_EQ(shell_.calls[0].directory, "C:\\tools\\");
  EXPECT_FALSE(form().Visible());  // ExecHide hides the window after a click launch

  OpenGroup(2);
  backup_.calls.clear();
  form().OnRegister = [](int) {};  // the registration dialog is not under test here
  RightClick(slot(6).hwnd());
  Click(slot(6).hwnd());
  EXPECT_EQ(backup_.calls, (std::vector<std::string>{"load binf206", "load binf206"}));
  ASSERT_EQ(shell_.calls.size(), 2u);
  EXPECT_EQ(shell_.calls[1].showCmd, 2);
}

TEST_F(ExecButtonTest, RightClickGoesToTheRegistrationFlowOfThatSlot) {
  Start(kTopBar);
  int asked = 0;
  form().OnRegister = [&](int n) { asked = n; };
  OpenGroup(1);
  RightClick(slot(4).hwnd());
  EXPECT_EQ(asked, 4);
  EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(ExecButtonTest, ShiftClickCopiesASlotIntoAnotherGroup) {
  Start(kTopBar);
  const TLaunchData source = RecordFor(BinPath("launch_recorder.exe"), 4);
  SetSlot(1, 2, source);
  OpenGroup(1);
  Click(slot(2).hwnd(), MK_SHIFT);
  EXPECT_TRUE(form().CopyPending);
  EXPECT_EQ(slot(7).Cursor(), win::GlyphButton::DragCursor());
  EXPECT_TRUE(shell_.calls.empty());  // a copy starts nothing

  OpenGroup(4);
  Click(slot(7).hwnd());
  EXPECT_FALSE(form().CopyPending);
  EXPECT_EQ(slot(7).Cursor(), nullptr);
  EXPECT_EQ(form().Entries.At(4, 7), source);
  EXPECT_EQ(form().Entries.At(1, 2), source);
  EXPECT_TRUE(form().Entries.At(1, 7).FPFileName.empty());
  EXPECT_EQ(slot(7).Hint(), source.ShowName);
  EXPECT_TRUE(shell_.calls.empty());
  // The pasted icon went into the store cell of group 4, slot 7.
  HBITMAP probe = win::CreateBlankGlyph();
  ASSERT_TRUE(app().Icons.CopyCellTo(7, 3, probe));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, probe);
  const COLORREF fromStore = GetPixel(dc, 16, 16);
  SelectObject(dc, slot(7).GlyphBitmap());
  EXPECT_EQ(GetPixel(dc, 16, 16), fromStore);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(probe);
}

TEST_F(ExecButtonTest, DropOnAnEmptySlotRegistersTheFirstFile) {
  Start(kTopBar);
  folder_.Write("files\\memo.txt", "memo");
  folder_.Write("files\\second.txt", "2");
  OpenGroup(3);
  Drop(slot(2).hwnd(), {folder_.Path("files\\memo.txt"), folder_.Path("files\\second.txt")});
  const TLaunchData& r = form().Entries.At(3, 2);
  EXPECT_EQ(r.FPFileName, folder_.Path("files\\memo.txt"));
  EXPECT_EQ(r.WorkingDir, folder_.Path("files\\"));
  EXPECT_EQ(r.ShowName, "memo");
  EXPECT_EQ(r.IconFile, folder_.Path("files\\memo.txt"));
  EXPECT_EQ(r.IconIndex, 0);
  EXPECT_EQ(r.ExecOption, 1);
  EXPECT_EQ(slot(2).Hint(), "memo");
  EXPECT_TRUE(form().Entries.At(3, 3).FPFileName.empty());
  EXPECT_TRUE(shell_.calls.empty());
}

void MakeShortcut(const std::string& link, const std::string& target, const std::string& folder) {
  CoInitialize(nullptr);
  IShellLinkW* shellLink = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkW, reinterpret_cast<void**>(&shellLink))));
  shellLink->SetPath(win::Widen(target).c_str());
  shellLink->SetWorkingDirectory(win::Widen(folder).c_str());
  shellLink->SetShowCmd(SW_SHOWMINNOACTIVE);
  IPersistFile* file = nullptr;
  shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_TRUE(SUCCEEDED(file->Save(win::Widen(link).c_str(), TRUE)));
  file->Release();
  shellLink->Release();
  CoUninitialize();
}

TEST_F(ExecButtonTest, DroppedShortcutGivesTargetFolderAndShowCommand) {
  Start(kTopBar);
  folder_.MakeFolder("linkwork");
  const std::string target = BinPath("launch_recorder.exe");
  MakeShortcut(folder_.Path("Recorder.LNK"), target, folder_.Path("linkwork"));
  shell_.linkShowCmd = SW_SHOWMINNOACTIVE;  // what Windows reads from the link
  OpenGroup(1);
  Drop(slot(3).hwnd(), {folder_.Path("Recorder.LNK")});
  const TLaunchData& r = form().Entries.At(1, 3);
  EXPECT_EQ(LowerAscii(r.FPFileName), LowerAscii(target));
  EXPECT_EQ(r.WorkingDir, folder_.Path("linkwork"));
  EXPECT_EQ(r.ExecOption, SW_SHOWMINNOACTIVE);
  EXPECT_EQ(r.IconFile, "");  // the icon comes from the target later
  EXPECT_EQ(r.IconIndex, 0);
  EXPECT_EQ(r.ShowName, "Recorder");  // the shell's name of the link
  // Resolved inside WM_DROPFILES: never with the shell's search dialog.
  EXPECT_EQ(shell_.linkUis, std::vector<win::LinkUi>{win::LinkUi::Never});
}

TEST_F(ExecButtonTest, BrokenShortcutLeavesTheSlotEmptyForLaunching) {
  Start(kTopBar);
  folder_.Write("broken.lnk", "not a link");
  OpenGroup(1);
  Drop(slot(1).hwnd(), {folder_.Path("broken.lnk")});
  EXPECT_TRUE(form().Entries.At(1, 1).FPFileName.empty());
}

TEST_F(ExecButtonTest, FilesDroppedOnAProgramArePassedTabSeparated) {
  Start("[Info]\r\nType=0\r\nExecHide=1\r\n");
  folder_.Write("a.txt", "a");
  folder_.Write("b c.txt", "b");
  SetSlot(1, 1, RecordFor(BinPath("launch_recorder.exe"), 1));
  shell_.passThrough = true;
  RecordLaunchesTo("params.txt");
  OpenGroup(1);
  Drop(slot(1).hwnd(), {folder_.Path("a.txt"), folder_.Path("b c.txt")});
  const std::string seen = WaitForRecord("params.txt");
  const std::string joined = folder_.Path("a.txt") + "\t" + folder_.Path("b c.txt");
  const std::string commandLine = Line(seen, "cmdline");
  ASSERT_GE(commandLine.size(), joined.size());
  EXPECT_EQ(commandLine.substr(commandLine.size() - joined.size()), joined);
  const std::string quotedFirst = std::string(1, '"').append(folder_.Path("a.txt"));
  EXPECT_EQ(commandLine.find(quotedFirst), std::string::npos);  // unquoted
  EXPECT_TRUE(backup_.calls.empty());  // no countdown for a drop launch
  EXPECT_TRUE(form().Visible());       // ExecHide applies to clicks only
}

TEST_F(ExecButtonTest, FilesDroppedOnAFolderAreCopiedAfterTheOverwriteQuestion) {
  Start(kTopBar);
  folder_.MakeFolder("target");
  folder_.Write("new.txt", "new");
  folder_.Write("clash.txt", "dropped");
  folder_.Write("target\\clash.txt", "kept");
  TLaunchData record;
  record.FPFileName = folder_.Path("target");
  SetSlot(1, 1, record);
  OpenGroup(1);
  {
    auto cancel = wt::AnswerDialogLater("確認", IDCANCEL);
    Drop(slot(1).hwnd(), {folder_.Path("new.txt"), folder_.Path("clash.txt")});
    ASSERT_TRUE(wt::WaitUntil([&] { return cancel->Fired(); }));
    wt::PumpMessagesFor(50);
  }
  EXPECT_EQ(folder_.Read("target\\new.txt"), "new");
  EXPECT_EQ(folder_.Read("target\\clash.txt"), "kept");
  {
    auto ok = wt::AnswerDialogLater("確認", IDOK);
    Drop(slot(1).hwnd(), {folder_.Path("clash.txt")});
    ASSERT_TRUE(wt::WaitUntil([&] { return ok->Fired(); }));
    wt::PumpMessagesFor(50);
    EXPECT_NE(ok->ShownText().find("\rclash.txt\rが存在します。上書きしますか？"),
              std::string::npos);
  }
  EXPECT_EQ(folder_.Read("target\\clash.txt"), "dropped");
  EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(ExecButtonTest, NameTooLongForTheBufferIsRefusedNotCut) {
  Start(kTopBar);
  const std::string longName = folder_.Path(std::string(250, 'n') + ".txt");
  auto box = wt::AnswerDialogLater("Kobarune", IDOK);
  OpenGroup(1);
  Drop(slot(1).hwnd(), {longName});
  EXPECT_FALSE(box->Fired()) << "shown inside WM_DROPFILES";
  app().ShowPendingErrors();  // as the main loop does after the drop
  ASSERT_TRUE(box->Fired());
  EXPECT_NE(box->ShownText().find("長すぎる"), std::string::npos);
  EXPECT_TRUE(form().Entries.At(1, 1).FPFileName.empty());
}

}  // namespace
}  // namespace kb::groups_testing
