// The launcher through a change of the display: what the system lists is
// changed under the running launcher (Wine here cannot change the
// resolution of its screen) and the real message follows; the bar at its
// edge with the real shell, the group window and the saved file.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/app.h"
#include "app/settings_wiring.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"
#include "model/group_layout.h"
#include "settings/pages_dlg.h"
#include "win/testing/testing.h"

namespace kb {
namespace {

using win::testing::WaitUntil;

Box BoundsOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class DisplayChangeTest : public ::testing::Test {
 protected:
  void Start(const std::string& ini, int width, int height) {
    folder_.WriteData("KBINI.dat", ini);
    Resize(width, height);
    AppOptions options;
    options.exeDir = folder_.path();
    options.readMonitors = [this] { return std::vector<MonitorDesc>{monitor_}; };
    app_ = std::make_unique<App>(options);
    app_->CreateForms();
    app_->ShowBar();
    Settle();
  }
  void Resize(int width, int height) {
    monitor_ = {"\\\\.\\DISPLAY1", {0, 0, width, height}, {0, 0, width, height}, true};
  }
  // The system's message to every top-level window after a change of mode.
  void ChangeDisplay(int width, int height) {
    Resize(width, height);
    SendMessageW(bar().hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(width, height));
    Settle();
  }
  void Settle() { ASSERT_TRUE(WaitUntil([&] { return !bar().SettlePending(); }, 5000)); }
  TMainForm& bar() { return app_->MainForm(); }
  Box BarBox() { return BoundsOf(bar().hwnd()); }

  testing::TempExeFolder folder_{"kbdisplay"};
  MonitorDesc monitor_;
  std::unique_ptr<App> app_;
};

// Groups 1 … 23 (a 1024-pixel bar) with a record each, and a program in
// group 20.
std::string TwentyThreeGroups(const std::string& info) {
  std::string ini = "[Info]\r\n" + info + "[Group]\r\nNumber=23\r\n";
  for (int k = 1; k <= 23; ++k) {
    ini += "[Button" + std::to_string(k) + "]\r\nShowName=group" + std::to_string(k) +
           "\r\nIconFile=C:\\g.ico\r\n";
  }
  return ini + "[ExButton20-1]\r\nFPFileName=C:\\p20.exe\r\n";
}

TEST_F(DisplayChangeTest, BottomBarFollowsTheNewResolutionAndKeepsEveryRecord) {
  Start(TwentyThreeGroups("Type=2\r\n"), 1024, 768);
  ASSERT_EQ(BarBox(), BarBounds(kEdgeBottom, false, 1024, 768));
  struct Step {
    int width, height;
  } steps[] = {{800, 600}, {1024, 768}, {640, 480}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.width) + " x " + std::to_string(step.height));
    ChangeDisplay(step.width, step.height);
    EXPECT_EQ(BarBox(), BarBounds(kEdgeBottom, false, step.width, step.height));
    const int fit = GroupButtonCount(step.width);
    EXPECT_EQ(app_->settings.GroupCount, fit);
    for (int k = 1; k <= 23; ++k) {
      TGroupButton* button = bar().GroupButton(k);
      ASSERT_NE(button, nullptr) << k;
      const RECT r = button->Bounds();
      EXPECT_EQ(r.right - r.left, k <= fit ? kBarThickness : 0) << k;
      EXPECT_EQ(button->Entry.ShowName, "group" + std::to_string(k)) << k;
    }
    EXPECT_EQ(bar().HelpBtn.Bounds().left, (fit + 1) * kButtonPitch);
    // The group window stands on the bar across the new height.
    GroupDisplaySettings display;
    display.edge = kEdgeBottom;
    const int count = GroupDisplayCount(display, step.width, step.height);
    EXPECT_EQ(app_->SubForm().DisplayCount(), count);
    const Box g = BoundsOf(app_->SubForm().hwnd());
    EXPECT_EQ(g.top + g.height, step.height - kBarThickness);
    EXPECT_EQ(g.height, count * kButtonPitch);
  }
  app_->Close();
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(bar().hwnd()); }, 5000));
  const std::string saved = folder_.ReadData("KBINI.dat");
  for (int k = 1; k <= 23; ++k) {
    EXPECT_NE(saved.find("ShowName=group" + std::to_string(k) + "\r\n"), std::string::npos) << k;
  }
  EXPECT_NE(saved.find("[ExButton20-1]\r\nFPFileName=C:\\p20.exe"), std::string::npos);
  EXPECT_NE(saved.find("[Group]\r\nNumber=" + std::to_string(GroupButtonCount(640))),
            std::string::npos);
}

// A larger display shows groups the start-up never made: their records and
// program slots come from the file.
TEST_F(DisplayChangeTest, GroupsMadeOnALargerDisplayReadTheirRecords) {
  Start(TwentyThreeGroups("Type=0\r\n"), 640, 480);
  ASSERT_EQ(app_->settings.GroupCount, GroupButtonCount(640));
  ASSERT_EQ(bar().GroupButton(20), nullptr);
  ChangeDisplay(1024, 768);
  EXPECT_EQ(BarBox(), BarBounds(kEdgeTop, false, 1024, 768));
  ASSERT_NE(bar().GroupButton(20), nullptr);
  EXPECT_EQ(bar().GroupButton(20)->Entry.ShowName, "group20");
  EXPECT_EQ(app_->SubForm().Entries.At(20, 1).FPFileName, "C:\\p20.exe");
}

// A work-area change that leaves the monitor as it was (the shell's own, as
// a desktop toolbar registers) does not register the bar again.
TEST_F(DisplayChangeTest, WorkAreaChangeOfTheSameMonitorLeavesTheBar) {
  Start("[Info]\r\nType=1\r\n", 1024, 768);
  const RECT before = bar().AppBarData.rc;
  monitor_.work.left = 38;
  SendMessageW(bar().hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_FALSE(bar().SettlePending());
  EXPECT_TRUE(EqualRect(&before, &bar().AppBarData.rc));
  EXPECT_EQ(app_->workArea.left, 38);
}

// Auto-hide switched off in the settings dialog while the bar is collapsed:
// OK leaves a full bar with its buttons, registered at full thickness.
TEST_F(DisplayChangeTest, AutoHideOffWhileCollapsedGivesAFullBar) {
  Start("[Info]\r\nType=2\r\nAutoHide=1\r\n", 1024, 768);
  bar().CollapseBar();
  ASSERT_EQ(BarBox().height, kCollapsedThickness);
  SettingsWiring actions(*app_);
  TPagesDlg dialog(bar().hwnd(), *app_, actions);
  dialog.FormShow();
  dialog.AutoHideCheck.SetChecked(false);
  dialog.OKBtnClick();
  Settle();
  EXPECT_EQ(BarBox(), BarBounds(kEdgeBottom, false, 1024, 768));
  const RECT& rc = bar().AppBarData.rc;
  EXPECT_EQ(rc.bottom - rc.top, kBarThickness);
  EXPECT_FALSE(bar().Collapsed());
  EXPECT_TRUE(bar().SpeedButton1.Visible());
  EXPECT_TRUE(bar().GroupButton(1)->Visible());
}

}  // namespace
}  // namespace kb
