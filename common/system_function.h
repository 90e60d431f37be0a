// Functions of newer Windows versions, found at run time.  The programs run
// from Windows XP SP3 on, so nothing newer may stand in their import tables:
// a newer function is looked up here, and its caller has a way that works
// without it (Windows only).
#pragma once

namespace kb {

// The address of `function` in the system library `library` (a plain file
// name such as L"kernel32.dll"), or nullptr where this Windows lacks either.
// A library the process has not loaded yet is loaded from the system folder
// by its full path, never through the search path.
void* FindSystemFunction(const wchar_t* library, const char* function);

// The same, typed: SystemFunction<decltype(GetTickCount64)>(L"kernel32.dll",
// "GetTickCount64").
template <class Function>
Function* SystemFunction(const wchar_t* library, const char* function) {
  return reinterpret_cast<Function*>(FindSystemFunction(library, function));
}

}  // namespace kb
