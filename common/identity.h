// The launcher's fixed identity: the companion tools and a second start find
// the running launcher by these strings, so they never change.
#pragma once

namespace kb {

extern const char* const kAppTitle;       // application title and window title
extern const char* const kAppClassName;   // window class of the application window
extern const char* const kMutexName;      // single-instance mutex
extern const char* const kHelpFileName;   // the launcher's help file
extern const char* const kDataFolderName; // beside the executable, with its backslash

}  // namespace kb
