// The bar registered with the real shell at each edge, the shell's
// notifications, a shell restart, a full-screen program, the z-order and the
// auto-hide registration (refused through the seam: Wine never refuses).
#include <gtest/gtest.h>

#include <algorithm>

#include "launcher/tests/edge_fixture.h"
#include "model/edge_rules.h"
#include "win/testing/testing.h"

namespace kb {
namespace {

using testing::EdgeBar;
using testing::kScreenH;
using testing::kScreenW;
using testing::RecordingBarShell;
using testing::ShellInset;
using win::testing::WaitUntil;

Box Final(int type) { return BarBounds(type, false, kScreenW, kScreenH); }
bool Topmost(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
int Count(const std::vector<DWORD>& v, DWORD m) { return static_cast<int>(std::count(v.begin(), v.end(), m)); }

TEST(BarEdge, EveryEdgeEndsInsideTheScreenReservedWithTheShell) {
  for (int type = kEdgeTop; type <= kEdgeRight; ++type) {
    SCOPED_TRACE(type);
    {
      EdgeBar s("Type=" + std::to_string(type) + "\r\n");
      EXPECT_TRUE(s.bar().BarDocked);
      EXPECT_EQ(s.Bounds(), Final(type));  // in place at once ...
      const RECT& rc = s.bar().AppBarData.rc;
      EXPECT_EQ((EdgeRect{rc.left, rc.top, rc.right, rc.bottom}), RectOf(Final(type)));
      ASSERT_TRUE(WaitUntil([&] { return !s.bar().SettlePending(); }, 5000));
      EXPECT_EQ(s.Bounds(), Final(type));  // ... and once the shell has settled
      EXPECT_EQ(ShellInset(type), kBarThickness);
      // All of it on the screen, its buttons within the pointer's reach.
      POINT p{19, 19};
      ClientToScreen(s.bar().SpeedButton1.hwnd(), &p);
      EXPECT_EQ(WindowFromPoint(p), s.bar().SpeedButton1.hwnd());
    }
    EXPECT_EQ(ShellInset(type), 0);  // withdrawn with the launcher
  }
}

// The shell's round trips do not keep the bar off the screen: it is made
// without them and takes its edge once it shows; an activation reaches the
// shell only after the registration.
TEST(BarEdge, TheBarTakesItsEdgeOnceItIsShown) {
  for (const char* info : {"Type=0\r\n", "Type=3\r\nAutoHide=1\r\n"}) {
    SCOPED_TRACE(info);
    RecordingBarShell shell;
    testing::TempExeFolder folder;
    folder.WriteData("KBINI.dat", std::string("[Info]\r\n") + info);
    {
      App unshown(AppOptions{folder.path(), kScreenW, kScreenH, &shell});
      unshown.CreateForms();
      unshown.MainForm().FormActivate();  // not registered: nothing to tell
    }
    EXPECT_TRUE(shell.appBarMessages.empty());  // nor anything to withdraw
    App app(AppOptions{folder.path(), kScreenW, kScreenH, &shell});
    app.CreateForms();
    app.ShowBar();
    ASSERT_FALSE(shell.appBarMessages.empty());
    const DWORD registration = app.settings.AutoHide ? ABM_SETAUTOHIDEBAR : ABM_NEW;
    EXPECT_EQ(shell.appBarMessages.front(), registration);
    EXPECT_TRUE(shell.barVisible.front());
    app.MainForm().FormActivate();
    EXPECT_EQ(shell.appBarMessages.back() == ABM_ACTIVATE, app.settings.AutoHide);
  }
}

TEST(BarEdge, ShellNotificationsPutTheBarBackInPlace) {
  RecordingBarShell shell;
  EdgeBar s("Type=2\r\n", &shell);
  const Box placed = s.Bounds();
  for (WPARAM code : {WPARAM{ABN_STATECHANGE}, WPARAM{ABN_POSCHANGED}}) {
    s.bar().SetBounds(placed.left, placed.top - 200, placed.width, placed.height);
    shell.appBarMessages.clear();
    SendMessageW(s.bar().hwnd(), TMainForm::kAppBarMessage, code, 0);
    EXPECT_EQ(shell.appBarMessages, (std::vector<DWORD>{ABM_QUERYPOS, ABM_SETPOS}));
    EXPECT_EQ(s.Bounds(), placed) << code;
  }
  // In place with nothing changed there is nothing to set: another bar that
  // answers each notification would answer this one, for ever.
  shell.appBarMessages.clear();
  SendMessageW(s.bar().hwnd(), TMainForm::kAppBarMessage, ABN_POSCHANGED, 0);
  SendMessageW(s.bar().hwnd(), TMainForm::kAppBarMessage, ABN_WINDOWARRANGE, TRUE);
  EXPECT_EQ(shell.appBarMessages, std::vector<DWORD>{ABM_QUERYPOS});
}

TEST(BarEdge, ARestartedShellGetsTheBarAgain) {
  EdgeBar s("Type=1\r\n");
  APPBARDATA forget = s.bar().AppBarData;  // a new shell knows no old bar
  SHAppBarMessage(ABM_REMOVE, &forget);
  ASSERT_EQ(ShellInset(kEdgeLeft), 0);
  SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitUntil([] { return ShellInset(kEdgeLeft) == kBarThickness; }, 5000));
  EXPECT_EQ(s.Bounds(), Final(kEdgeLeft));
}

TEST(BarEdge, StayOnTopFollowsTheSettingAndYieldsToAFullScreenProgram) {
  EdgeBar s("Type=0\r\nStayonTop=0\r\n");
  HWND bar = s.bar().hwnd();
  EXPECT_FALSE(Topmost(bar));
  s.app->settings.StayonTop = true;  // as the settings dialog's OK sets it
  s.bar().ApplyStayOnTop();
  EXPECT_TRUE(Topmost(bar));
  SendMessageW(bar, TMainForm::kAppBarMessage, ABN_FULLSCREENAPP, TRUE);
  EXPECT_FALSE(Topmost(bar));
  s.bar().RegisterEdge();  // a renewed registration does not climb back over it
  EXPECT_FALSE(Topmost(bar));
  SendMessageW(bar, TMainForm::kAppBarMessage, ABN_FULLSCREENAPP, FALSE);
  EXPECT_TRUE(Topmost(bar));

  EdgeBar onTop("Type=3\r\nStayonTop=1\r\n");
  EXPECT_TRUE(Topmost(onTop.bar().hwnd()));
}

TEST(BarEdge, AnAutoHideBarRegistersAsSuchAndWithdrawsIt) {
  RecordingBarShell shell;
  {
    EdgeBar s("Type=3\r\nAutoHide=1\r\n", &shell);
    EXPECT_FALSE(s.bar().BarDocked);
    EXPECT_EQ(s.Bounds(), Final(kEdgeRight));
    EXPECT_EQ(shell.appBarMessages.front(), static_cast<DWORD>(ABM_SETAUTOHIDEBAR));
    shell.appBarMessages.clear();
    s.bar().FormActivate();
    EXPECT_EQ(shell.appBarMessages, std::vector<DWORD>{ABM_ACTIVATE});
    EXPECT_TRUE(s.bar().Timer2.Enabled());
  }
  EXPECT_EQ(shell.appBarMessages.back(), static_cast<DWORD>(ABM_SETAUTOHIDEBAR));
  EXPECT_EQ(Count(shell.appBarMessages, ABM_NEW) + Count(shell.appBarMessages, ABM_REMOVE), 0);
}

TEST(BarEdge, ARefusedAutoHideBarSaysSoAndStaysFullyThick) {
  for (int type : {kEdgeLeft, kEdgeBottom}) {
    SCOPED_TRACE(type);
    RecordingBarShell shell;
    shell.refuseAutoHide = true;
    auto answer = win::testing::AnswerDialogLater("情報", IDOK);
    EdgeBar s("Type=" + std::to_string(type) + "\r\nAutoHide=1\r\n", &shell);
    ASSERT_TRUE(answer->Fired());
    EXPECT_EQ(answer->ShownText(),
              "この位置は他のアプリケーションが使っているので、自動的に隠すモードにできません");
    EXPECT_FALSE(s.app->settings.AutoHide);
    EXPECT_EQ(Count(shell.appBarMessages, ABM_NEW), 0);  // none until asked again
    SetCursorPos(500, 400);
    s.bar().Timer2Timer();  // no collapsing any more
    EXPECT_EQ(s.Bounds(), Final(type));
    s.app->Close();
    EXPECT_NE(s.folder.ReadData("KBINI.dat").find("AutoHide=0"), std::string::npos);
  }
}

}  // namespace
}  // namespace kb
