// The registration dialog with the launcher's own windows, in-process under
// Wine: a right click on a program button of the group window or on a group
// button of the bar opens the dialog the launcher created at start-up; the
// results are checked in the buttons, the table, the icon store and the
// settings file on disk.
#include "app/registration_wiring.h"

#include <gtest/gtest.h>

#include "common/profile.h"
#include "groups/edit_window.h"
#include "groups/tests/dialog_steps.h"
#include "app/tests/groups_fixture.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

using groups_testing::LauncherTest;
using test::Click;
using test::RunLater;

constexpr COLORREF kSquareGreen = RGB(40, 160, 40);  // three_icons.exe's icons

class RegistrationWiringTest : public LauncherTest {
 protected:
  void SetUp() override {
    Start("[Button2]\r\nShowName=two\r\nIconFile=" + BinPath("three_icons.exe") + "\r\n"
          "[ExButton1-2]\r\nFPFileName=C:\\old.exe\r\nShowName=old\r\n"
          "[ExButton2-1]\r\nFPFileName=C:\\a.exe\r\n"
          "[ExButton2-2]\r\nFPFileName=C:\\b.exe\r\n",
          1024, 768);
  }

  TEditWindow& dialog() { return app().EditWindow(); }

  // Right-clicks `button` and lets `step` answer the dialog.
  void RightClickAndAnswer(HWND button, test::Step step) {
    bool done = false;
    RunLater([&, step] {
      step();
      done = true;
    }, 100);
    RightClick(button);
    ASSERT_TRUE(win::testing::WaitUntil([&] { return done && !dialog().InModal(); }, 10000));
  }

  bool HasSection(const std::string& section) {
    return ProfileReader(app().settings.SettingsPath).SectionExists(section);
  }
};

TEST_F(RegistrationWiringTest, RightClickRegistersAProgramInButtonTableAndIconStore) {
  form().ShowGroup(1);
  const std::string program = BinPath("three_icons.exe");
  RightClickAndAnswer(slot(3).hwnd(), [&] {
    EXPECT_EQ(dialog().FileName(), "");
    SetWindowTextW(dialog().Control(TEditWindow::kEdit1), win::Widen(program).c_str());
    SetWindowTextW(dialog().Control(TEditWindow::kEdit3), L"three");
    Click(dialog().Control(TEditWindow::kBitBtn1));
  });
  EXPECT_EQ(slot(3).Entry.FPFileName, program);
  EXPECT_EQ(slot(3).Entry.ShowName, "three");
  EXPECT_EQ(slot(3).Entry.ExecOption, 1);
  EXPECT_EQ(slot(3).Hint(), "three");
  EXPECT_EQ(form().Entries.At(1, 3), slot(3).Entry);
  EXPECT_EQ(app().CurrentButton, 3);
  EXPECT_EQ(app().Icons.PixelAt(3 * 32 + 16, 16), kSquareGreen);
  // The backup settings are saved after every OK; the file only at close.
  ASSERT_FALSE(backup_.calls.empty());
  EXPECT_EQ(backup_.calls.back(), "save binf103");
  EXPECT_FALSE(HasSection("ExButton1-3"));
}

TEST_F(RegistrationWiringTest, DeletedProgramLeavesABlankSlotAndItsSectionGoesAtOnce) {
  form().ShowGroup(1);
  ASSERT_EQ(slot(2).Entry.FPFileName, "C:\\old.exe");
  RightClickAndAnswer(slot(2).hwnd(), [&] {
    EXPECT_EQ(dialog().FileName(), "C:\\old.exe");
    Click(dialog().Control(TEditWindow::kBitBtn4));
    Click(dialog().Control(TEditWindow::kBitBtn1));
  });
  EXPECT_FALSE(HasSection("ExButton1-2"));
  EXPECT_TRUE(HasSection("ExButton2-1"));
  EXPECT_EQ(slot(2).Entry, TLaunchData{});
  EXPECT_EQ(form().Entries.At(1, 2), TLaunchData{});
  EXPECT_EQ(slot(2).Hint(), "");
  EXPECT_EQ(app().Icons.PixelAt(2 * 32 + 16, 16), GetSysColor(COLOR_BTNFACE));
}

TEST_F(RegistrationWiringTest, DeletedGroupAnsweredYesTakesItsSlotsAndSectionsAlong) {
  ASSERT_EQ(group(2).Entry.ShowName, "two");
  form().ShowGroup(2);
  form().ShowBeside(38, 0);
  ASSERT_TRUE(IsWindowVisible(form().hwnd()));
  auto watch = win::testing::AnswerDialogLater("確認", IDYES, 10000);
  RightClickAndAnswer(group(2).hwnd(), [&] {
    EXPECT_EQ(win::testing::ReadWindowText(dialog().hwnd()), "グループの登録");
    EXPECT_EQ(dialog().ShowName(), "two");
    Click(dialog().Control(TEditWindow::kBitBtn4));
    Click(dialog().Control(TEditWindow::kBitBtn1));
  });
  ASSERT_TRUE(win::testing::WaitUntil([&] { return watch->Fired(); }, 10000));
  win::testing::PumpMessagesFor(100);
  EXPECT_EQ(app().EditGroup, 2);
  EXPECT_EQ(group(2).Entry, TLaunchData{});
  EXPECT_EQ(group(2).Hint(), "");
  EXPECT_FALSE(HasSection("Button2"));
  EXPECT_FALSE(HasSection("ExButton2-1"));
  EXPECT_FALSE(HasSection("ExButton2-2"));
  EXPECT_TRUE(HasSection("ExButton1-2"));
  EXPECT_EQ(form().Entries.At(2, 1), TLaunchData{});
  EXPECT_EQ(slot(1).Entry, TLaunchData{});
  EXPECT_EQ(form().Entries.At(1, 2).FPFileName, "C:\\old.exe");
  EXPECT_EQ(app().Icons.PixelAt(16, 1 * 32 + 16), GetSysColor(COLOR_BTNFACE));
  EXPECT_FALSE(IsWindowVisible(form().hwnd()));
  EXPECT_EQ(win::testing::ReadWindowText(dialog().hwnd()), "プログラムの登録");
}

}  // namespace
}  // namespace kb
