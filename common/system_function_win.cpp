#include "common/system_function.h"

#include <windows.h>

#include <string>

namespace kb {

namespace {

HMODULE SystemLibrary(const wchar_t* library) {
  if (HMODULE loaded = GetModuleHandleW(library)) return loaded;
  // A full path into the system folder: a bare name would be searched for
  // through the current folder and the PATH, where anyone can plant a file.
  // (LoadLibraryExW's LOAD_LIBRARY_SEARCH_SYSTEM32 would say the same, but
  // Windows XP refuses that flag.)
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  if (path.back() != L'\\') path += L'\\';
  path += library;
  // A missing or damaged library must not bring up the system's error box.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  SetErrorMode(oldMode);
  return module;
}

}  // namespace

void* FindSystemFunction(const wchar_t* library, const char* function) {
  HMODULE module = SystemLibrary(library);
  if (!module) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module, function));
}

}  // namespace kb
