// Vaulter2.exe: starts the launcher again once it has closed.
#include <windows.h>

#include "tools/common/companion.h"
#include "tools/win/win_tool_system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Exit code 0 in every case; nothing may escape as a crash dialog.
  try {
    kb::tools::WinToolSystem system;
    kb::tools::RunRestartTool(system, kb::tools::FirstParameterOfThisProcess());
  } catch (...) {
  }
  return 0;
}
