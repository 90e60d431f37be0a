// Real processes for the tools' end-to-end tests: temporary folders, program
// starts, the stand-in launcher and the stand-ins' records.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/module_folder.h"

namespace kb::tools::testing {

// A fresh folder under %TEMP%, removed with its files at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // with backslash
  // Copies a file of the build into this folder under `name`.
  void CopyIn(const std::wstring& source, const std::wstring& name) const;

 private:
  std::wstring path_;
};

// A started process; waits for its end on destruction (and kills it when it
// does not end within a few seconds, so a failing test cannot leave it).
class Process {
 public:
  Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& currentDir);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool started() const { return info_.hProcess != nullptr; }
  // The exit code once it has ended within `ms`, else nullopt.
  std::optional<DWORD> WaitExit(DWORD ms);

 private:
  PROCESS_INFORMATION info_{};
};

// The stand-in launcher: a hidden "TApplication" window with `title` that
// lives until Close() (or 60 s).
class StandinLauncher {
 public:
  explicit StandinLauncher(const std::wstring& title, const std::wstring& sessionFile = L"");
  ~StandinLauncher();
  bool Present() const;
  // Asks it to close and waits until its window has gone; returns the tick
  // count at which the window was seen gone.
  DWORD CloseAndWaitGone();

 private:
  TempFolder folder_;
  std::wstring title_;
  std::wstring stopFile_;
  std::optional<Process> process_;
};

// The record a stand-in program left beside itself ("<exe>.record").
struct Record {
  std::string commandLine;  // UTF-8
  std::string showLine;     // "usesShowWindow=1 show=5"
  DWORD seenAt = 0;         // tick count when the test found it
};
std::optional<Record> WaitForRecord(const std::wstring& exePath, DWORD ms);
bool RecordExists(const std::wstring& exePath);

// Waits until `chain` programs started one after another from now have run
// and ended, then `ms` more.  Checks that a tool started just before has not
// acted yet wait so: by then it has had the time to start, to pause and to
// start another program, also where Wine runs several times slower (the
// 32-bit programs emulated) and a fixed pause may end before the tool even
// ran.  (Such a tool never asks for input: WaitForInputIdle cannot tell.)
void WaitForStartsToSettle(int chain, DWORD ms);

// Polls `condition` every 10 ms for up to `ms`; true when it held.
template <class Condition>
bool WaitUntil(Condition condition, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= ms) return false;
    Sleep(10);
  }
}

}  // namespace kb::tools::testing
