// The bar's timer beside the group window: collapsing an auto-hide bar,
// growing it back under the real pointer without taking the keyboard, and
// hiding the group window when another program is active.  Wine learns of
// pointer moves only over its own windows, so each real move starts from a
// place it knows (SetCursorPos).
#include <gtest/gtest.h>

#include "groups/sub_form.h"
#include "launcher/tests/edge_fixture.h"
#include "model/edge_rules.h"
#include "win/testing/testing.h"
#include "win/testing/x_input.h"

namespace kb {
namespace {

using testing::EdgeBar;
using testing::kScreenH;
using testing::kScreenW;
using win::testing::RunXdotool;
using win::testing::WaitUntil;

void OpenGroupWindow(EdgeBar& s) {
  s.app->SubForm().ShowGroup(1);
  s.app->SubForm().ShowBeside(0, kButtonPitch);
  s.app->OpenGroup = 1;
}

TEST(AutoHide, EveryEdgeCollapsesToAStripAndGrowsBack) {
  for (int type = kEdgeTop; type <= kEdgeRight; ++type) {
    SCOPED_TRACE(type);
    EdgeBar s("Type=" + std::to_string(type) + "\r\nAutoHide=1\r\n");
    const Box expanded = BarBounds(type, false, kScreenW, kScreenH);
    win::GlyphButton& forward = IsHorizontalEdge(type) ? s.bar().SclRight : s.bar().SclDown;
    HWND controls[] = {s.bar().SpeedButton1.hwnd(), s.bar().GroupButton(1)->hwnd(), forward.hwnd()};
    SetCursorPos(kScreenW / 2, kScreenH / 2);
    s.bar().Timer2Timer();
    EXPECT_EQ(s.Bounds(), EdgeStrip(type, expanded, kCollapsedThickness, kScreenW, kScreenH));
    for (HWND c : controls) EXPECT_FALSE(IsWindowVisible(c));
    s.bar().HoverActivate();
    EXPECT_EQ(s.Bounds(), expanded);
    for (HWND c : controls) EXPECT_TRUE(IsWindowVisible(c));
    // A pointer on the bar or its border keeps it so.
    SetCursorPos(expanded.left + expanded.width, expanded.top + expanded.height);
    s.bar().Timer2Timer();
    EXPECT_FALSE(s.bar().Collapsed());
  }
}

TEST(AutoHide, CollapsesOnTheTickAfterThePointerLeavesButNotBesideTheGroupWindow) {
  EdgeBar s("Type=1\r\nAutoHide=1\r\n");
  EXPECT_EQ(s.bar().Timer2.Interval(), 1000u);
  SetCursorPos(500, 300);
  s.bar().Timer2.Stop();
  ASSERT_TRUE(RunXdotool("mousemove 19 300"));
  ASSERT_TRUE(WaitUntil([&] { return s.bar().Timer2.Enabled(); }, 5000));  // the hover ran
  ASSERT_TRUE(RunXdotool("mousemove 500 300"));
  ASSERT_TRUE(WaitUntil([&] { return s.bar().Collapsed(); }, 10000));

  s.bar().HoverActivate();
  OpenGroupWindow(s);
  s.bar().Timer2Timer();
  EXPECT_FALSE(s.bar().Collapsed());
  s.app->SubForm().HideWindow();
  s.bar().Timer2Timer();
  EXPECT_TRUE(s.bar().Collapsed());
}

TEST(AutoHide, TheStripGrowsUnderThePointerWithoutTakingTheKeyboard) {
  for (const char* mouseOnActive : {"0", "1"}) {
    SCOPED_TRACE(mouseOnActive);
    EdgeBar s(std::string("Type=1\r\nAutoHide=1\r\nMouseOnActive=") + mouseOnActive + "\r\n");
    SetCursorPos(500, 400);
    s.bar().Timer2Timer();
    ASSERT_TRUE(s.bar().Collapsed());
    HWND other = testing::MakeForegroundWindow();
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, 3000));
    // Pushed against the screen's left edge.
    ASSERT_TRUE(RunXdotool("mousemove 40 384 sleep 0.2 mousemove 0 384"));
    ASSERT_TRUE(WaitUntil([&] { return !s.bar().Collapsed(); }, 10000));
    EXPECT_EQ(s.Bounds(), BarBounds(kEdgeLeft, false, kScreenW, kScreenH));
    win::testing::PumpMessagesFor(100);
    EXPECT_EQ(GetForegroundWindow(), *mouseOnActive == '1' ? s.bar().hwnd() : other);
    DestroyWindow(other);
  }
}

TEST(NotActiveHide, AnotherProgramHidesTheGroupWindowOnTheNextTick) {
  EdgeBar s("Type=1\r\nNotActiveHide=1\r\n");
  OpenGroupWindow(s);
  HWND own = testing::MakeForegroundWindow();  // a question the launcher asks
  s.bar().Timer2Timer();
  EXPECT_TRUE(s.app->SubForm().Visible());
  DestroyWindow(own);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION other{};
  wchar_t commandLine[] = L"notepad.exe";
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &other));
  const bool otherActive = WaitUntil([&] {
    DWORD pid = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &pid);
    return pid == other.dwProcessId;
  }, 20000);
  s.app->settings.NotActiveHide = false;
  s.bar().Timer2Timer();
  const bool keptWhenOff = s.app->SubForm().Visible();
  s.app->settings.NotActiveHide = true;
  s.bar().Timer2Timer();
  const bool hidden = !s.app->SubForm().Visible();
  TerminateProcess(other.hProcess, 0);
  WaitForSingleObject(other.hProcess, 5000);
  CloseHandle(other.hThread);
  CloseHandle(other.hProcess);
  ASSERT_TRUE(otherActive);
  EXPECT_TRUE(keptWhenOff);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(s.app->OpenGroup, 0);
}

}  // namespace
}  // namespace kb
