// The settings dialog of the real Pelkan2.exe with the real companions: an
// edge change restarts the launcher through Vaulter2.exe, and "速攻終了！"
// without HURTLE.EXE tells so and leaves the launcher running.  The launcher
// runs with another current folder holding decoys named like the companions,
// which must never be the ones started.
#include <gtest/gtest.h>

#include "app/tests/launcher_process.h"
#include "common/file_io.h"
#include "launcher/tests/launcher_fixture.h"
#include "settings/pages_dlg.h"
#include "win/text.h"

namespace kb {
namespace {

using namespace process_testing;
using testing::TempExeFolder;

constexpr DWORD kWait = 20000;
constexpr int kSettingsButtonId = 100;

struct LauncherFolder {
  explicit LauncherFolder(std::initializer_list<const wchar_t*> companions) {
    for (const wchar_t* name : {L"Pelkan2.exe"}) Copy(Built(name), home, name);
    for (const wchar_t* name : companions) Copy(Built(name), home, name);
    // Recorders named like the companions, in the launcher's current folder.
    for (const wchar_t* name : {L"Vaulter2.exe", L"HURTLE.EXE"}) {
      Copy(Built(L"tools_standins\\Pelkan2.exe"), elsewhere, name);
    }
  }
  static void Copy(const std::wstring& from, const TempExeFolder& folder, const wchar_t* name) {
    CopyFileW(from.c_str(), (win::Widen(folder.path()) + name).c_str(), FALSE);
  }
  bool DecoyStarted() const {
    for (const char* name : {"Vaulter2.exe.record", "HURTLE.EXE.record"}) {
      if (FileExists(elsewhere.path() + name)) return true;
    }
    return false;
  }
  std::wstring Exe() const { return win::Widen(home.path()) + L"Pelkan2.exe"; }
  std::wstring Elsewhere() const { return win::Widen(elsewhere.path()); }
  TempExeFolder home{"kbsetE"}, elsewhere{"kbsetD"};
};

// Opens the dialog with the bar's settings button.
HWND OpenSettings(HWND bar, DWORD pid) {
  if (!Click(FindControl(bar, kSettingsButtonId))) return nullptr;
  return WaitForWindow(L"TPagesDlg", win::Widen("Kobaruneの設定"), pid, kWait);
}

TEST(SettingsE2E, NewEdgeConfirmedRestartsTheLauncherAtThatEdgeWithTheEdgeSaved) {
  LauncherFolder folder({L"Vaulter2.exe"});
  folder.home.WriteData("KBINI.dat", "[Info]\r\nType=1\r\n");
  Process launcher(folder.Exe(), L"", folder.Elsewhere());
  ASSERT_TRUE(launcher.Started());
  HWND bar = WaitForWindow(L"TMainForm", L"Kobarune", launcher.Id(), kWait);
  ASSERT_NE(bar, nullptr);
  RECT r{};
  GetWindowRect(bar, &r);
  EXPECT_EQ(r.right - r.left, 38);

  HWND dialog = OpenSettings(bar, launcher.Id());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(Click(FindControl(dialog, TPagesDlg::kRadioGroup1Item0)));  // top
  ASSERT_TRUE(Click(GetDlgItem(dialog, IDOK)));
  HWND notice = WaitForWindow(L"TMessageForm", win::Widen("情報"), launcher.Id(), kWait);
  ASSERT_NE(notice, nullptr);
  EXPECT_NE(ChildTexts(notice).find(win::Widen("表示位置の変更のためKobaruneを再起動します。")),
            std::wstring::npos);
  ASSERT_TRUE(Click(GetDlgItem(notice, IDOK)));
  EXPECT_EQ(launcher.Wait(kWait), 0u);
  EXPECT_NE(folder.home.ReadData("KBINI.dat").find("[Info]\r\nType=0\r\n"), std::string::npos);

  // The restart tool waits for the launcher to go, then starts it again.
  HWND again = WaitForWindow(L"TMainForm", L"Kobarune", launcher.Id(), 30000, true);
  ASSERT_NE(again, nullptr);
  Process relaunched(again);
  ASSERT_TRUE(WaitUntil([&] {
    GetWindowRect(again, &r);
    return r.top == 0 && r.bottom == 38;
  }, kWait)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_FALSE(folder.DecoyStarted());

  PostMessageW(again, WM_CLOSE, 0, 0);
  EXPECT_EQ(relaunched.Wait(kWait), 0u);
}

TEST(SettingsE2E, ExitButtonWithoutTheExitToolTellsSoAndTheLauncherRunsOn) {
  LauncherFolder folder({});
  Process launcher(folder.Exe(), L"", folder.Elsewhere());
  ASSERT_TRUE(launcher.Started());
  HWND bar = WaitForWindow(L"TMainForm", L"Kobarune", launcher.Id(), kWait);
  ASSERT_NE(bar, nullptr);
  HWND dialog = OpenSettings(bar, launcher.Id());
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(Click(FindControl(dialog, TPagesDlg::kButton1)));
  HWND message = WaitForWindow(L"TMessageForm", win::Widen("情報"), launcher.Id(), kWait);
  ASSERT_NE(message, nullptr);
  const std::wstring texts = ChildTexts(message);
  EXPECT_NE(texts.find(win::Widen("実行に必要な\"HURTLE.EXE\"ﾌｧｲﾙが見つかりません。\n"
                                  "機能を実行できません。")),
            std::wstring::npos);
  ASSERT_TRUE(Click(GetDlgItem(message, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(message); }, kWait));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(launcher.Running());
  EXPECT_FALSE(folder.DecoyStarted());

  ASSERT_TRUE(Click(GetDlgItem(dialog, IDCANCEL)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWait));
  PostMessageW(bar, WM_CLOSE, 0, 0);
  EXPECT_EQ(launcher.Wait(kWait), 0u);
}

}  // namespace
}  // namespace kb
