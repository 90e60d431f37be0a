// The real system behind the companion tools.
#pragma once

#include <string>

#include "tools/common/tool_system.h"

namespace kb::tools {

class WinToolSystem : public ToolSystem {
 public:
  bool LauncherPresent() override;
  uint32_t TickCount() override;
  void ServeOneMessage() override;
  void Sleep(uint32_t milliseconds) override;
  void EndSession(uint32_t flags) override;
  void StartProgram(std::string_view commandLine, int showCommand) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
};

// The first parameter of this process's command line in Shift-JIS.  A
// character Shift-JIS cannot hold becomes '?': the parameter is only compared
// with the ASCII options (which it then cannot match) and never stored.
std::string FirstParameterOfThisProcess();

}  // namespace kb::tools
