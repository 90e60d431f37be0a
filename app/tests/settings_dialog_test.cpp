// The settings dialog inside the whole launcher: opened by the bar's
// settings button, and what its ways out do to the bar, the group window,
// the settings file and the companion programs (the restart and the missing
// exit tool are run with the real programs in settings_e2e_test.cpp).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/app.h"
#include "app/settings_wiring.h"
#include "app/tests/groups_fixture.h"
#include "app/tests/launcher_process.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "settings/pages_dlg.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb::groups_testing {
namespace {

namespace wt = win::testing;
using process_testing::FindControl;

const std::string kDialogCaption = "Kobaruneの設定";

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

class SettingsDialogTest : public LauncherTest {
 protected:
  // The dialog as the bar's button makes it, filled and not shown, with the
  // launcher's own actions.
  TPagesDlg& Dialog() {
    actions_ = std::make_unique<SettingsWiring>(app());
    dialog_ = std::make_unique<TPagesDlg>(app().MainForm().hwnd(), app(), *actions_);
    dialog_->FormShow();
    return *dialog_;
  }
  void TearDown() override {
    dialog_.reset();
    LauncherTest::TearDown();
  }
  bool BarClosed() {
    return wt::WaitUntil([&] { return !IsWindow(app().MainForm().hwnd()); }, 5000);
  }
  std::unique_ptr<SettingsWiring> actions_;
  std::unique_ptr<TPagesDlg> dialog_;
};

TEST_F(SettingsDialogTest, SettingsButtonAndTrayItemOpenItModallyOnTheFirstPage) {
  Start("[Info]\r\nType=0\r\nAutoHide=0\r\nTMaxFileNum=12\r\nMaxFileLimit=1\r\n");
  TMainForm& bar = app().MainForm();
  for (bool fromTray : {false, true}) {
    int page = -1, edge = -1, limit = -1;
    std::string spin;
    BOOL barEnabled = TRUE;
    wt::DialogWatch watch(kDialogCaption, [&](HWND d) {
      page = static_cast<int>(Ask(FindControl(d, TPagesDlg::kPageControl1), TCM_GETCURSEL));
      for (int i = 0; i < 4; ++i) {
        if (Ask(FindControl(d, TPagesDlg::kRadioGroup1Item0 + i), BM_GETCHECK) == BST_CHECKED) edge = i;
      }
      limit = static_cast<int>(Ask(FindControl(d, TPagesDlg::kFileNumLimitCheck), BM_GETCHECK));
      spin = wt::ReadWindowText(FindControl(d, TPagesDlg::kSpinMaxFile));
      barEnabled = IsWindowEnabled(bar.hwnd());
      PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
    }, 8000);
    fromTray ? bar.N1.OnClick() : bar.SpeedButton1.Click();
    ASSERT_TRUE(watch.Fired()) << fromTray;
    EXPECT_EQ(page, TPagesDlg::kTabSheet1);
    EXPECT_EQ(edge, 0);
    EXPECT_EQ(limit, BST_CHECKED);
    EXPECT_EQ(spin, "12");
    EXPECT_FALSE(barEnabled) << "the bar takes no clicks while the dialog is open";
    EXPECT_TRUE(IsWindowEnabled(bar.hwnd()));
    EXPECT_TRUE(bar.Timer2.Enabled()) << "the bar's timer runs again";
    EXPECT_FALSE(app().SettingsDialogOpen());
  }
}

TEST_F(SettingsDialogTest, OkHidesAndRelaysTheGroupWindowAndRaisesListCountOnlyWhenLimited) {
  struct Case { bool limit; int num; int listCount; int displayCount; };
  // Left edge of 1024 x 768: 1024 div 39 - 1 = 25 buttons without a limit.
  const Case cases[] = {{true, 5, 15, 5}, {true, 30, 30, 30}, {false, 30, 15, 25}};
  for (const Case& c : cases) {
    Start("[Info]\r\nType=1\r\n", 1024, 768);
    app().SubForm().ShowBeside(0, 39);
    ASSERT_TRUE(app().SubForm().Visible());
    TPagesDlg& d = Dialog();
    d.FileNumLimitCheck.SetChecked(c.limit);
    d.SpinMaxFile.SetValue(c.num);
    d.OKBtnClick();
    EXPECT_FALSE(app().SubForm().Visible());
    EXPECT_EQ(app().settings.ListCount, c.listCount) << c.num << c.limit;
    EXPECT_EQ(app().SubForm().DisplayCount(), c.displayCount);
    const RECT r = app().SubForm().Bounds();
    EXPECT_EQ(r.right - r.left, c.displayCount * 39);
    EXPECT_EQ(r.left, 38);
    EXPECT_EQ(app().SubForm().Buttons(c.displayCount).Bounds().left, (c.displayCount - 1) * 39);
    dialog_.reset();
    Stop();
  }
}

TEST_F(SettingsDialogTest, ExitMethodIsKeptWhileTheLauncherRunsAndStartsAtZero) {
  Start("");
  Dialog().RadioGroup2.SetItemIndex(2);
  dialog_->OKBtnClick();
  EXPECT_EQ(Dialog().RadioGroup2.ItemIndex(), 2);
  dialog_.reset();
  app().Close();
  EXPECT_EQ(SettingsText().find("ExitMethod"), std::string::npos);
  EXPECT_EQ(SettingsText().find("=2\r\n"), std::string::npos) << SettingsText();
  Stop();
  Start("");
  EXPECT_EQ(Dialog().RadioGroup2.ItemIndex(), 0);
}

TEST_F(SettingsDialogTest, ExitAndCloseButtonsCloseTheLauncherWhichSaves) {
  for (bool exitTool : {true, false}) {
    DeleteFileW(win::Widen(folder_.Path("data\\KBINI.dat")).c_str());
    Start("");
    folder_.Write("HURTLE.EXE", "MZ");
    TPagesDlg& d = Dialog();
    d.RadioGroup2.SetItemIndex(3);
    exitTool ? d.Button1Click() : d.BitBtn1Click();
    if (exitTool) {
      ASSERT_EQ(shell_.calls.size(), 1u);
      EXPECT_EQ(shell_.calls[0].file, folder_.path() + "HURTLE.EXE");
      EXPECT_EQ(shell_.calls[0].parameters, "/R");
      EXPECT_EQ(shell_.calls[0].showCmd, SW_HIDE);
    } else {
      EXPECT_TRUE(shell_.calls.empty());
    }
    dialog_.reset();
    ASSERT_TRUE(BarClosed());
    EXPECT_TRUE(folder_.Exists("data\\KBINI.dat"));
    shell_.calls.clear();
    Stop();
  }
}

TEST_F(SettingsDialogTest, ResetWithEveryButtonFittingShowsAllAndDisablesScrolling) {
  Start("[Info]\r\nType=1\r\n", 1024, 768);
  TMainForm& bar = app().MainForm();
  ASSERT_EQ(app().settings.GroupCount, 16);
  bar.SetBounds(0, 0, 38, 2);  // as collapsed
  TPagesDlg& d = Dialog();
  d.AutoHideCheck.SetChecked(true);
  d.ResetBtnClick();
  EXPECT_FALSE(app().settings.AutoHide) << "edits on the pages are dropped";
  const RECT r = bar.Bounds();
  EXPECT_EQ(r.bottom - r.top, 768);
  EXPECT_EQ(r.right - r.left, 38);
  for (int k = 1; k <= 16; ++k) EXPECT_EQ(bar.GroupButton(k)->Bounds().top, k * 39) << k;
  EXPECT_FALSE(bar.SclUp.Enabled());
  EXPECT_FALSE(bar.SclDown.Enabled());
  EXPECT_EQ(bar.HelpBtn.Bounds().top, 17 * 39);
}

TEST_F(SettingsDialogTest, ResetOnASmallerScreenScrollsTheButtonsThatDoNotFit) {
  Start("[Info]\r\nType=1\r\n", 1024, 768);
  TMainForm& bar = app().MainForm();
  app().screenHeight = 600;  // the screen changed under the running launcher
  Dialog().ResetBtnClick();
  const RECT r = bar.Bounds();
  EXPECT_EQ(r.bottom - r.top, 600);
  for (int k = 1; k <= 12; ++k) EXPECT_EQ(bar.GroupButton(k)->Bounds().top, k * 39) << k;
  for (int k = 13; k <= 16; ++k) {
    const RECT hidden = bar.GroupButton(k)->Bounds();
    EXPECT_EQ(hidden.right - hidden.left, 0) << k;
  }
  EXPECT_EQ(bar.HelpBtn.Bounds().top, 13 * 39);
  EXPECT_FALSE(bar.SclUp.Enabled());
  EXPECT_TRUE(bar.SclDown.Enabled());
  EXPECT_EQ(bar.ScrollFirst(), 1);
  EXPECT_EQ(bar.SlotCount(), 12);
  bar.SclDown.Click();
  EXPECT_EQ(bar.GroupButton(13)->Bounds().top, 12 * 39);
  EXPECT_TRUE(bar.SclUp.Enabled());
}

}  // namespace
}  // namespace kb::groups_testing
