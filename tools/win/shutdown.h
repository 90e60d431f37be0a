// Ending the Windows session.
#pragma once

#include <cstdint>

namespace kb::tools {

// Enables the shutdown privilege in this process's token.  Every Windows of
// the NT line refuses ExitWindowsEx with a shut-down, power-off or reboot flag
// without it; where there is no token or no such privilege this returns false
// and nothing changes.
bool EnableShutdownPrivilege();

// Whether this process's token holds the shutdown privilege enabled.
bool ShutdownPrivilegeEnabled();

// EnableShutdownPrivilege, then ExitWindowsEx(flags, 0) whatever it said.
void ExitWindowsWithPrivilege(uint32_t flags);

}  // namespace kb::tools
