// The folder this program was started from, however long its path (Windows
// only: the launcher, the tools and their tests use it).
#pragma once

#include <optional>
#include <string>

namespace kb {

// The program file's folder in UTF-16, with its trailing backslash; empty
// when Windows cannot tell.
std::wstring ModuleFolderW();

// The same folder in Shift-JIS; nullopt when it is unknown or has a character
// Shift-JIS cannot hold.
std::optional<std::string> ModuleFolder();

}  // namespace kb
