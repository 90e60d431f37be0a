// The launcher's tray icon end to end: real clicks on it in Wine's tray
// window open the bar's menu, whose items toggle the taskbar button, open
// the settings and close the launcher.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/app.h"
#include "components/icon_tray.h"
#include "launcher/main_form.h"
#include "launcher/tests/launcher_fixture.h"
#include "win/testing/testing.h"
#include "win/testing/x_input.h"

namespace kb {
namespace {

using win::testing::WaitUntil;

// At the right edge: Wine's tray window sits in the top-left corner.
struct Launcher {
  explicit Launcher(const std::string& info = "Type=3\r\n") {
    folder.WriteData("KBINI.dat", "[Info]\r\n" + info);
    app = std::make_unique<App>(AppOptions{folder.path(), 1024, 768});
    app->CreateForms();
    app->ShowBar();
  }
  TMainForm& bar() { return app->MainForm(); }
  testing::TempExeFolder folder;
  std::unique_ptr<App> app;
};

// Clicks the tray icon (xdotool `click`), then menu item `item`, and waits
// until done() holds.
template <typename Done>
void ChooseFromTrayMenu(const std::string& click, int item, Done done) {
  std::optional<POINT> icon;
  ASSERT_TRUE(WaitUntil([&] { return (icon = win::testing::WineTrayIconPoint()).has_value(); }, 10000));
  bool menuClicked = false;
  std::thread chooser([&] { menuClicked = win::testing::ClickMenuItemWhenShown(item); });
  // Apart from the previous click on the icon, so two never make a double click.
  ASSERT_TRUE(win::testing::RunXdotool("mousemove " + std::to_string(icon->x) + " " +
                                       std::to_string(icon->y) + " sleep 0.6 " + click));
  const bool ran = WaitUntil(done, 20000);
  chooser.join();
  EXPECT_TRUE(menuClicked);
  EXPECT_TRUE(ran);
}

TEST(TrayIcon, BothButtonsOpenTheBarsMenuAndN2TogglesTheTaskbarButton) {
  Launcher l;
  TIconTray* tray = l.app->IconTray1();
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->Shown());
  EXPECT_EQ(tray->Hint(), "ｸﾘｯｸでﾒﾆｭｰ表示");
  HWND application = l.app->ApplicationHandle();
  EXPECT_TRUE(IsWindowVisible(application));
  EXPECT_EQ(l.bar().N2.Caption, "ﾀｽｸﾊﾞｰに表示しない");

  ChooseFromTrayMenu("click 1", 0, [&] { return !IsWindowVisible(application); });
  EXPECT_EQ(l.app->settings.OnTray, 1);
  EXPECT_EQ(l.bar().N2.Caption, "ﾀｽｸﾊﾞｰに表示する");
  ChooseFromTrayMenu("click 3", 0, [&] { return IsWindowVisible(application) != FALSE; });
  EXPECT_EQ(l.app->settings.OnTray, 0);
  EXPECT_EQ(l.bar().N2.Caption, "ﾀｽｸﾊﾞｰに表示しない");
}

TEST(TrayIcon, N1OpensTheSettingsWithTheBarsTimerStopped) {
  Launcher l;
  int opened = 0;
  bool timerRan = true;
  l.bar().OnSettingsClick = [&] {
    ++opened;
    timerRan = l.bar().Timer2.Enabled();
  };
  ChooseFromTrayMenu("click 1", 1, [&] { return opened > 0; });
  EXPECT_FALSE(timerRan);
  EXPECT_TRUE(l.bar().Timer2.Enabled());
}

TEST(TrayIcon, ExitClosesTheLauncherTheOrdinaryWay) {
  Launcher l("Type=3\r\nOnTray=1\r\n");
  HWND application = l.app->ApplicationHandle();
  EXPECT_FALSE(IsWindowVisible(application));  // hidden from the start
  HWND bar = l.bar().hwnd();
  ChooseFromTrayMenu("click 3", 3, [&] { return !IsWindow(bar); });
  EXPECT_EQ(l.app->IconTray1(), nullptr);
  EXPECT_TRUE(IsWindowVisible(application));  // the taskbar button came back
  EXPECT_NE(l.folder.ReadData("KBINI.dat").find("OnTray=1"), std::string::npos);
  EXPECT_FALSE(l.folder.ReadData("Iconbmp.dat").empty());
}

}  // namespace
}  // namespace kb
