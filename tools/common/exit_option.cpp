#include "tools/common/exit_option.h"

#include <array>

namespace kb::tools {

namespace {

struct Row {
  std::string_view lower, upper;
  ExitCommand command;
};

// "/l" is a second name of "/p" (power off), not a log-off.
constexpr std::array<Row, 6> kTable{{
    {"/f", "/F", {ExitAction::kExitWindows, kEwxShutdown + kEwxForce + kEwxPowerOff}},
    {"/l", "/L", {ExitAction::kExitWindows, kEwxPowerOff}},
    {"/p", "/P", {ExitAction::kExitWindows, kEwxPowerOff}},
    {"/r", "/R", {ExitAction::kExitWindows, kEwxReboot}},
    {"/w", "/W", {ExitAction::kStartWexdo, 0}},
    {"/s", "/S", {ExitAction::kExitWindows, kEwxShutdown}},
}};

}  // namespace

ExitCommand ExitCommandFor(std::string_view firstParameter) {
  if (firstParameter.empty()) return {ExitAction::kShowUsage, 0};
  for (const Row& row : kTable) {
    if (firstParameter == row.lower || firstParameter == row.upper) return row.command;
  }
  return {};
}

}  // namespace kb::tools
