// The tools' real Win32 layer in-process: finding the launcher's window,
// serving the queue while waiting, resolving programs beside the tool and
// the shutdown privilege.  ExitWindowsEx itself is never called here.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "tools/common/companion.h"
#include "tools/tests/process_support.h"
#include "tools/win/program_start.h"
#include "tools/win/shutdown.h"
#include "tools/win/win_tool_system.h"

namespace kb::tools {
namespace {

constexpr UINT kProbe = WM_APP + 7;
int g_probes = 0;

LRESULT CALLBACK TestProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kProbe) {
    ++g_probes;
    return 0;
  }
  if (msg == WM_TIMER) {  // the stand-in launcher closing itself
    KillTimer(hwnd, wp);
    DestroyWindow(hwnd);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeAppWindow(const wchar_t* title) {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TApplication";
    return RegisterClassW(&wc) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowExW(0, L"TApplication", title, WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(WinToolSystem, LauncherPresentNeedsClassAndTitle) {
  WinToolSystem system;
  ASSERT_FALSE(system.LauncherPresent());
  HWND other = MakeAppWindow(L"Kobarune ");
  EXPECT_FALSE(system.LauncherPresent());
  HWND launcher = MakeAppWindow(L"Kobarune");
  EXPECT_TRUE(system.LauncherPresent());
  DestroyWindow(launcher);
  EXPECT_FALSE(system.LauncherPresent());
  DestroyWindow(other);
}

TEST(WinToolSystem, ServesOneMessageAndDropsQuit) {
  WinToolSystem system;
  HWND hwnd = MakeAppWindow(L"probe");
  MSG stale;
  while (PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {}
  g_probes = 0;
  PostQuitMessage(0);
  PostMessageW(hwnd, kProbe, 0, 0);
  // Two calls take both off the queue (the quit message comes last); only
  // the probe may reach a window procedure.
  system.ServeOneMessage();
  system.ServeOneMessage();
  EXPECT_EQ(g_probes, 1);
  MSG left;
  EXPECT_FALSE(PeekMessageW(&left, nullptr, 0, 0, PM_NOREMOVE));
  DestroyWindow(hwnd);
}

TEST(WinToolSystem, WaitEndsOnceAWindowClosedByItsOwnTimerHasGone) {
  // The window closes itself from WM_TIMER, which only the wait's own
  // message serving delivers: a wait that did not serve the queue never ends.
  WinToolSystem system;
  HWND launcher = MakeAppWindow(L"Kobarune");
  SetTimer(launcher, 1, 700, nullptr);
  const DWORD start = GetTickCount();
  WaitForLauncherToGo(system, kExitToolSliceMs);
  const DWORD took = GetTickCount() - start;
  EXPECT_FALSE(IsWindow(launcher));
  EXPECT_GE(took, 700u + 500u);              // gone, then the pause
  EXPECT_LE(took, 700u + 500u + 500u + 1500u);  // at most one slice late
}

TEST(ProgramBesideSelf, FindsBareNamesInTheGivenFolderOnly) {
  testing::TempFolder folder;
  const std::wstring self = kb::ModuleFolderW() + L"tools_win_tests.exe";
  folder.CopyIn(self, L"Pelkan2.exe");
  folder.CopyIn(self, L"WEXDO.EXE");
  const std::wstring& dir = folder.path();
  EXPECT_EQ(ProgramBesideSelf(L"Pelkan2.exe", dir), dir + L"Pelkan2.exe");
  EXPECT_EQ(ProgramBesideSelf(L"WEXDO.EXE /rw", dir), dir + L"WEXDO.EXE");
  EXPECT_EQ(ProgramBesideSelf(L"  \"WEXDO.EXE\" /rw", dir), dir + L"WEXDO.EXE");
  EXPECT_EQ(ProgramBesideSelf(L"Pelkan2", dir), dir + L"Pelkan2.exe");  // ".exe" added
  EXPECT_EQ(ProgramBesideSelf(L"Missing.exe", dir), L"");
  EXPECT_EQ(ProgramBesideSelf(L"C:\\windows\\notepad.exe", dir), L"");  // not bare
  EXPECT_EQ(ProgramBesideSelf(L"", dir), L"");
  EXPECT_EQ(ProgramBesideSelf(L"Pelkan2.exe", L""), L"");
}

TEST(ProgramBesideSelf, OwnFolderHoldsTheRunningProgram) {
  const std::wstring folder = kb::ModuleFolderW();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), L'\\');
  EXPECT_NE(GetFileAttributesW((folder + L"tools_win_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(StartLikeWinExec, ReportsAProgramThatCannotBeFound) {
  EXPECT_FALSE(StartLikeWinExec("KbNoSuchProgram_9f3.exe /x", 5));
}

TEST(ShutdownPrivilege, EnablingShowsInTheToken) {
  const bool enabled = EnableShutdownPrivilege();
  EXPECT_EQ(ShutdownPrivilegeEnabled(), enabled);
  // Wine grants it to every process, as Windows does to interactive users.
  EXPECT_TRUE(enabled);
}

}  // namespace
}  // namespace kb::tools

namespace kb::tools {
namespace {

// The shipped files carry a main icon and a version block naming them.
void ExpectIconAndVersion(const std::wstring& file, const std::wstring& originalName) {
  const std::wstring path = kb::ModuleFolderW() + file;
  EXPECT_EQ(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), 1u) << file;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u) << file;
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104B0\\OriginalFilename",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(std::wstring(value), originalName);
}

TEST(ToolResources, IconAndVersionBlock) {
  ExpectIconAndVersion(L"HURTLE.EXE", L"HURTLE.EXE");
  ExpectIconAndVersion(L"Vaulter2.exe", L"Vaulter2.exe");
}

}  // namespace
}  // namespace kb::tools
