// The group window with real windows: its place and size on each edge, the
// table it reads and writes, and how a group is shown.
#include "groups/sub_form.h"

#include <gtest/gtest.h>

#include "app/group_actions.h"
#include "app/tests/groups_fixture.h"
#include "common/profile.h"
#include "launcher/main_form.h"
#include "win/hints.h"
#include "win/shell.h"

namespace kb::groups_testing {
namespace {

struct EdgeCase {
  int edge, width, height;
  int count;
  RECT window;  // left/top of the coordinate along the bar are not checked (-1)
  POINT first, last;
};

RECT ChildBounds(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class SubFormTest : public LauncherTest {};

TEST_F(SubFormTest, GeometryOnEachEdgeOfTwoScreens) {
  const EdgeCase cases[] = {
      {0, 800, 600, 14, {-1, 38, -1, 38 + 546}, {0, 0}, {0, 507}},
      {2, 800, 600, 14, {-1, 16, -1, 16 + 546}, {0, 507}, {0, 0}},
      {1, 800, 600, 19, {38, -1, 38 + 741, -1}, {0, 0}, {702, 0}},
      {3, 800, 600, 19, {21, -1, 21 + 741, -1}, {702, 0}, {0, 0}},
      {0, 1024, 768, 18, {-1, 38, -1, 38 + 702}, {0, 0}, {0, 663}},
      {2, 1024, 768, 18, {-1, 28, -1, 28 + 702}, {0, 663}, {0, 0}},
      {1, 1024, 768, 25, {38, -1, 38 + 975, -1}, {0, 0}, {936, 0}},
      {3, 1024, 768, 25, {11, -1, 11 + 975, -1}, {936, 0}, {0, 0}},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE("edge " + std::to_string(c.edge) + " on " + std::to_string(c.width));
    Start("[Info]\r\nType=" + std::to_string(c.edge) + "\r\n", c.width, c.height);
    EXPECT_EQ(form().DisplayCount(), c.count);
    EXPECT_EQ(form().ButtonCount(), c.count);
    const RECT w = form().Bounds();
    const bool horizontalBar = c.edge == 0 || c.edge == 2;
    if (horizontalBar) {
      EXPECT_EQ(w.top, c.window.top);
      EXPECT_EQ(w.bottom, c.window.bottom);
      EXPECT_EQ(w.right - w.left, 38);
    } else {
      EXPECT_EQ(w.left, c.window.left);
      EXPECT_EQ(w.right, c.window.right);
      EXPECT_EQ(w.bottom - w.top, 38);
    }
    const RECT first = ChildBounds(slot(1).hwnd());
    const RECT last = ChildBounds(slot(c.count).hwnd());
    EXPECT_EQ(first.left, c.first.x);
    EXPECT_EQ(first.top, c.first.y);
    EXPECT_EQ(first.right - first.left, 38);
    EXPECT_EQ(last.left, c.last.x);
    EXPECT_EQ(last.top, c.last.y);
    EXPECT_FALSE(form().Visible());
    Stop();
  }
}

TEST_F(SubFormTest, LoweredDisplayCountShrinksButtonsAndKeepsTheirRecords) {
  Start("[Info]\r\nType=0\r\n[ExButton1-9]\r\nFPFileName=C:\\nine.exe\r\n");
  ASSERT_EQ(form().ButtonCount(), 14);
  EXPECT_EQ(form().Entries.At(1, 9).FPFileName, "C:\\nine.exe");
  app().settings.MaxFileLimit = true;
  app().settings.TMaxFileNum = 5;
  form().PlaceGroupWindow();
  form().ArrangeExecButtons();
  EXPECT_EQ(form().ButtonCount(), 5);
  EXPECT_EQ(form().CreatedCount(), 14);
  EXPECT_EQ(form().Bounds().bottom - form().Bounds().top, 5 * 39);
  const RECT hidden = ChildBounds(slot(9).hwnd());
  EXPECT_EQ(hidden.right - hidden.left, 0);
  EXPECT_EQ(form().Entries.At(1, 9).FPFileName, "C:\\nine.exe");

  // Raising it again brings the same buttons back in their places.
  app().settings.TMaxFileNum = 20;
  form().PlaceGroupWindow();
  form().ArrangeExecButtons();
  EXPECT_EQ(form().ButtonCount(), 20);
  EXPECT_EQ(form().CreatedCount(), 20);
  EXPECT_EQ(ChildBounds(slot(20).hwnd()).top, 19 * 39);
}

TEST_F(SubFormTest, ShowGroupCopiesRecordsAndIconCellsIntoTheButtons) {
  Start("[Info]\r\nType=0\r\n[ExButton3-2]\r\nFPFileName=C:\\two.exe\r\nShowName=Two\r\n");
  // A recognisable cell: slot 2 of group 3.
  HDC screen = GetDC(nullptr);
  HBITMAP red = CreateCompatibleBitmap(screen, 32, 32);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, red);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  RECT all{0, 0, 32, 32};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  ASSERT_TRUE(app().Icons.CopyToCell(red, 2, 2));

  form().ShowGroup(3);
  EXPECT_EQ(form().ShownGroup(), 3);
  EXPECT_EQ(slot(2).Entry.FPFileName, "C:\\two.exe");
  EXPECT_EQ(slot(2).Hint(), "Two");
  // The tool tip takes the text over when the pointer reaches the button.
  SendMessageW(slot(2).hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(win::HintOf(slot(2).hwnd()), "Two");
  old = SelectObject(dc, slot(2).GlyphBitmap());
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
  SelectObject(dc, old);

  form().ShowGroup(1);
  EXPECT_TRUE(slot(2).Entry.FPFileName.empty());
  old = SelectObject(dc, slot(2).GlyphBitmap());
  EXPECT_NE(GetPixel(dc, 10, 10), RGB(255, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(red);
}

// The window paints all its buttons itself, in one pass, when a group
// opens: every glyph lands on its own button, and no button is left to
// paint itself afterwards.
TEST_F(SubFormTest, OpenedGroupIsPaintedInOnePassWithEveryGlyphInPlace) {
  Start("[Info]\r\nType=0\r\n");  // a vertical strip, button n at y = (n - 1) * 39
  const int last = form().ButtonCount();
  for (auto [slotNumber, colour] : {std::pair{2, RGB(255, 0, 0)}, std::pair{last, RGB(0, 0, 255)}}) {
    HBITMAP glyph = win::CreateBlankGlyph();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, glyph);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT inner{0, 0, 32, 31};  // the bottom-left corner stays face: a glyph's transparent colour
    FillRect(dc, &inner, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_TRUE(app().Icons.CopyToCell(glyph, slotNumber, 2));
    DeleteObject(glyph);
  }

  OpenGroupWindow(app(), group(3));
  ASSERT_TRUE(IsWindowVisible(form().hwnd()));
  for (int n = 1; n <= last; ++n) {
    EXPECT_FALSE(GetUpdateRect(slot(n).hwnd(), nullptr, FALSE)) << "button " << n;
  }
  HDC dc = GetDC(form().hwnd());
  const auto centre = [&](int n) {
    const RECT r = ChildBounds(slot(n).hwnd());
    return GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  EXPECT_EQ(centre(2), RGB(255, 0, 0));
  EXPECT_EQ(centre(last), RGB(0, 0, 255));
  EXPECT_EQ(centre(1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(centre(3), GetSysColor(COLOR_BTNFACE));
  const RECT second = ChildBounds(slot(2).hwnd());
  EXPECT_EQ(GetPixel(dc, second.left + 1, second.top - 1), GetSysColor(COLOR_BTNFACE)) << "gap";
  ReleaseDC(form().hwnd(), dc);

  // Another group in the open window: the same buttons, repainted at once.
  OpenGroupWindow(app(), group(1));
  dc = GetDC(form().hwnd());
  EXPECT_EQ(centre(2), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(form().hwnd(), dc);
}

TEST_F(SubFormTest, SaveWritesWindowAndNonEmptySlotsAndReloads) {
  Start(
      "[Info]\r\nType=0\r\n"
      "[ExButton1-2]\r\nFPFileName=C:\\emptied-in-memory.exe\r\n"
      "[ExButton1-9]\r\nFPFileName=C:\\hidden.exe\r\n");
  form().Entries.At(1, 2) = TLaunchData{};
  form().Entries.At(2, 12) = RecordFor("C:\\tools\\twelve.exe", 3);
  form().Entries.At(1, 9) = RecordFor("C:\\tools\\changed.exe");
  app().settings.MaxFileLimit = true;
  app().settings.TMaxFileNum = 12;
  form().PlaceGroupWindow();
  form().ArrangeExecButtons();
  app().SaveSettings();

  const std::string text = SettingsText();
  EXPECT_NE(text.find("[ExButton2-12]"), std::string::npos);
  EXPECT_EQ(text.find("ExButton02"), std::string::npos);
  ProfileReader file(folder_.Path("data\\KBINI.dat"));
  EXPECT_EQ(file.ReadInteger("Window", "Number", 0), 12);
  EXPECT_EQ(file.ReadInteger("Window", "Height", 0), 12 * 39);
  EXPECT_EQ(file.ReadInteger("Window", "Top", 0), 38);
  // An emptied slot is not written: its old section stays as it was.
  EXPECT_EQ(file.ReadString("ExButton1-2", "FPFileName", ""), "C:\\emptied-in-memory.exe");
  EXPECT_EQ(file.ReadString("ExButton2-12", "FPFileName", ""), "C:\\tools\\twelve.exe");
  EXPECT_EQ(file.ReadInteger("ExButton2-12", "ExecOption", 0), 3);

  Stop();
  Start("");
  EXPECT_EQ(form().Entries.At(2, 12).FPFileName, "C:\\tools\\twelve.exe");
  EXPECT_EQ(form().Entries.At(2, 12).WorkingDir, "C:\\tools\\");
  EXPECT_EQ(form().Entries.At(2, 12).ShowName, "twelve");
  EXPECT_EQ(form().Entries.At(2, 12).ExecOption, 3);
  EXPECT_EQ(form().Entries.At(1, 9).FPFileName, "C:\\tools\\changed.exe");
}

TEST_F(SubFormTest, LoweredCountKeepsTheSectionsOfHiddenSlots) {
  Start("[Info]\r\nType=0\r\n[ExButton1-9]\r\nFPFileName=C:\\hidden.exe\r\n");
  form().Entries.At(1, 9) = RecordFor("C:\\tools\\changed.exe");
  form().Entries.At(1, 3) = RecordFor("C:\\tools\\three.exe");
  app().settings.MaxFileLimit = true;
  app().settings.TMaxFileNum = 5;
  form().PlaceGroupWindow();
  form().ArrangeExecButtons();
  app().SaveSettings();
  ProfileReader file(folder_.Path("data\\KBINI.dat"));
  EXPECT_EQ(file.ReadString("ExButton1-9", "FPFileName", ""), "C:\\hidden.exe");
  EXPECT_EQ(file.ReadString("ExButton1-3", "FPFileName", ""), "C:\\tools\\three.exe");
  EXPECT_EQ(file.ReadInteger("Window", "Number", 0), 5);
}

TEST_F(SubFormTest, EraseEntryRemovesTheCurrentGroupsSectionAtOnce) {
  Start(
      "[Info]\r\nType=0\r\n[ExButton2-4]\r\nFPFileName=C:\\four.exe\r\n"
      "[ExButton3-4]\r\nFPFileName=C:\\other.exe\r\n");
  app().CurrentGroup = 2;
  form().EraseEntry(app().CurrentGroup, 4);
  ProfileReader file(folder_.Path("data\\KBINI.dat"));
  EXPECT_FALSE(file.SectionExists("ExButton2-4"));
  EXPECT_TRUE(file.SectionExists("ExButton3-4"));
}

TEST_F(SubFormTest, ACloseRequestOnlyHidesTheWindow) {
  Start("[Info]\r\nType=0\r\n");
  form().ShowGroup(1);
  form().ShowBeside(39, 0);
  ASSERT_TRUE(form().Visible());
  SendMessageW(form().hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(form().hwnd()));
  EXPECT_FALSE(form().Visible());
  EXPECT_TRUE(IsWindow(slot(1).hwnd()));
}

}  // namespace
}  // namespace kb::groups_testing
