// Starting a program by command line the way WinExec does, through the W API.
#pragma once

#include <string>
#include <string_view>

namespace kb::tools {

// The program a command line names, resolved as WinExec resolves it: a bare
// name (no folder) is looked for in `ownFolder` first, ".exe" added when the
// name has no extension.  Empty when it is not there, which leaves the search
// to CreateProcess (current folder, system folders, PATH).
std::wstring ProgramBesideSelf(std::wstring_view commandLine, const std::wstring& ownFolder);

// Starts the program with STARTF_USESHOWWINDOW and the show command, waits
// as WinExec does until it is ready for input (30 s at most), closes the
// handles and returns whether the process was created.  The command line
// (Shift-JIS) reaches the new process unchanged.
bool StartLikeWinExec(std::string_view commandLine, int showCommand);

}  // namespace kb::tools
