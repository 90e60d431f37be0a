// Reading shell shortcuts (.lnk) through the shell link object.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "win/shell.h"

namespace kb::win {

// Loads the shortcut, resolves it (any match, owner window for a search the
// shell may show) and reads its target, show command and working folder.
// nullopt when the link object or its file interface is missing, or Load or
// Resolve fails.  Throws UnrepresentableName when the target or the working
// folder has no Shift-JIS form.
std::optional<ShortcutTarget> ReadShortcut(HWND owner, const std::string& linkPath);

}  // namespace kb::win
