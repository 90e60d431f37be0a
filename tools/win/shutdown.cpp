#include "tools/win/shutdown.h"

#include <windows.h>

#include <vector>

namespace kb::tools {

namespace {

HANDLE OpenOwnToken(DWORD access) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), access, &token)) return nullptr;
  return token;
}

}  // namespace

bool EnableShutdownPrivilege() {
  HANDLE token = OpenOwnToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
  if (!token) return false;
  TOKEN_PRIVILEGES wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = false;
  if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &wanted.Privileges[0].Luid)) {
    // AdjustTokenPrivileges succeeds even when the token lacks the privilege;
    // only the last error tells (ERROR_NOT_ALL_ASSIGNED).
    SetLastError(ERROR_SUCCESS);
    enabled = AdjustTokenPrivileges(token, FALSE, &wanted, 0, nullptr, nullptr) &&
              GetLastError() == ERROR_SUCCESS;
  }
  CloseHandle(token);
  return enabled;
}

bool ShutdownPrivilegeEnabled() {
  LUID shutdown{};
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &shutdown)) return false;
  HANDLE token = OpenOwnToken(TOKEN_QUERY);
  if (!token) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size ? size : 1);
  bool enabled = false;
  if (size && GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
      if (p.Luid.LowPart == shutdown.LowPart && p.Luid.HighPart == shutdown.HighPart) {
        enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
      }
    }
  }
  CloseHandle(token);
  return enabled;
}

void ExitWindowsWithPrivilege(uint32_t flags) {
  EnableShutdownPrivilege();
  // The reserved second argument stays 0; a refusal is not reported.
  ExitWindowsEx(flags, 0);
}

}  // namespace kb::tools
