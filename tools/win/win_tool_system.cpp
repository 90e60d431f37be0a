#include "tools/win/win_tool_system.h"

#include <windows.h>

#include "common/identity.h"
#include "tools/common/command_line.h"
#include "tools/win/program_start.h"
#include "tools/win/shutdown.h"
#include "common/encoding.h"

namespace kb::tools {

bool WinToolSystem::LauncherPresent() {
  static const std::wstring className = WideFromShiftJis(kAppClassName);
  static const std::wstring title = WideFromShiftJis(kAppTitle);
  // Both strings must match: another program's "TApplication" window with a
  // different title is not the launcher.
  return FindWindowW(className.c_str(), title.c_str()) != nullptr;
}

uint32_t WinToolSystem::TickCount() { return GetTickCount(); }

void WinToolSystem::ServeOneMessage() {
  MSG msg;
  // WM_QUIT is taken off the queue but not passed on: the tool has no loop
  // of its own that could end, and the wait must go on regardless.
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void WinToolSystem::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

void WinToolSystem::EndSession(uint32_t flags) { ExitWindowsWithPrivilege(flags); }

void WinToolSystem::StartProgram(std::string_view commandLine, int showCommand) {
  StartLikeWinExec(commandLine, showCommand);
}

void WinToolSystem::ShowMessage(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, WideFromShiftJis(text).c_str(), WideFromShiftJis(caption).c_str(), MB_OK);
}

std::string FirstParameterOfThisProcess() {
  const std::wstring param = FirstParameter(std::wstring_view(GetCommandLineW()));
  if (auto sjis = ShiftJisFromWide(param)) return *sjis;
  std::string replaced;
  for (wchar_t c : param) {
    const wchar_t one[1] = {c};
    replaced += ShiftJisFromWide(std::wstring_view(one, 1)).value_or("?");
  }
  return replaced;
}

}  // namespace kb::tools
