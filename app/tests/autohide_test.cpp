// The bar's timer: collapsing an auto-hide bar, growing it back under the
// pointer without taking the keyboard, hiding the group window when another
// program is active, and holding the screen saver off.
#include <gtest/gtest.h>

#include <optional>

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
using testing::MakeForegroundWindow;
using testing::RecordingBarShell;
using win::testing::RunXdotool;
using win::testing::WaitUntil;

bool ControlsShown(TMainForm& bar) {
  return IsWindowVisible(bar.SpeedButton1.hwnd()) && IsWindowVisible(bar.HelpBtn.hwnd()) &&
         IsWindowVisible(bar.GroupButton(1)->hwnd());
}

void OpenGroupWindow(EdgeBar& s) {
  s.app->SubForm().ShowGroup(1);
  s.app->SubForm().ShowBeside(0, kButtonPitch);
  s.app->OpenGroup = 1;
  ASSERT_TRUE(s.app->SubForm().Visible());
}

TEST(AutoHide, EveryEdgeCollapsesToAStripAndGrowsBack) {
  for (int type = kEdgeTop; type <= kEdgeRight; ++type) {
    SCOPED_TRACE(type);
    EdgeBar s("Type=" + std::to_string(type) + "\r\nAutoHide=1\r\n");
    const Box expanded = BarBounds(type, false, kScreenW, kScreenH);
    EXPECT_EQ(s.Bounds(), expanded);
    SetCursorPos(kScreenW / 2, kScreenH / 2);
    s.bar().Timer2Timer();
    EXPECT_TRUE(s.bar().Collapsed());
    EXPECT_EQ(s.Bounds(), EdgeStrip(type, expanded, kCollapsedThickness, kScreenW, kScreenH));
    EXPECT_FALSE(ControlsShown(s.bar()));
    const bool horizontal = IsHorizontalEdge(type);
    EXPECT_FALSE(IsWindowVisible((horizontal ? s.bar().SclLeft : s.bar().SclUp).hwnd()));

    s.bar().HoverActivate();
    EXPECT_FALSE(s.bar().Collapsed());
    EXPECT_EQ(s.Bounds(), expanded);
    EXPECT_TRUE(ControlsShown(s.bar()));
    EXPECT_TRUE(IsWindowVisible((horizontal ? s.bar().SclRight : s.bar().SclDown).hwnd()));
    // The scroll buttons of the other orientation stay hidden.
    EXPECT_FALSE(IsWindowVisible((horizontal ? s.bar().SclUp : s.bar().SclLeft).hwnd()));
  }
}

TEST(AutoHide, APointerOnTheBarOrItsBorderKeepsItExpanded) {
  EdgeBar s("Type=0\r\nAutoHide=1\r\n");
  for (POINT p : {POINT{500, 0}, POINT{500, 20}, POINT{500, kBarThickness}}) {
    SetCursorPos(p.x, p.y);
    s.bar().Timer2Timer();
    EXPECT_FALSE(s.bar().Collapsed()) << p.y;
  }
}

TEST(AutoHide, CollapsesAboutASecondAfterThePointerLeaves) {
  EdgeBar s("Type=1\r\nAutoHide=1\r\n");
  EXPECT_EQ(s.bar().Timer2.Interval(), 1000u);
  // Wine learns of pointer moves only over its own windows: start from a
  // place it knows, so the move onto the bar is a move.
  SetCursorPos(500, 300);
  s.bar().Timer2.Stop();
  ASSERT_TRUE(RunXdotool("mousemove 19 300"));
  ASSERT_TRUE(WaitUntil([&] { return s.bar().Timer2.Enabled(); }, 5000));  // the hover ran
  ASSERT_TRUE(RunXdotool("mousemove 500 300"));
  POINT p{};
  ASSERT_TRUE(WaitUntil([&] { return GetCursorPos(&p) && p.x == 500; }, 5000));
  const ULONGLONG left = GetTickCount64();
  ASSERT_TRUE(WaitUntil([&] { return s.bar().Collapsed(); }, 10000));
  // The tick comes a full second after the last move over the bar, which
  // was before the pointer left.
  EXPECT_LE(GetTickCount64() - left, 5000u);
}

TEST(AutoHide, NeverCollapsesWhileTheGroupWindowIsOpen) {
  EdgeBar s("Type=1\r\nAutoHide=1\r\n");
  OpenGroupWindow(s);
  SetCursorPos(600, 600);
  s.bar().Timer2Timer();
  EXPECT_FALSE(s.bar().Collapsed());
  s.app->SubForm().HideWindow();
  s.bar().Timer2Timer();
  EXPECT_TRUE(s.bar().Collapsed());
}

// The real pointer pushed against the screen's edge reaches the 2-pixel strip.
void PushPointerAgainst(int type) {
  const int x = type == kEdgeRight ? kScreenW - 1 : type == kEdgeLeft ? 0 : kScreenW / 2;
  const int y = type == kEdgeBottom ? kScreenH - 1 : type == kEdgeTop ? 0 : kScreenH / 2;
  ASSERT_TRUE(RunXdotool("mousemove " + std::to_string(x + (type == kEdgeLeft ? 40 : 0)) + " " +
                         std::to_string(y) + " sleep 0.2 mousemove " + std::to_string(x) + " " +
                         std::to_string(y)));
}

TEST(AutoHide, TheStripGrowsUnderThePointerWithoutTakingTheKeyboard) {
  for (bool mouseOnActive : {false, true}) {
    SCOPED_TRACE(mouseOnActive ? "MouseOnActive" : "plain");
    EdgeBar s(std::string("Type=1\r\nAutoHide=1\r\nMouseOnActive=") + (mouseOnActive ? "1" : "0") +
              "\r\n");
    // Wine learns of pointer moves only over its own windows: the pointer
    // leaves from a place it knows, so the push onto the strip is a move.
    SetCursorPos(500, 400);
    s.bar().Timer2Timer();
    ASSERT_TRUE(s.bar().Collapsed());
    HWND other = MakeForegroundWindow();
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, 3000));

    PushPointerAgainst(kEdgeLeft);
    ASSERT_TRUE(WaitUntil([&] { return !s.bar().Collapsed(); }, 10000));
    EXPECT_EQ(s.Bounds(), BarBounds(kEdgeLeft, false, kScreenW, kScreenH));
    EXPECT_TRUE(s.bar().Timer2.Enabled());
    win::testing::PumpMessagesFor(100);
    EXPECT_EQ(GetForegroundWindow(), mouseOnActive ? s.bar().hwnd() : other);
    DestroyWindow(other);
  }
}

TEST(NotActiveHide, AnotherProgramHidesTheGroupWindowOnTheNextTick) {
  EdgeBar s("Type=1\r\n");
  OpenGroupWindow(s);
  // A window of the launcher itself (a question it asks) is no other program.
  HWND own = MakeForegroundWindow();
  s.app->settings.NotActiveHide = true;
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
