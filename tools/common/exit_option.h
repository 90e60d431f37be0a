// The exit tool's option table: which first parameter asks for what.
#pragma once

#include <cstdint>
#include <string_view>

namespace kb::tools {

// ExitWindowsEx flags, spelled out here so the table stays portable.
inline constexpr uint32_t kEwxShutdown = 1;
inline constexpr uint32_t kEwxReboot = 2;
inline constexpr uint32_t kEwxForce = 4;
inline constexpr uint32_t kEwxPowerOff = 8;

// Show commands of the programs the tools start (SW_HIDE, SW_SHOW).
inline constexpr int kShowHide = 0;
inline constexpr int kShowShow = 5;

// The outside program that restarts Windows alone, with its command line.
inline constexpr std::string_view kWindowsOnlyRestartCommand = "WEXDO.EXE /rw";

enum class ExitAction {
  kNone,         // unknown parameter: end silently
  kShowUsage,    // no parameter: tell the user an option is needed
  kExitWindows,  // ExitWindowsEx with `flags`
  kStartWexdo,   // start kWindowsOnlyRestartCommand hidden
};

struct ExitCommand {
  ExitAction action = ExitAction::kNone;
  uint32_t flags = 0;
};

// Exact, case-sensitive comparison over the whole parameter; the first row of
// the table that matches decides.
ExitCommand ExitCommandFor(std::string_view firstParameter);

}  // namespace kb::tools
