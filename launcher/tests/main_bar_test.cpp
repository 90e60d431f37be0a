// The main bar in-process: its geometry on each edge, the group buttons it
// makes for a screen length, and scrolling.
#include <gtest/gtest.h>

#include "app/app.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"
#include "win/hints.h"
#include "win/testing/testing.h"

namespace kb {
namespace {

using testing::ChildBounds;
using testing::HasVisibleStyle;
using testing::TempExeFolder;

// An App for a screen of the given size whose settings file says `info`.
struct BarOnScreen {
  BarOnScreen(int width, int height, const std::string& settings = "") {
    if (!settings.empty()) folder.WriteData("KBINI.dat", settings);
    app = std::make_unique<App>(AppOptions{folder.path(), width, height});
    app->CreateForms();
  }
  TMainForm& bar() { return app->MainForm(); }
  TempExeFolder folder;
  std::unique_ptr<App> app;
};

RECT R(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

void ExpectRect(HWND hwnd, RECT expected) {
  const RECT r = ChildBounds(hwnd);
  EXPECT_EQ(r.left, expected.left);
  EXPECT_EQ(r.top, expected.top);
  EXPECT_EQ(r.right, expected.right);
  EXPECT_EQ(r.bottom, expected.bottom);
}

TEST(MainBar, TopEdgeOn1024x768) {
  BarOnScreen s(1024, 768, "[Info]\r\nType=0\r\n");
  TMainForm& bar = s.bar();
  const RECT b = bar.Bounds();
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.right, 1024);
  EXPECT_EQ(b.bottom, 38);
  EXPECT_EQ(s.app->settings.GroupCount, 23);
  for (int k = 1; k <= 23; ++k) {
    ASSERT_NE(bar.GroupButton(k), nullptr) << k;
    ExpectRect(bar.GroupButton(k)->hwnd(), R(k * 39, 0, 38, 38));
  }
  EXPECT_EQ(bar.GroupButton(24), nullptr);
  ExpectRect(bar.SpeedButton1.hwnd(), R(0, 0, 38, 38));
  ExpectRect(bar.HelpBtn.hwnd(), R(936, 0, 20, 38));
  ExpectRect(bar.SclLeft.hwnd(), R(957, 0, 25, 38));
  ExpectRect(bar.SclRight.hwnd(), R(983, 0, 25, 38));
  EXPECT_TRUE(HasVisibleStyle(bar.SclLeft.hwnd()));
  EXPECT_TRUE(HasVisibleStyle(bar.SclRight.hwnd()));
  EXPECT_FALSE(HasVisibleStyle(bar.SclUp.hwnd()));
  EXPECT_FALSE(HasVisibleStyle(bar.SclDown.hwnd()));
  EXPECT_FALSE(bar.SclLeft.Enabled());
  EXPECT_FALSE(bar.SclRight.Enabled());
  // Tab order: last group button, help, back, forward.
  EXPECT_EQ(GetWindow(bar.GroupButton(23)->hwnd(), GW_HWNDNEXT), bar.HelpBtn.hwnd());
  EXPECT_EQ(GetWindow(bar.HelpBtn.hwnd(), GW_HWNDNEXT), bar.SclLeft.hwnd());
  EXPECT_EQ(GetWindow(bar.SclLeft.hwnd(), GW_HWNDNEXT), bar.SclRight.hwnd());
}

TEST(MainBar, LeftEdgeIsTheDefault) {
  BarOnScreen s(1024, 768);
  TMainForm& bar = s.bar();
  const RECT b = bar.Bounds();
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.right, 38);
  EXPECT_EQ(b.bottom, 768);
  EXPECT_EQ(s.app->settings.Type, 1);
  EXPECT_EQ(s.app->settings.GroupCount, 16);
  ExpectRect(bar.GroupButton(1)->hwnd(), R(0, 39, 38, 38));
  ExpectRect(bar.GroupButton(16)->hwnd(), R(0, 624, 38, 38));
  ExpectRect(bar.HelpBtn.hwnd(), R(0, 663, 38, 20));
  ExpectRect(bar.SclUp.hwnd(), R(0, 684, 38, 25));
  ExpectRect(bar.SclDown.hwnd(), R(0, 710, 38, 25));
  EXPECT_TRUE(HasVisibleStyle(bar.SclUp.hwnd()));
  EXPECT_TRUE(HasVisibleStyle(bar.SclDown.hwnd()));
  EXPECT_FALSE(HasVisibleStyle(bar.SclLeft.hwnd()));
  EXPECT_FALSE(HasVisibleStyle(bar.SclRight.hwnd()));
  EXPECT_FALSE(bar.SclUp.Enabled());
  EXPECT_FALSE(bar.SclDown.Enabled());
}

TEST(MainBar, BottomAndRightEdgesStartJustOutsideTheScreenWhenDocked) {
  {
    BarOnScreen s(1024, 768, "[Info]\r\nType=2\r\n");
    RECT b = s.bar().Bounds();  // where it is made, before it shows
    s.app->ShowBar();
    EXPECT_EQ(s.bar().Bounds().top, 768 - 38);  // the registration moved it in
    EXPECT_EQ(b.top, 768);
    EXPECT_EQ(b.bottom - b.top, 38);
    EXPECT_EQ(b.right - b.left, 1024);
    EXPECT_TRUE(s.bar().BarDocked);
  }
  {
    BarOnScreen s(1024, 768, "[Info]\r\nType=3\r\nAutoHide=1\r\n");
    const RECT b = s.bar().Bounds();
    EXPECT_EQ(b.left, 1024 - 38);  // not docked: inside the screen
    EXPECT_EQ(b.bottom, 768);
    EXPECT_FALSE(s.bar().BarDocked);
    EXPECT_EQ(s.app->settings.GroupCount, 16);
    ExpectRect(s.bar().SclDown.hwnd(), R(0, 710, 38, 25));
  }
}

TEST(MainBar, UnknownEdgeBecomesTheBottom) {
  BarOnScreen s(1024, 768, "[Info]\r\nType=9\r\n");
  EXPECT_EQ(s.app->settings.Type, 2);
  s.app->ShowBar();
  EXPECT_EQ(s.bar().Bounds().top, 768 - 38);
  EXPECT_TRUE(HasVisibleStyle(s.bar().SclLeft.hwnd()));
}

TEST(MainBar, GroupButtonCountFollowsTheScreen) {
  const struct { int width, height, type, count; } cases[] = {
      {800, 600, 0, 17}, {800, 600, 1, 12}, {640, 480, 3, 9}, {1280, 1024, 2, 30},
      {1600, 1200, 0, 38}, {1700, 1000, 0, 40}};
  for (const auto& c : cases) {
    BarOnScreen s(c.width, c.height, "[Info]\r\nType=" + std::to_string(c.type) + "\r\n");
    EXPECT_EQ(s.app->settings.GroupCount, c.count) << c.width << "x" << c.height;
    EXPECT_NE(s.bar().GroupButton(c.count), nullptr);
    EXPECT_EQ(s.bar().GroupButton(c.count + 1), nullptr);
  }
}

TEST(MainBar, LongBarStopsAtFortyButtons) {
  BarOnScreen s(2560, 1024, "[Info]\r\nType=0\r\n[Group]\r\nNumber=60\r\n");
  EXPECT_EQ(s.app->settings.GroupCount, 40);
  EXPECT_EQ(s.bar().GroupButton(40)->Name(), "Button40");
  ExpectRect(s.bar().HelpBtn.hwnd(), R(41 * 39, 0, 20, 38));
}

TEST(MainBar, TinyScreenHasNoGroups) {
  BarOnScreen s(120, 100, "[Info]\r\nType=0\r\n[Group]\r\nNumber=12\r\n");
  EXPECT_EQ(s.app->settings.GroupCount, 0);
  EXPECT_EQ(s.bar().GroupButton(1), nullptr);
  ExpectRect(s.bar().HelpBtn.hwnd(), R(39, 0, 20, 38));
}

TEST(MainBar, ScrollWalkWithTenGroupsAndEightSlots) {
  BarOnScreen s(1024, 520);  // left edge: room for 10 group buttons
  TMainForm& bar = s.bar();
  ASSERT_EQ(s.app->settings.GroupCount, 10);
  bar.SetScroll(ScrolledStart(8, 10));  // as the settings dialog's reset leaves it
  auto expectShown = [&](int first) {
    for (int k = 1; k <= 10; ++k) {
      const int slot = k - first + 1;
      if (slot >= 1 && slot <= 8) {
        ExpectRect(bar.GroupButton(k)->hwnd(), R(0, slot * 39, 38, 38));
      } else {
        ExpectRect(bar.GroupButton(k)->hwnd(), R(0, 0, 0, 0));
      }
    }
  };
  expectShown(1);
  EXPECT_FALSE(bar.SclUp.Enabled());
  EXPECT_TRUE(bar.SclDown.Enabled());

  SendMessageW(bar.SclDown.hwnd(), BM_CLICK, 0, 0);
  expectShown(2);
  EXPECT_TRUE(bar.SclDown.Enabled());
  EXPECT_TRUE(bar.SclUp.Enabled());
  SendMessageW(bar.SclDown.hwnd(), BM_CLICK, 0, 0);
  expectShown(3);
  EXPECT_FALSE(bar.SclDown.Enabled());
  SendMessageW(bar.SclDown.hwnd(), BM_CLICK, 0, 0);  // disabled: ignored
  EXPECT_EQ(bar.ScrollFirst(), 3);

  SendMessageW(bar.SclUp.hwnd(), BM_CLICK, 0, 0);
  SendMessageW(bar.SclUp.hwnd(), BM_CLICK, 0, 0);
  expectShown(1);
  EXPECT_FALSE(bar.SclUp.Enabled());
  EXPECT_TRUE(bar.SclDown.Enabled());
}

TEST(MainBar, GroupButtonsCarryNameRecordHintAndDropTarget) {
  BarOnScreen s(1024, 768,
                "[Info]\r\nType=0\r\n[Button3]\r\nShowName=表示名\r\nIconFile=C:\\x.ico\r\n"
                "IconIndex=0x1A\r\nExecOption=3\r\n");
  TGroupButton* button = s.bar().GroupButton(3);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Tag(), 3);
  EXPECT_EQ(button->Name(), "Button3");
  EXPECT_EQ(button->Entry.ShowName, "表示名");
  EXPECT_EQ(button->Entry.IconIndex, 26);
  EXPECT_EQ(button->Entry.ExecOption, 3);
  EXPECT_FALSE(button->KeepFields);
  EXPECT_EQ(button->Hint(), "表示名");
  // The tool tip takes the hints over when the pointer reaches a button.
  for (HWND control : {button->hwnd(), s.bar().SpeedButton1.hwnd(), s.bar().SclLeft.hwnd()}) {
    EXPECT_EQ(win::HintOf(control), "");
    SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  }
  EXPECT_EQ(win::HintOf(button->hwnd()), "表示名");
  EXPECT_EQ(win::HintOf(s.bar().SpeedButton1.hwnd()), "Kobaruneの設定");
  EXPECT_EQ(win::HintOf(s.bar().SclLeft.hwnd()), "ｸﾞﾙｰﾌﾟｳｲﾝﾄﾞｳｽｸﾛｰﾙﾎﾞﾀﾝ");
  EXPECT_TRUE(GetWindowLongPtrW(button->hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(s.bar().GroupButton(4)->Entry.ExecOption, 1);

  BITMAP shape{};
  ASSERT_TRUE(GetObjectW(button->GlyphBitmap(), sizeof shape, &shape));
  EXPECT_EQ(shape.bmWidth, 32);
  EXPECT_EQ(shape.bmHeight, 32);
  EXPECT_NE(button->GlyphBitmap(), s.bar().GroupButton(4)->GlyphBitmap());
}

TEST(MainBar, MouseMovesOverAGroupButtonReachTheBarInItsCoordinates) {
  BarOnScreen s(1024, 768, "[Info]\r\nType=0\r\n");
  TGroupButton* button = s.bar().GroupButton(2);
  POINT seen{-1, -1};
  button->OnBarMouseMove = [&](int x, int y) { seen = {x, y}; };
  SendMessageW(button->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 7));
  EXPECT_EQ(seen.x, 2 * 39 + 5);
  EXPECT_EQ(seen.y, 7);
}

TEST(MainBar, WindowStylesAndCaption) {
  BarOnScreen s(1024, 768);
  HWND bar = s.bar().hwnd();
  const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_TRUE(style & WS_CLIPCHILDREN);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(win::testing::ReadWindowText(bar), "Kobarune");
  // Owned by the hidden application window the companion tools look for.
  HWND appWindow = GetWindow(bar, GW_OWNER);
  EXPECT_EQ(appWindow, s.app->ApplicationHandle());
  EXPECT_EQ(FindWindowW(L"TApplication", L"Kobarune"), appWindow);
}

}  // namespace
}  // namespace kb
