// The real Pelkan2.exe as another process, driven from outside as a user
// would: windows found by class and title, controls clicked by posted
// messages.  Every wait polls for an event with a deadline.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "common/module_folder.h"
#include "win/window.h"

namespace kb::process_testing {

// A started program (or, made from a window, the program owning it); killed
// at the end if it still runs.
class Process {
 public:
  Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& currentDir) {
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info_)) {
      info_ = {};
    }
  }
  explicit Process(HWND window) {
    GetWindowThreadProcessId(window, &info_.dwProcessId);
    info_.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                 FALSE, info_.dwProcessId);
  }
  ~Process() {
    if (!info_.hProcess) return;
    if (Running()) TerminateProcess(info_.hProcess, 99);
    if (info_.hThread) CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  // The exit code once it has ended within ms, else 0xFFFFFFFF.
  DWORD Wait(DWORD ms) const {
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
};

template <class Condition>
bool WaitUntil(Condition condition, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= ms) return false;
    Sleep(20);
  }
  return true;
}

// A visible top-level window with that class and title, of process `pid`
// (with otherThan: of any other process); nullptr after ms.
inline HWND WaitForWindow(const wchar_t* className, const std::wstring& title, DWORD pid, DWORD ms,
                          bool otherThan = false) {
  HWND result = nullptr;
  WaitUntil([&] {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, title.c_str())) != nullptr;) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if ((owner == pid) != otherThan && IsWindowVisible(w)) return (result = w) != nullptr;
    }
    return false;
  }, ms);
  return result;
}

// Enumeration callbacks are stdcall functions: a lambda would not convert
// to one in a 32-bit build.
inline BOOL CALLBACK MatchId(HWND child, LPARAM p) {
  auto* s = reinterpret_cast<std::pair<int, HWND>*>(p);
  if (GetDlgCtrlID(child) == s->first) s->second = child;
  return s->second ? FALSE : TRUE;
}
inline BOOL CALLBACK AppendText(HWND child, LPARAM out) {
  return kb::win::GuardCallback(FALSE, [&] {
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    *reinterpret_cast<std::wstring*>(out) += std::wstring(text) + L"\n";
    return TRUE;
  });
}

// A control by its id, however deep it sits; clicked by a posted BM_CLICK.
inline HWND FindControl(HWND window, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(window, &MatchId, reinterpret_cast<LPARAM>(&search));
  return search.second;
}
inline bool Click(HWND control) { return control && PostMessageW(control, BM_CLICK, 0, 0); }

// Every child's text, one a line, as the user reads the window.
inline std::wstring ChildTexts(HWND window) {
  std::wstring texts;
  EnumChildWindows(window, &AppendText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

inline std::wstring Built(const std::wstring& name) { return ModuleFolderW() + name; }

}  // namespace kb::process_testing
