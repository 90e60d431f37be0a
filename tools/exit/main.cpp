// HURTLE.EXE: ends the Windows session once the launcher has closed.
#include <windows.h>

#include "tools/common/companion.h"
#include "tools/win/win_tool_system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The launcher does not look at the result: the exit code is 0 whatever
  // happened, and nothing may escape as a crash dialog.
  try {
    kb::tools::WinToolSystem system;
    kb::tools::RunExitTool(system, kb::tools::FirstParameterOfThisProcess());
  } catch (...) {
  }
  return 0;
}
