// "速攻終了！" with "シャットダウン" really ending the session: the real
// Pelkan2.exe starts the real HURTLE.EXE, closes and saves, and the exit
// tool then ends every windowed program of the Wine prefix.  This program
// runs only in a throw-away prefix of its own (exit_session_test.sh) and
// owns no window, so it outlives the session's end and reports.
#include <gtest/gtest.h>

#include "app/tests/launcher_process.h"
#include "settings/pages_dlg.h"

namespace kb {
namespace {

using namespace process_testing;

constexpr DWORD kWait = 30000;

class Folder {
 public:
  Folder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"kbsession" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  const std::wstring& path() const { return path_; }
  bool Has(const std::wstring& name) const {
    return GetFileAttributesW((path_ + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  std::wstring path_;  // the prefix goes with the test: nothing to remove
};

TEST(SettingsSession, ShutDownFromTheDialogEndsTheSessionAfterTheLauncherSaved) {
  Folder folder;
  for (const wchar_t* name : {L"Pelkan2.exe", L"HURTLE.EXE"}) {
    ASSERT_TRUE(CopyFileW(Built(name).c_str(), (folder.path() + name).c_str(), FALSE));
  }
  const std::wstring ended = folder.path() + L"victim.ended";
  Process victim(Built(L"tools_standin_launcher.exe"), L"Victim 120000 \"\" \"" + ended + L"\"", L"");
  ASSERT_TRUE(victim.Started());
  // Its window is hidden, as the launcher's application window is.
  ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"TApplication", L"Victim") != nullptr; }, kWait));

  Process launcher(folder.path() + L"Pelkan2.exe", L"", L"");
  HWND bar = WaitForWindow(L"TMainForm", L"Kobarune", launcher.Id(), kWait);
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(Click(FindControl(bar, 100)));
  HWND dialog = WaitForWindow(L"TPagesDlg", L"Kobaruneの設定", launcher.Id(), kWait);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(Click(FindControl(dialog, TPagesDlg::kRadioGroup2Item0)));  // "/S"
  ASSERT_TRUE(Click(FindControl(dialog, TPagesDlg::kButton1)));

  EXPECT_EQ(launcher.Wait(kWait), 0u);
  EXPECT_TRUE(folder.Has(L"data\\KBINI.dat")) << "the launcher saved before the session ended";
  EXPECT_TRUE(WaitUntil([&] { return folder.Has(L"victim.ended"); }, kWait))
      << "the session did not end";
  EXPECT_NE(victim.Wait(kWait), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kb
