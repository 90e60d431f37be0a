// The launcher's tray icon end to end: its icon and hint, real clicks on it
// in Wine's tray window opening the bar's menu, the taskbar-button toggle,
// the settings entry, "終了", and the icon coming back for a new shell.
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

using testing::TempExeFolder;
using win::testing::ClickMenuItemWhenShown;
using win::testing::RunXdotool;
using win::testing::WaitUntil;
using win::testing::WineTrayIconPoint;

bool ShellKnows(TIconTray& tray) {
  NOTIFYICONDATAW probe{};
  probe.cbSize = NOTIFYICONDATAW_V1_SIZE;
  probe.hWnd = tray.MessageWindow();
  probe.uID = tray.Identifier();
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

// At the right edge: Wine's tray window sits in the top-left corner.
struct Launcher {
  explicit Launcher(const std::string& info = "Type=3\r\n") {
    folder.WriteData("KBINI.dat", "[Info]\r\n" + info);
    app = std::make_unique<App>(AppOptions{folder.path(), 1024, 768});
    app->CreateForms();
    app->ShowBar();
  }
  TMainForm& bar() { return app->MainForm(); }
  TempExeFolder folder;
  std::unique_ptr<App> app;
};

// Clicks the tray icon with `click` (xdotool arguments), then menu item
// `item`; returns when the item has run (done() holds).
template <typename Done>
void ChooseFromTrayMenu(const std::string& click, int item, Done done) {
  std::optional<POINT> icon;
  ASSERT_TRUE(WaitUntil([&] { return (icon = WineTrayIconPoint()).has_value(); }, 10000));
  bool menuClicked = false;
  std::thread chooser([&] { menuClicked = ClickMenuItemWhenShown(item); });
  // Apart from the last click on the icon, so two are never a double click.
  ASSERT_TRUE(RunXdotool("mousemove " + std::to_string(icon->x) + " " + std::to_string(icon->y) +
                         " sleep 0.6 " + click));
  const bool ran = WaitUntil(done, 20000);
  chooser.join();
  EXPECT_TRUE(menuClicked);
  EXPECT_TRUE(ran);
}

TEST(TrayIcon, TheLauncherShowsItsIconWithTheBarsMenu) {
  Launcher l;
  TIconTray* tray = l.app->IconTray1();
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->Shown());
  EXPECT_TRUE(ShellKnows(*tray));
  EXPECT_EQ(tray->Hint(), "ｸﾘｯｸでﾒﾆｭｰ表示");
  EXPECT_EQ(tray->LBtnPopupMenu(), &l.bar().PopupMenu1);
  EXPECT_EQ(tray->RBtnPopupMenu(), &l.bar().PopupMenu1);
  win::TPopupMenu& menu = l.bar().PopupMenu1;
  ASSERT_EQ(menu.Count(), 4);
  EXPECT_EQ(&menu.Item(0), &l.bar().N2);
  EXPECT_EQ(menu.Item(1).Caption, "設定ｳｲﾝﾄﾞｳを開く...");
  EXPECT_TRUE(menu.Item(2).IsSeparator());
  EXPECT_EQ(menu.Item(3).Caption, "終了");
}

TEST(TrayIcon, N2TwiceHidesAndShowsTheTaskbarButton) {
  Launcher l;
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

TEST(TrayIcon, AHiddenTaskbarButtonStaysHiddenAtTheNextStartAndComesBackAtClose) {
  TempExeFolder folder;
  folder.WriteData("KBINI.dat", "[Info]\r\nType=3\r\nOnTray=1\r\n");
  App app(AppOptions{folder.path(), 1024, 768});
  app.CreateForms();
  app.ShowBar();
  EXPECT_FALSE(IsWindowVisible(app.ApplicationHandle()));
  EXPECT_EQ(app.MainForm().N2.Caption, "ﾀｽｸﾊﾞｰに表示する");
  app.MainForm().N2Click();
  app.MainForm().N2Click();
  EXPECT_FALSE(IsWindowVisible(app.ApplicationHandle()));
  HWND application = app.ApplicationHandle();
  app.Close();
  EXPECT_TRUE(IsWindowVisible(application));
  EXPECT_NE(folder.ReadData("KBINI.dat").find("OnTray=1"), std::string::npos);
}

TEST(TrayIcon, N1OpensTheSettingsWithTheBarsTimerStopped) {
  Launcher l;
  int opened = 0;
  bool timerRanMeanwhile = true;
  l.bar().OnSettingsClick = [&] {
    ++opened;
    timerRanMeanwhile = l.bar().Timer2.Enabled();
  };
  ChooseFromTrayMenu("click 1", 1, [&] { return opened > 0; });
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(timerRanMeanwhile);
  EXPECT_TRUE(l.bar().Timer2.Enabled());

  // Unset (no settings dialog yet): nothing happens.
  l.bar().OnSettingsClick = nullptr;
  l.bar().SpeedButton1Click();
  EXPECT_TRUE(l.bar().Timer2.Enabled());
}

TEST(TrayIcon, ExitClosesTheLauncherTheOrdinaryWay) {
  Launcher l;
  HWND bar = l.bar().hwnd();
  ChooseFromTrayMenu("click 3", 3, [&] { return !IsWindow(bar); });
  EXPECT_EQ(l.app->IconTray1(), nullptr);  // the icon left with the close
  EXPECT_FALSE(l.folder.ReadData("KBINI.dat").empty());
  EXPECT_FALSE(l.folder.ReadData("Iconbmp.dat").empty());
}

TEST(TrayIcon, ANewShellGetsTheIconAgain) {
  Launcher l;
  TIconTray* tray = l.app->IconTray1();
  NOTIFYICONDATAW gone{};
  gone.cbSize = NOTIFYICONDATAW_V1_SIZE;
  gone.hWnd = tray->MessageWindow();
  gone.uID = tray->Identifier();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
  ASSERT_FALSE(ShellKnows(*tray));
  SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ShellKnows(*tray); }, 5000));
  EXPECT_TRUE(tray->Shown());
}

}  // namespace
}  // namespace kb
