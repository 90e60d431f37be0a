// The launcher on a desktop of two monitors (run by monitors_session_test.sh
// in a Wine session of its own whose display has two heads: 1024 × 768
// primary, 800 × 600 to its right): the bar at each edge of the second one,
// the group window and a dialog there, the choice made in the settings
// dialog kept through a restart, and a stored monitor that is not there.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/app.h"
#include "app/settings_wiring.h"
#include "groups/sub_form.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"
#include "settings/pages_dlg.h"
#include "win/monitors.h"
#include "win/testing/testing.h"

namespace kb {
namespace {

namespace wt = win::testing;

EdgeRect WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

bool Inside(const EdgeRect& inner, const EdgeRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    monitors_ = win::EnumerateMonitors();
    ASSERT_EQ(monitors_.size(), 2u) << "the session's display has two heads";
    for (const MonitorDesc& m : monitors_) (m.primary ? primary_ : second_) = m;
    ASSERT_TRUE(primary_.primary);
    ASSERT_FALSE(second_.primary);
  }
  App& Start(const std::string& info) {
    folder_.WriteData("KBINI.dat", "[Info]\r\n" + info);
    return Restart();
  }
  App& Restart() {
    app_ = std::make_unique<App>(AppOptions{folder_.path()});
    app_->CreateForms();
    app_->ShowBar();
    Settle();
    return *app_;
  }
  void Settle() {
    ASSERT_TRUE(wt::WaitUntil([&] { return !app_->MainForm().SettlePending(); }, 5000));
  }
  void Close() {
    HWND bar = app_->MainForm().hwnd();
    app_->Close();
    ASSERT_TRUE(wt::WaitUntil([&] { return !IsWindow(bar); }, 5000));
    app_.reset();
  }
  EdgeRect Expected(const MonitorDesc& m, int edge) const {
    const ScreenArea area = AreaOf(m);
    return RectOf(ToScreen(area, BarBounds(edge, false, area.width, area.height)));
  }

  std::vector<MonitorDesc> monitors_;
  MonitorDesc primary_, second_;
  testing::TempExeFolder folder_{"kbmonitors"};
  std::unique_ptr<App> app_;
};

TEST_F(TwoMonitors, BarAtEachEdgeOfTheSecondMonitorWithItsGroupWindowThere) {
  for (int edge = kEdgeTop; edge <= kEdgeRight; ++edge) {
    SCOPED_TRACE(edge);
    App& app = Start("Type=" + std::to_string(edge) + "\r\nMonitor=" + MonitorKeyValue(second_) +
                     "\r\n");
    TMainForm& bar = app.MainForm();
    EXPECT_EQ(WindowRect(bar.hwnd()), Expected(second_, edge));
    const int along = IsHorizontalEdge(edge) ? 800 : 600;
    EXPECT_EQ(app.settings.GroupCount, GroupButtonCount(along));

    wt::PostClick(bar.GroupButton(1)->hwnd());
    HWND group = app.SubForm().hwnd();
    ASSERT_TRUE(wt::WaitUntil([&] { return IsWindowVisible(group) != FALSE; }, 5000));
    const EdgeRect g = WindowRect(group);
    EXPECT_TRUE(Inside(g, second_.area)) << g.left << "," << g.top << "," << g.right << ","
                                         << g.bottom;
    const int across = IsHorizontalEdge(edge) ? 600 : 800;
    const int length = (across / kButtonPitch - 1) * kButtonPitch;
    EXPECT_EQ(IsHorizontalEdge(edge) ? g.bottom - g.top : g.right - g.left, length)
        << "runs across the second monitor";

    SettingsWiring actions(app);
    TPagesDlg dialog(bar.hwnd(), app, actions);
    EXPECT_TRUE(Inside(WindowRect(dialog.hwnd()), second_.work)) << "centred on the bar's monitor";
    EXPECT_TRUE(dialog.MonitorList.Enabled());
    Close();
  }
}

TEST_F(TwoMonitors, MonitorChosenInTheDialogAppliesAtOnceAndAfterARestart) {
  App& app = Start("Type=2\r\n");
  EXPECT_EQ(WindowRect(app.MainForm().hwnd()), Expected(primary_, kEdgeBottom));
  {
    SettingsWiring actions(app);
    TPagesDlg dialog(app.MainForm().hwnd(), app, actions);
    dialog.FormShow();
    ASSERT_EQ(dialog.MonitorList.Count(), 2);
    const int secondIndex = monitors_[0].primary ? 1 : 0;
    dialog.MonitorList.SetSelectedIndex(secondIndex);
    dialog.OKBtnClick();
  }
  Settle();
  EXPECT_EQ(WindowRect(app.MainForm().hwnd()), Expected(second_, kEdgeBottom));
  Close();
  EXPECT_NE(folder_.ReadData("KBINI.dat").find("Monitor=" + MonitorKeyValue(second_)),
            std::string::npos);
  App& again = Restart();
  EXPECT_EQ(WindowRect(again.MainForm().hwnd()), Expected(second_, kEdgeBottom));
  Close();
}

TEST_F(TwoMonitors, MissingMonitorFallsBackToThePrimaryAndStaysStored) {
  const std::string gone = "\\\\.\\DISPLAY9,3000,0,3800,600";
  App& app = Start("Type=0\r\nMonitor=" + gone + "\r\n");
  EXPECT_EQ(WindowRect(app.MainForm().hwnd()), Expected(primary_, kEdgeTop));
  Close();
  EXPECT_NE(folder_.ReadData("KBINI.dat").find("Monitor=" + gone + "\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kb
