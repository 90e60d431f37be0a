// What the companion tools need from the system.  The Windows program hands
// in the real calls; tests hand in a recorder with a clock of their own, so
// the waiting rules and the actions can be checked without shutting anything
// down.
#pragma once

#include <cstdint>
#include <string_view>

namespace kb::tools {

class ToolSystem {
 public:
  virtual ~ToolSystem() = default;

  // Whether the launcher's application window (by class and title) exists.
  virtual bool LauncherPresent() = 0;
  // The millisecond tick counter (wraps after 49.7 days).
  virtual uint32_t TickCount() = 0;
  // Takes at most one message off the thread's queue and dispatches it,
  // unless it is the quit message.
  virtual void ServeOneMessage() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;

  // Ends the Windows session with ExitWindowsEx flags; the outcome is not
  // examined.
  virtual void EndSession(uint32_t flags) = 0;
  // Starts a program by a command line whose first word is searched in the
  // tool's own folder first; the outcome is not examined.
  virtual void StartProgram(std::string_view commandLine, int showCommand) = 0;
  // A plain modal message box with an OK button and no owner (Shift-JIS).
  virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;
};

}  // namespace kb::tools
