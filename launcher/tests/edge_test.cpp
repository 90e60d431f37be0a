// The bar registered with the real shell at each edge: its final
// rectangle, the part of the edge it takes from other desktop toolbars, the
// registration withdrawn, a shell restart, a full-screen program, the
// z-order, and the auto-hide registration the shell refuses.
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
using testing::ProbeBar;
using testing::RecordingBarShell;
using win::testing::AnswerDialogLater;
using win::testing::WaitUntil;

const char* const kEdgeNames[] = {"top", "left", "bottom", "right"};

bool Topmost(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// How far into the screen the shell's proposal for another bar on `type`
// starts: 0 while the edge is free, the bar's thickness once ours holds it.
int Inset(int type, const RECT& r) {
  switch (type) {
    case kEdgeTop: return r.top;
    case kEdgeLeft: return r.left;
    case kEdgeBottom: return kScreenH - r.bottom;
    default: return kScreenW - r.right;
  }
}

TEST(BarEdge, EveryEdgeEndsInsideTheScreenAndIsReservedWithTheShell) {
  for (int type = kEdgeTop; type <= kEdgeRight; ++type) {
    SCOPED_TRACE(kEdgeNames[type]);
    const Box expected = BarBounds(type, false, kScreenW, kScreenH);
    {
      EdgeBar s("Type=" + std::to_string(type) + "\r\n");
      EXPECT_TRUE(s.bar().BarDocked);
      // In place at once, before the shell's moves have settled ...
      EXPECT_EQ(s.Bounds(), expected);
      const EdgeRect shell = RectOf(expected);
      EXPECT_EQ((EdgeRect{s.bar().AppBarData.rc.left, s.bar().AppBarData.rc.top,
                          s.bar().AppBarData.rc.right, s.bar().AppBarData.rc.bottom}),
                shell);
      // ... and still there once they have.
      ASSERT_TRUE(WaitUntil([&] { return !s.bar().SettlePending(); }, 5000));
      EXPECT_EQ(s.Bounds(), expected);
      // Another desktop toolbar on that edge is kept clear of the bar.
      ProbeBar other;
      EXPECT_EQ(Inset(type, other.Query(type)), kBarThickness);
    }
    // Gone with the launcher.
    ProbeBar other;
    EXPECT_EQ(Inset(type, other.Query(type)), 0);
  }
}

TEST(BarEdge, AFreshStartAtTheBottomOrRightIsUsable) {
  for (int type : {kEdgeBottom, kEdgeRight}) {
    SCOPED_TRACE(kEdgeNames[type]);
    EdgeBar s("Type=" + std::to_string(type) + "\r\n");
    RECT screen{0, 0, kScreenW, kScreenH}, visible{};
    const RECT bar = s.bar().Bounds();
    ASSERT_TRUE(IntersectRect(&visible, &screen, &bar));
    EXPECT_TRUE(EqualRect(&visible, &bar));  // all of it on the screen
    EXPECT_TRUE(IsWindowVisible(s.bar().hwnd()));
    // Its buttons are where the pointer can reach them.
    POINT p{19, 19};
    ClientToScreen(s.bar().SpeedButton1.hwnd(), &p);
    EXPECT_EQ(WindowFromPoint(p), s.bar().SpeedButton1.hwnd());
  }
}

TEST(BarEdge, AShellNotificationPutsTheBarBackInPlace) {
  RecordingBarShell shell;
  EdgeBar s("Type=2\r\n", &shell);
  const Box placed = s.Bounds();
  for (WPARAM code : {WPARAM{ABN_STATECHANGE}, WPARAM{ABN_POSCHANGED}}) {
    s.bar().SetBounds(placed.left, placed.top - 200, placed.width, placed.height);
    shell.appBarMessages.clear();
    SendMessageW(s.bar().hwnd(), TMainForm::kAppBarMessage, code, 0);
    EXPECT_EQ(shell.appBarMessages,
              (std::vector<DWORD>{ABM_QUERYPOS, ABM_SETPOS}));
    EXPECT_EQ(s.Bounds(), placed) << code;
  }
  // With the bar in place and nothing changed there is nothing to set:
  // another bar answering each notification would answer this one.
  ASSERT_TRUE(WaitUntil([&] { return !s.bar().SettlePending(); }, 5000));
  shell.appBarMessages.clear();
  SendMessageW(s.bar().hwnd(), TMainForm::kAppBarMessage, ABN_POSCHANGED, 0);
  EXPECT_EQ(shell.appBarMessages, std::vector<DWORD>{ABM_QUERYPOS});
  EXPECT_EQ(s.Bounds(), placed);

  // Codes the bar does not know change nothing.
  shell.appBarMessages.clear();
  SendMessageW(s.bar().hwnd(), TMainForm::kAppBarMessage, ABN_WINDOWARRANGE, TRUE);
  EXPECT_TRUE(shell.appBarMessages.empty());
}

TEST(BarEdge, ARestartedShellGetsTheBarAgain) {
  EdgeBar s("Type=1\r\n");
  // A new shell knows no desktop toolbar of the old one.
  APPBARDATA forget = s.bar().AppBarData;
  SHAppBarMessage(ABM_REMOVE, &forget);
  {
    ProbeBar other;
    ASSERT_EQ(Inset(kEdgeLeft, other.Query(kEdgeLeft)), 0);
  }
  SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  win::testing::PumpMessagesFor(50);
  ProbeBar other;
  EXPECT_EQ(Inset(kEdgeLeft, other.Query(kEdgeLeft)), kBarThickness);
  EXPECT_EQ(s.Bounds(), BarBounds(kEdgeLeft, false, kScreenW, kScreenH));
}

TEST(BarEdge, StayOnTopFollowsTheSettingAndYieldsToAFullScreenProgram) {
  EdgeBar plain("Type=1\r\nStayonTop=0\r\n");
  EXPECT_FALSE(Topmost(plain.bar().hwnd()));
  plain.app->settings.StayonTop = true;  // as the settings dialog's OK sets it
  plain.bar().ApplyStayOnTop();
  EXPECT_TRUE(Topmost(plain.bar().hwnd()));
  plain.app.reset();

  EdgeBar s("Type=0\r\nStayonTop=1\r\n");
  HWND bar = s.bar().hwnd();
  EXPECT_TRUE(Topmost(bar));
  SendMessageW(bar, TMainForm::kAppBarMessage, ABN_FULLSCREENAPP, TRUE);
  EXPECT_FALSE(Topmost(bar));
  EXPECT_TRUE(s.bar().BelowFullScreenProgram());
  s.bar().RegisterEdge();  // a renewed registration does not climb back over it
  EXPECT_FALSE(Topmost(bar));
  SendMessageW(bar, TMainForm::kAppBarMessage, ABN_FULLSCREENAPP, FALSE);
  EXPECT_TRUE(Topmost(bar));
  EXPECT_FALSE(s.bar().BelowFullScreenProgram());
}

TEST(BarEdge, ARefusedAutoHideBarSaysSoAndStaysFullyThick) {
  for (int type : {kEdgeLeft, kEdgeBottom}) {
    SCOPED_TRACE(kEdgeNames[type]);
    RecordingBarShell shell;
    shell.refuseAutoHide = true;
    auto answer = AnswerDialogLater("情報", IDOK);
    EdgeBar s("Type=" + std::to_string(type) + "\r\nAutoHide=1\r\n", &shell);
    ASSERT_TRUE(answer->Fired());
    EXPECT_EQ(answer->ShownText(),
              "この位置は他のアプリケーションが使っているので、自動的に隠すモードにできません");
    EXPECT_FALSE(s.app->settings.AutoHide);
    EXPECT_FALSE(s.bar().BarDocked);
    EXPECT_FALSE(s.bar().Collapsed());
    EXPECT_EQ(s.Bounds(), BarBounds(type, false, kScreenW, kScreenH));
    // No registration until the next one is asked for.
    EXPECT_EQ(std::count(shell.appBarMessages.begin(), shell.appBarMessages.end(), ABM_NEW), 0);
    // A tick with the pointer away does not collapse it any more.
    SetCursorPos(500, 400);
    s.bar().Timer2Timer();
    EXPECT_EQ(s.Bounds(), BarBounds(type, false, kScreenW, kScreenH));

    s.app->Close();
    EXPECT_NE(s.folder.ReadData("KBINI.dat").find("AutoHide=0"), std::string::npos);
  }
}

TEST(BarEdge, AnAutoHideBarRegistersAsSuchAndWithdrawsIt) {
  RecordingBarShell shell;
  {
    EdgeBar s("Type=3\r\nAutoHide=1\r\n", &shell);
    EXPECT_TRUE(s.app->settings.AutoHide);
    EXPECT_FALSE(s.bar().BarDocked);
    EXPECT_EQ(s.Bounds(), BarBounds(kEdgeRight, false, kScreenW, kScreenH));
    ASSERT_FALSE(shell.appBarMessages.empty());
    EXPECT_EQ(shell.appBarMessages.front(), static_cast<DWORD>(ABM_SETAUTOHIDEBAR));
    EXPECT_EQ(std::count(shell.appBarMessages.begin(), shell.appBarMessages.end(), ABM_NEW), 0);
    shell.appBarMessages.clear();
    s.bar().FormActivate();
    EXPECT_EQ(shell.appBarMessages, std::vector<DWORD>{ABM_ACTIVATE});
    EXPECT_TRUE(s.bar().Timer2.Enabled());
    shell.appBarMessages.clear();
  }
  // Withdrawn as an auto-hide bar (an activation on the way out may come
  // first); there is no ordinary registration to remove.
  ASSERT_FALSE(shell.appBarMessages.empty());
  EXPECT_EQ(shell.appBarMessages.back(), static_cast<DWORD>(ABM_SETAUTOHIDEBAR));
  EXPECT_EQ(std::count(shell.appBarMessages.begin(), shell.appBarMessages.end(), ABM_REMOVE), 0);
}

}  // namespace
}  // namespace kb
