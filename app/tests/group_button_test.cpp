// Group buttons driving the group window: open, close and move it, copy a
// group onto another, and files or folders dropped on a group.
#include "app/group_actions.h"

#include <gtest/gtest.h>

#include "app/tests/groups_fixture.h"
#include "launcher/main_form.h"
#include "win/glyph_button.h"
#include "win/testing/testing.h"

namespace kb::groups_testing {
namespace {

namespace wt = win::testing;

class GroupButtonTest : public LauncherTest {
 protected:
  RECT ButtonBox(int k) { return group(k).Bounds(); }
};

TEST_F(GroupButtonTest, ClicksOpenCloseAndMoveTheWindow) {
  Start("[Info]\r\nType=0\r\n");
  Click(group(1).hwnd());
  EXPECT_TRUE(form().Visible());
  EXPECT_EQ(app().OpenGroup, 1);
  EXPECT_EQ(app().CurrentGroup, 1);
  EXPECT_EQ(app().CurrentButton, 0);
  EXPECT_EQ(form().Bounds().left, ButtonBox(1).left);
  EXPECT_EQ(form().Bounds().top, 38);

  Click(group(1).hwnd());
  EXPECT_FALSE(form().Visible());
  EXPECT_EQ(app().OpenGroup, 0);

  Click(group(1).hwnd());
  Click(group(3).hwnd());
  EXPECT_TRUE(form().Visible());
  EXPECT_EQ(app().OpenGroup, 3);
  EXPECT_EQ(form().ShownGroup(), 3);
  EXPECT_EQ(form().Bounds().left, ButtonBox(3).left);

  // Hidden by something else, the same group button shows it again at once.
  form().HideWindow();
  Click(group(3).hwnd());
  EXPECT_TRUE(form().Visible());
}

TEST_F(GroupButtonTest, OnAVerticalBarTheWindowFollowsTheButtonsTop) {
  Start("[Info]\r\nType=3\r\n", 1024, 768);
  Click(group(2).hwnd());
  ASSERT_TRUE(form().Visible());
  EXPECT_EQ(form().Bounds().top, ButtonBox(2).top);
  EXPECT_EQ(form().Bounds().left, 11);
}

class GroupCopyTest : public GroupButtonTest {
 protected:
  void SetUpSource() {
    Start("[Info]\r\nType=0\r\n");
    TLaunchData name;
    name.ShowName = "Tools";
    name.IconFile = BinPath("launch_recorder.exe");
    group(2).Entry = name;
    for (int s = 1; s <= 3; ++s) {
      form().Entries.At(2, s) = RecordFor("C:\\tools\\p" + std::to_string(s) + ".exe");
    }
    form().Entries.At(5, 1) = RecordFor("C:\\old\\five.exe");
    HBITMAP blue = win::CreateBlankGlyph();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, blue);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 32, 32};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    app().Icons.CopyToCell(blue, 1, 1);
    DeleteObject(blue);
  }
  void CopyGroupTwoOntoFive(int answer) {
    Click(group(2).hwnd(), MK_SHIFT);
    EXPECT_TRUE(app().GroupCopyPending);
    EXPECT_EQ(group(7).Cursor(), win::GlyphButton::DragCursor());
    auto question = wt::AnswerDialogLater("確認", answer);
    Click(group(5).hwnd());
    ASSERT_TRUE(question->Fired());
    EXPECT_EQ(question->ShownText(), kCopyGroupQuestion);
    EXPECT_FALSE(app().GroupCopyPending);
    EXPECT_EQ(group(7).Cursor(), nullptr);
  }
};

TEST_F(GroupCopyTest, YesCopiesNameIconAndEverySlot) {
  SetUpSource();
  Click(group(9).hwnd());  // the window is open elsewhere
  CopyGroupTwoOntoFive(IDYES);
  EXPECT_EQ(group(5).Entry.ShowName, "Tools");
  EXPECT_EQ(group(5).Hint(), "Tools");
  EXPECT_EQ(form().Entries.At(5, 1), form().Entries.At(2, 1));
  EXPECT_EQ(form().Entries.At(5, 3).FPFileName, "C:\\tools\\p3.exe");
  EXPECT_EQ(app().Icons.PixelAt(32 + 5, 4 * 32 + 5), RGB(0, 0, 255));
  // The open window now shows group 5 beside its button.
  EXPECT_TRUE(form().Visible());
  EXPECT_EQ(app().OpenGroup, 5);
  EXPECT_EQ(form().ShownGroup(), 5);
  EXPECT_EQ(form().Bounds().left, ButtonBox(5).left);
  EXPECT_EQ(slot(1).Entry.FPFileName, "C:\\tools\\p1.exe");
}

