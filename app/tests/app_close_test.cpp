// The launcher's start and close in-process: what the close writes, a first
// start without data, the icon store's file, and a save the system refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "common/file_io.h"
#include "groups/edit_window.h"
#include "groups/sub_form.h"
#include "app/app.h"
#include "model/bmp_file.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"
#include "win/message_dlg.h"
#include "win/testing/testing.h"
#include "win/text.h"
#include "win/timer.h"
#include "win/window.h"

namespace kb {
namespace {

using testing::TempExeFolder;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::unique_ptr<App> Start(const TempExeFolder& folder, int width = 1024, int height = 768) {
  auto app = std::make_unique<App>(AppOptions{folder.path(), width, height});
  app->CreateForms();
  return app;
}

TEST(AppClose, FirstStartWithoutDataFolderSavesDefaultsInOrder) {
  TempExeFolder folder;
  auto app = Start(folder);
  EXPECT_FALSE(FolderExists(folder.path() + "data"));
  app->Close();
  EXPECT_FALSE(IsWindow(app->MainForm().hwnd()));
  // The close shows the application window again (it carries the taskbar button).
  EXPECT_TRUE(IsWindowVisible(app->ApplicationHandle()));

  // The group window's save ends the session and writes "Window" again with
  // its own bounds, so only the keys of that section are fixed here.
  std::vector<std::string> lines = Lines(folder.ReadData("KBINI.dat"));
  ASSERT_GE(lines.size(), 6u);
  for (size_t i = 1; i < 6; ++i) lines[i] = lines[i].substr(0, lines[i].find('=') + 1);
  const std::vector<std::string> expected = {
      "[Window]", "Left=", "Top=", "Width=", "Height=", "Number=",
      "[Info]", "Type=1", "AutoHide=0", "ExecHide=0", "NotActiveHide=0", "Version=",
      "StayonTop=0", "SaverPause=0", "MouseOnActive=0", "TMaxFileNum=5", "MaxFileLimit=0",
      "LateBU=0", "OnTray=0", "StartUp=0",
      "[Group]", "Number=16", "[List]", "Number=15"};
  EXPECT_EQ(lines, expected);

  const auto info = ParseBmp(folder.ReadData("Iconbmp.dat"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 16 * 32);   // (ListCount + 1) × 32
  EXPECT_EQ(info->height, 16 * 32);  // GroupCount × 32
}

// The launcher's own start-up shows the bar before it makes the hidden
// windows; the close then still writes the group window's part.
TEST(AppClose, BarShownBeforeTheHiddenWindowsStillSavesEveryPart) {
  TempExeFolder folder;
  App app(AppOptions{folder.path(), 1024, 768});
  EXPECT_THROW(app.CreateHiddenForms(), std::logic_error);
  app.CreateBar();
  app.ShowBar();
  EXPECT_TRUE(IsWindowVisible(app.MainForm().hwnd()));
  EXPECT_FALSE(app.HasSubForm());
  app.CreateHiddenForms();
  ASSERT_TRUE(app.HasSubForm());
  EXPECT_FALSE(IsWindowVisible(app.SubForm().hwnd()));
  EXPECT_FALSE(IsWindowVisible(app.EditWindow().hwnd()));

  // Run shows nothing twice and ends with the bar.
  PostMessageW(app.MainForm().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_FALSE(IsWindow(app.MainForm().hwnd()));
  const std::vector<std::string> lines = Lines(folder.ReadData("KBINI.dat"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "[Window]");  // the group window's part came first
  EXPECT_NE(std::find(lines.begin(), lines.end(), "[Info]"), lines.end());
}

TEST(AppClose, GroupRecordsAreWrittenOnlyWithAnIconFile) {
  TempExeFolder folder;
  folder.WriteData("KBINI.dat",
                   "[Info]\r\nType=0\r\nTMaxFileNum=20\r\nMaxFileLimit=1\r\n"
                   "[Button2]\r\nShowName=名前だけ\r\nFPFileName=old\r\n");
  auto app = Start(folder);
  app->MainForm().GroupButton(2)->Entry.FPFileName = "changed";
  TLaunchData& group3 = app->MainForm().GroupButton(3)->Entry;
  group3.ShowName = "表示";
  group3.IconFile = "C:\\表示.ico";
  group3.IconIndex = 2;
  app->Close();
  const std::string text = folder.ReadData("KBINI.dat");
  const std::vector<std::string> lines = Lines(text);
  auto at = [&](const std::string& line) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == line) return static_cast<int>(i);
    return -1;
  };
  // Button2 has no icon file: its old section stays as it was.
  EXPECT_NE(at("FPFileName=old"), -1);
  EXPECT_EQ(text.find("changed"), std::string::npos);
  const int button3 = at("[Button3]");
  ASSERT_NE(button3, -1);
  const std::vector<std::string> record(lines.begin() + button3 + 1, lines.begin() + button3 + 8);
  const std::vector<std::string> expected = {"FPFileName=", "WorkingDir=", "ShowName=表示",
                                             "IconFile=C:\\表示.ico", "IconIndex=2",
                                             "ExecOption=1", "DoBackUp=0"};
  EXPECT_EQ(record, expected);
  // The list count grew to TMaxFileNum: the store is 21 cells wide.
  EXPECT_NE(at("Number=20"), -1);
  EXPECT_NE(at("Number=23"), -1);
  const auto info = ParseBmp(folder.ReadData("Iconbmp.dat"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, 21 * 32);
  EXPECT_EQ(info->height, 23 * 32);
}

TEST(AppClose, UnknownEdgeIsSavedAsTheBottom) {
  TempExeFolder folder;
  folder.WriteData("KBINI.dat", "[Info]\r\nType=9\r\n");
  auto app = Start(folder);
  app->ShowBar();
  EXPECT_EQ(app->MainForm().Bounds().top, 768 - 38);  // registered at the bottom
  app->Close();
  const std::vector<std::string> lines = Lines(folder.ReadData("KBINI.dat"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Type=2"), lines.end());
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "Type=9"), lines.end());
}

TEST(AppClose, RefusedSaveShowsTheErrorBoxAndKeepsTheLauncherOpen) {
  TempExeFolder folder;
  // A file named "data" blocks the data folder.
  ASSERT_TRUE(WriteFileAtomic(folder.path() + "data", "x"));
  auto app = Start(folder);
  app->MainForm().Show();  // as Run() shows it: the error box is owned by the bar
  auto watch = win::testing::AnswerDialogLater("Kobarune", IDOK, 10000);
  app->Close();
  // Not shown inside the close handler: the main loop shows it afterwards.
  EXPECT_FALSE(watch->Fired());
  EXPECT_EQ(app->PendingErrorCount(), 1u);
  app->ShowPendingErrors();
  ASSERT_TRUE(watch->Fired());
  EXPECT_EQ(watch->ShownText(), folder.path() + "data\\KBINI.dat に書き込めません.");
  EXPECT_TRUE(IsWindow(app->MainForm().hwnd()));
  EXPECT_NE(app->MainForm().GroupButton(1), nullptr);  // nothing freed
  EXPECT_GT(app->Icons.Rows(), 0);

  // Once the obstacle is gone the next close saves.
  ASSERT_TRUE(RemoveFile(folder.path() + "data"));
  app->Close();
  EXPECT_FALSE(IsWindow(app->MainForm().hwnd()));
  EXPECT_TRUE(FileExists(folder.DataPath("KBINI.dat")));
  EXPECT_TRUE(FileExists(folder.DataPath("Iconbmp.dat")));
}

TEST(AppClose, SettingsFileBlockedByAFolderIsARefusedSave) {
  TempExeFolder folder;
  folder.WriteData("KBINI.dat", "[Info]\r\nType=1\r\n");
  auto app = Start(folder);
  app->MainForm().Show();
  ASSERT_TRUE(RemoveFile(folder.DataPath("KBINI.dat")));
  ASSERT_TRUE(CreateFolder(folder.DataPath("KBINI.dat")));
  auto watch = win::testing::AnswerDialogLater("Kobarune", IDOK, 10000);
  app->Close();
  app->ShowPendingErrors();
  ASSERT_TRUE(watch->Fired());
  EXPECT_NE(watch->ShownText().find("KBINI.dat に書き込めません."), std::string::npos);
  EXPECT_TRUE(IsWindow(app->MainForm().hwnd()));
  // The icon store comes after the settings: it was not written.
  EXPECT_FALSE(FileExists(folder.DataPath("Iconbmp.dat")));
}

TEST(AppClose, EndOfSessionSavesAndLeavesTheLauncherWhole) {
  TempExeFolder folder;
  auto app = Start(folder);
  EXPECT_EQ(SendMessageW(app->MainForm().hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_TRUE(FileExists(folder.DataPath("KBINI.dat")));
  const auto info = ParseBmp(folder.ReadData("Iconbmp.dat"));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->height, 16 * 32);
  // Should the session go on after all, the bar still works.
  EXPECT_TRUE(IsWindow(app->MainForm().hwnd()));
  EXPECT_NE(app->MainForm().GroupButton(16), nullptr);
  EXPECT_EQ(app->Icons.Rows(), 16);
  SendMessageW(app->ApplicationHandle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_FALSE(win::SessionEnding());
}

// A save refused while Windows asks whether the session may end: the answer
// comes at once, no box waits for the user (that would hold the session up),
// and the error is shown only if the session goes on after all.
TEST(AppClose, EndOfSessionNeverWaitsForAnErrorBox) {
  TempExeFolder folder;
  ASSERT_TRUE(WriteFileAtomic(folder.path() + "data", "x"));
  auto app = Start(folder);
  auto inside = win::testing::AnswerDialogLater("Kobarune", IDOK, 10000);
  EXPECT_EQ(SendMessageW(app->MainForm().hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_FALSE(inside->Fired()) << "a box was shown inside WM_QUERYENDSESSION";
  inside.reset();
  EXPECT_EQ(app->PendingErrorCount(), 1u);
  app->ShowPendingErrors();
  EXPECT_EQ(app->PendingErrorCount(), 1u) << "held while the session ends";

  SendMessageW(app->ApplicationHandle(), WM_ENDSESSION, FALSE, 0);
  auto after = win::testing::AnswerDialogLater("Kobarune", IDOK, 10000);
  app->ShowPendingErrors();
  ASSERT_TRUE(after->Fired());
  EXPECT_EQ(after->ShownText(), folder.path() + "data\\KBINI.dat に書き込めません.");
  EXPECT_EQ(app->PendingErrorCount(), 0u);
}

// An error reported while a message is handled returns at once and waits,
// once however often it is reported; the main loop shows it afterwards.
TEST(AppClose, ErrorsInsideAMessageAreShownFromTheMainLoop) {
  TempExeFolder folder;
  auto app = Start(folder);
  HWND bar = app->MainForm().hwnd();
  win::testing::DialogWatch box(
      "Kobarune",
      [bar](HWND dialog) {
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        PostMessageW(bar, WM_CLOSE, 0, 0);
      },
      10000);
  bool shownInside = true;
  size_t waiting = 0;
  win::Timer timer(1);
  timer.SetOnTimer([&] {
    timer.Stop();
    win::ReportError("タイマーの失敗");
    win::ReportError("タイマーの失敗");
    shownInside = box.Fired();
    waiting = app->PendingErrorCount();
    throw std::runtime_error("タイマーの失敗");
  });
  timer.Start();
  EXPECT_EQ(app->Run(), 0);
  EXPECT_FALSE(shownInside);
  EXPECT_EQ(waiting, 1u);
  ASSERT_TRUE(box.Fired());
  EXPECT_EQ(box.ShownText(), "タイマーの失敗.");
  EXPECT_EQ(app->PendingErrorCount(), 0u);
}

// COM is initialised once, apartment-threaded, for the launcher's thread,
// by the time the launcher's windows are made.
TEST(AppClose, LauncherThreadIsASingleThreadedApartment) {
  TempExeFolder folder;
  {
    auto app = Start(folder);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(again, S_FALSE) << "already initialised";
    if (SUCCEEDED(again)) CoUninitialize();
  }
  const HRESULT afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(afterwards, S_OK) << "released with the launcher";
  if (SUCCEEDED(afterwards)) CoUninitialize();
}

TEST(AppClose, TemporaryFilesOfAKilledSaveAreRemovedAtStart) {
  TempExeFolder folder;
  folder.WriteData("KBINI.dat", "[Info]\r\nType=0\r\n");
  folder.WriteData("other.kbtmp", "not the launcher's");
  for (const char* leftover : {"KBINI.dat.kbtmp", "Iconbmp.dat.kbtmp", "BUInfo.dat.kbtmp"}) {
    folder.WriteData(leftover, std::string(5000, 'x'));
  }
  auto app = Start(folder);
  for (const char* leftover : {"KBINI.dat.kbtmp", "Iconbmp.dat.kbtmp", "BUInfo.dat.kbtmp"}) {
    EXPECT_FALSE(FileExists(folder.DataPath(leftover))) << leftover;
  }
  EXPECT_TRUE(FileExists(folder.DataPath("other.kbtmp")));
  EXPECT_EQ(app->settings.Type, 0) << "the settings file itself was read";
}

TEST(AppClose, ErrorsReachingTheLoopShowTheLauncherErrorBox) {
  TempExeFolder folder;
  auto app = Start(folder);
  auto watch = win::testing::AnswerDialogLater("Kobarune", IDOK, 10000);
  win::ReportError("何かが起きました");
  app->ShowPendingErrors();
  ASSERT_TRUE(watch->Fired());
  EXPECT_EQ(watch->ShownText(), "何かが起きました.");
  EXPECT_TRUE(IsWindow(app->MainForm().hwnd()));

  // With the application window shown and the bar not (yet) shown the box
  // still answers.
  ShowWindow(app->ApplicationHandle(), SW_SHOWNA);
  auto second = win::testing::AnswerDialogLater("Kobarune", IDOK, 10000);
  win::ReportError("もう一度");
  app->ShowPendingErrors();
  EXPECT_TRUE(second->Fired());
}

}  // namespace
}  // namespace kb
