// The real Pelkan2.exe as another process, driven from outside the way a
// user would: its windows found by class and title, its controls clicked by
// posted messages.  Every wait polls for an event with a deadline.
#pragma once

#include <windows.h>

#include <string>

#include "common/module_folder.h"

namespace kb::process_testing {

// A started program; killed at the end if it is still running.
class Process {
 public:
  Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& currentDir) {
    std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info_)) {
      info_ = {};
    }
  }
  // Takes over the process that owns a window (one this test did not start).
  explicit Process(HWND window) {
    GetWindowThreadProcessId(window, &info_.dwProcessId);
    info_.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                 FALSE, info_.dwProcessId);
  }
  ~Process() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
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
    if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION info_{};
};

// A visible top-level window with that class and title; of process `pid`,
// or, with otherThan set, of any process but `pid`.
inline HWND WaitForWindow(const wchar_t* className, const std::wstring& title, DWORD pid, DWORD ms,
                          bool otherThan = false) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, className, title.c_str())) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if ((owner == pid) != otherThan && IsWindowVisible(found)) return found;
    }
    if (GetTickCount() - start >= ms) return nullptr;
    Sleep(20);
  }
}

template <class Condition>
bool WaitUntil(Condition condition, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= ms) return false;
    Sleep(20);
  }
  return true;
}

// A control of a window by its id, however deep it sits.
inline HWND FindControl(HWND window, int id) {
  struct Search { int id; HWND found; } search{id, nullptr};
  EnumChildWindows(window, [](HWND child, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (GetDlgCtrlID(child) != s->id) return TRUE;
    s->found = child;
    return FALSE;
  }, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline bool Click(HWND control) { return control && PostMessageW(control, BM_CLICK, 0, 0); }

// Every child's text, one a line, as the user reads the window.
inline std::wstring ChildTexts(HWND window) {
  std::wstring texts;
  EnumChildWindows(window, [](HWND child, LPARAM out) {
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    *reinterpret_cast<std::wstring*>(out) += std::wstring(text) + L"\n";
    return TRUE;
  }, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

inline std::wstring Built(const std::wstring& name) { return ModuleFolderW() + name; }

}  // namespace kb::process_testing
