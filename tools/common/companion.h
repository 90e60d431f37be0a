// The two companion programs' whole behaviour, on top of ToolSystem.
//
// Both wait until the launcher's window has gone, so that the launcher has
// saved everything, then pause briefly and act once.
#pragma once

#include <cstdint>
#include <string_view>

#include "tools/common/tool_system.h"

namespace kb::tools {

inline constexpr uint32_t kExitToolSliceMs = 500;
inline constexpr uint32_t kRestartToolSliceMs = 3000;
inline constexpr uint32_t kPauseAfterLauncherMs = 500;

inline constexpr std::string_view kRestartParameter = "/r";
inline constexpr std::string_view kLauncherCommand = "Pelkan2.exe";
inline constexpr std::string_view kExitToolCaption = "Hurtle";
inline constexpr std::string_view kExitToolUsage =
    "実行にはｵﾌﾟｼｮﾝﾊﾟﾗﾒｰﾀが必要です。詳しくはﾍﾙﾌﾟを参照してください。";

// While the launcher's window exists: serve the message queue without
// sleeping for one slice, then look again.  Afterwards pause.
void WaitForLauncherToGo(ToolSystem& system, uint32_t sliceMs);

// The exit tool: waits (even without a parameter), then carries out the
// first parameter's option.
void RunExitTool(ToolSystem& system, std::string_view firstParameter);

// The restart tool: only with exactly "/r" it waits and starts the launcher.
void RunRestartTool(ToolSystem& system, std::string_view firstParameter);

}  // namespace kb::tools
