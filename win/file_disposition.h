// The delete mark and the rename of an open file, on every Windows from XP
// SP3 on.  Vista and later do both through the handle
// (SetFileInformationByHandle); Windows XP marks through the native call
// that function wraps and renames by name once the file is closed.
#pragma once

#include <windows.h>

#include <string>

namespace kb::win {

// The system functions the two ways use; a null entry is one this Windows
// lacks.  Tests take one away to run the other way.
struct FileFunctions {
  using SetInformationProc = BOOL WINAPI(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  using NtSetInformationProc = LONG NTAPI(HANDLE, void* status, void* information, ULONG length,
                                          int informationClass);
  SetInformationProc* setInformation = nullptr;    // kernel32, Vista and later
  NtSetInformationProc* ntSetInformation = nullptr;  // ntdll, every NT
};

// What this Windows has (looked up once).
const FileFunctions& SystemFileFunctions();

// Sets or clears the delete mark of a file opened with DELETE access: a
// marked file goes when its last handle closes, also when the program ends
// abnormally.
bool SetDeleteMark(HANDLE file, bool doDelete,
                   const FileFunctions& functions = SystemFileFunctions());

// Puts the complete, marked file open as `file` (its name `name`) in
// `destination`'s place, replacing what is there, and closes the handle in
// every case.  On failure the file is gone and the destination untouched.
bool ReplaceWithOpenFile(HANDLE file, const std::wstring& name, const std::wstring& destination,
                         const FileFunctions& functions = SystemFileFunctions());

// The same for a complete file that carries no delete mark; on failure the
// file is removed all the same.
bool RenameOpenFile(HANDLE file, const std::wstring& name, const std::wstring& destination,
                    const FileFunctions& functions = SystemFileFunctions());

}  // namespace kb::win