TEST_F(GroupCopyTest, NoCopiesOnlyTheGroupButton) {
  SetUpSource();
  CopyGroupTwoOntoFive(IDNO);
  EXPECT_EQ(group(5).Entry.ShowName, "Tools");
  EXPECT_EQ(form().Entries.At(5, 1).FPFileName, "C:\\old\\five.exe");
  EXPECT_TRUE(form().Entries.At(5, 2).FPFileName.empty());
  EXPECT_NE(app().Icons.PixelAt(32 + 5, 4 * 32 + 5), RGB(0, 0, 255));
  EXPECT_FALSE(form().Visible());
}

TEST_F(GroupButtonTest, RightClickGoesToTheGroupRegistrationFlow) {
  Start("[Info]\r\nType=0\r\n");
  int asked = 0;
  form().OnRegisterGroup = [&](int k) { asked = k; };
  RightClick(group(4).hwnd());
  EXPECT_EQ(asked, 4);
  EXPECT_EQ(app().CurrentGroup, 4);
  EXPECT_FALSE(form().Visible());
}

TEST_F(GroupButtonTest, DroppedShortcutMakesTheGroupFromItsTarget) {
  Start("[Info]\r\nType=0\r\n");
  folder_.Write("doc.txt", "x");
  // Not a link the shell can read: the group keeps its empty program data.
  folder_.Write("broken.lnk", "x");
  Drop(group(1).hwnd(), {folder_.Path("broken.lnk")});
  EXPECT_TRUE(group(1).Entry.FPFileName.empty());
  Drop(group(2).hwnd(), {folder_.Path("doc.txt")});
  EXPECT_EQ(group(2).Entry.FPFileName, folder_.Path("doc.txt"));
  EXPECT_EQ(group(2).Entry.ShowName, "doc");
  EXPECT_EQ(group(2).Hint(), "doc");
  EXPECT_EQ(app().CurrentGroup, 2);
}

TEST_F(GroupButtonTest, FolderFillsTheSlotsUpToListCountThenSaysSo) {
  // A left bar leaves 19 program buttons on 800 x 600; ListCount is 15.
  Start("[Info]\r\nType=1\r\n");
  ASSERT_GE(form().ButtonCount(), 16);
  for (int i = 1; i <= 20; ++i) {
    char name[16];
    snprintf(name, sizeof name, "f%02d.txt", i);
    folder_.Write(std::string("many.dir\\") + name, "x");
  }
  folder_.Write("many.dir\\ab", "two-character names are files too");
  form().Entries.At(3, 16) = RecordFor("C:\\kept\\sixteen.exe");
  Click(group(1).hwnd());  // another group stays on show

  auto question = wt::AnswerDialogLater("確認", IDYES);
  auto tooMany = wt::AnswerDialogLater("情報", IDOK);
  Drop(group(3).hwnd(), {folder_.Path("many.dir")});
  ASSERT_TRUE(question->Fired());
  EXPECT_EQ(question->ShownText(), kImportFolderQuestion);
  ASSERT_TRUE(wt::WaitUntil([&] { return tooMany->Fired(); }));
  EXPECT_EQ(tooMany->ShownText(), kTooManyFilesText);

  EXPECT_EQ(form().Entries.At(3, 1).FPFileName, folder_.Path("many.dir\\ab"));
  EXPECT_EQ(form().Entries.At(3, 2).FPFileName, folder_.Path("many.dir\\f01.txt"));
  EXPECT_EQ(form().Entries.At(3, 15).FPFileName, folder_.Path("many.dir\\f14.txt"));
  EXPECT_EQ(form().Entries.At(3, 15).ShowName, "f14");
  EXPECT_EQ(form().Entries.At(3, 16).FPFileName, "C:\\kept\\sixteen.exe");
  // The group button is made from the folder; the window still shows group 1.
  EXPECT_EQ(group(3).Entry.FPFileName, folder_.Path("many.dir"));
  EXPECT_EQ(group(3).Entry.ShowName, "many");
  EXPECT_EQ(form().ShownGroup(), 1);
  EXPECT_TRUE(slot(1).Entry.FPFileName.empty());

  // A group made from a file takes no second drop.
  auto refused = wt::AnswerDialogLater("情報", IDOK);
  Drop(group(3).hwnd(), {folder_.Path("many.dir\\f01.txt")});
  ASSERT_TRUE(refused->Fired());
  EXPECT_EQ(refused->ShownText(), kGroupNotEmptyText);
  EXPECT_EQ(group(3).Entry.FPFileName, folder_.Path("many.dir"));
}

TEST_F(GroupButtonTest, DecliningTheImportStillMakesTheGroupFromTheFolder) {
  Start("[Info]\r\nType=0\r\n");
  folder_.Write("few\\one.txt", "1");
  auto question = wt::AnswerDialogLater("確認", IDNO);
  Drop(group(2).hwnd(), {folder_.Path("few")});
  ASSERT_TRUE(question->Fired());
  EXPECT_TRUE(form().Entries.At(2, 1).FPFileName.empty());
  EXPECT_EQ(group(2).Entry.FPFileName, folder_.Path("few"));
  EXPECT_EQ(group(2).Entry.ShowName, "few");
}

}  // namespace
}  // namespace kb::groups_testing
