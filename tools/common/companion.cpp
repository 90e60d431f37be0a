#include "tools/common/companion.h"

#include "tools/common/exit_option.h"
#include "tools/common/tick_deadline.h"

namespace kb::tools {

void WaitForLauncherToGo(ToolSystem& system, uint32_t sliceMs) {
  while (system.LauncherPresent()) {
    // A busy poll on purpose: the queue stays served for the system's
    // messages while the launcher shuts down, and the slice ends on time.
    const uint32_t deadline = system.TickCount() + sliceMs;
    do {
      system.ServeOneMessage();
    } while (DeadlineNotPassed(deadline, system.TickCount()));
  }
  system.Sleep(kPauseAfterLauncherMs);
}

void RunExitTool(ToolSystem& system, std::string_view firstParameter) {
  WaitForLauncherToGo(system, kExitToolSliceMs);
  const ExitCommand command = ExitCommandFor(firstParameter);
  switch (command.action) {
    case ExitAction::kShowUsage:
      system.ShowMessage(kExitToolUsage, kExitToolCaption);
      break;
    case ExitAction::kExitWindows:
      system.EndSession(command.flags);
      break;
    case ExitAction::kStartWexdo:
      system.StartProgram(kWindowsOnlyRestartCommand, kShowHide);
      break;
    case ExitAction::kNone:
      break;
  }
}

void RunRestartTool(ToolSystem& system, std::string_view firstParameter) {
  if (firstParameter != kRestartParameter) return;
  WaitForLauncherToGo(system, kRestartToolSliceMs);
  system.StartProgram(kLauncherCommand, kShowShow);
}

}  // namespace kb::tools
