// Pelkan2.exe as two real processes: the second start is refused with a
// message while the first keeps running, and closing the first saves.
#include <gtest/gtest.h>

#include <string>

#include "common/file_io.h"
#include "launcher/tests/launcher_fixture.h"
#include "common/module_folder.h"
#include "win/text.h"
#include "win/window.h"

namespace kb {
namespace {

using testing::TempExeFolder;

struct Process {
  PROCESS_INFORMATION info{};
  explicit Process(const std::string& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + win::Widen(exe) + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      info = {};
    }
  }
  ~Process() {
    if (!info.hProcess) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD Wait(DWORD ms) const {
    if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
};

// Polls for a top-level window of `pid` with that class and title.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD pid, DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, className, title)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == pid && (pid == 0 || IsWindowVisible(found) || !wcscmp(className, L"TApplication")))
        return found;
    }
    Sleep(50);
  } while (GetTickCount() < end);
  return nullptr;
}

BOOL CALLBACK AppendChildText(HWND child, LPARAM out) {
  return win::GuardCallback(FALSE, [&] {
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    *reinterpret_cast<std::string*>(out) += win::Narrow(text).value_or("?") + "\n";
    return TRUE;
  });
}

std::string ChildTexts(HWND dialog) {
  std::string texts;
  EnumChildWindows(dialog, &AppendChildText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

TEST(Pelkan2, SecondStartIsRefusedAndTheFirstSavesAtClose) {
  TempExeFolder folder("kbe2e");
  const std::string exe = folder.path() + "Pelkan2.exe";
  const std::string built = kb::ModuleFolder().value() + "Pelkan2.exe";
  ASSERT_TRUE(CopyFileW(win::Widen(built).c_str(), win::Widen(exe).c_str(), FALSE));

  Process first(exe);
  ASSERT_TRUE(first.info.hProcess);
  HWND appWindow = WaitForWindow(L"TApplication", L"Kobarune", first.info.dwProcessId, 20000);
  ASSERT_NE(appWindow, nullptr);
  HWND bar = WaitForWindow(L"TMainForm", L"Kobarune", first.info.dwProcessId, 20000);
  ASSERT_NE(bar, nullptr);

  Process second(exe);
  ASSERT_TRUE(second.info.hProcess);
  HWND message = WaitForWindow(L"TMessageForm", win::Widen("情報").c_str(),
                               second.info.dwProcessId, 20000);
  ASSERT_NE(message, nullptr);
  EXPECT_NE(ChildTexts(message).find("Kobaruneはすでに起動されています。"), std::string::npos);
  // The refused start made no window of its own.
  EXPECT_EQ(WaitForWindow(L"TApplication", L"Kobarune", second.info.dwProcessId, 0), nullptr);
  HWND ok = GetDlgItem(message, IDOK);
  ASSERT_NE(ok, nullptr);
  PostMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(second.Wait(20000), 0u);

  EXPECT_TRUE(first.Running());
  EXPECT_EQ(FindWindowW(L"TApplication", L"Kobarune"), appWindow);
  EXPECT_FALSE(FileExists(folder.path() + "data\\KBINI.dat"));

  PostMessageW(bar, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.Wait(20000), 0u);
  EXPECT_TRUE(FileExists(folder.path() + "data\\KBINI.dat"));
  EXPECT_TRUE(FileExists(folder.path() + "data\\Iconbmp.dat"));
  EXPECT_EQ(FindWindowW(L"TApplication", L"Kobarune"), nullptr);
}

}  // namespace
}  // namespace kb
