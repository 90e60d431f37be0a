// Reading shell shortcuts (.lnk) through the shell link object.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "win/shell.h"

namespace kb::win {

// Loads the shortcut, resolves it (any match; with LinkUi::Allowed the shell
// may show a search, owned by `owner`) and reads its target, show command and
// working folder.  COM must be initialised on the calling thread (the
// launcher does it once at start, ComApartment).  nullopt when the link
// object or its file interface is missing, or Load or Resolve fails.  Throws
// UnrepresentableName when the target or the working folder has no
// Shift-JIS form.
std::optional<ShortcutTarget> ReadShortcut(HWND owner, const std::string& linkPath, LinkUi ui);

}  // namespace kb::win
