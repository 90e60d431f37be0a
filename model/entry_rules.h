// Rules for the records of program slots and group buttons that do not need
// a window: what a dropped file makes of a record, how dropped names become
// parameters, which names a folder import takes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/launch_data.h"

namespace kb {

// A dropped name is read into a buffer of 255 characters, NUL included.
constexpr std::size_t kDroppedNameBuffer = 255;

// The record a file makes when it is registered: the file itself, its folder
// (with the trailing backslash) as working folder, its name without the
// extension as display name, its own first icon, normal window.  DoBackUp is
// left as it was.
void ApplyFileToRecord(TLaunchData& record, const std::string& path);

// A shortcut is recognised by its extension, lower-cased and cut to four
// characters (so ".LNK" counts).
bool IsShortcutPath(std::string_view path);

// Dropped names handed to a program: each followed by a tab, the last tab
// removed; names are not quoted.
std::string JoinDropParameters(const std::vector<std::string>& names);

// A dropped name that does not fit the 255-character buffer.  Cutting it
// would name another file, so such a name is refused instead.
bool DroppedNameFits(std::string_view name);

// A folder import takes every entry of the folder except "." and "..".
bool IsImportableName(std::string_view name);


}  // namespace kb
