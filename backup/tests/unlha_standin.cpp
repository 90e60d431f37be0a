// A stand-in for the archiver library: it answers UnlhaGetVersion and records
// every Unlha call (owner, buffer size, command line) in "unlha_calls.txt"
// beside itself, one call per line, so a test sees exactly what the launcher
// handed over and from which copy of the library.
#include <windows.h>

#include <string>

namespace {

HMODULE Self() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&Self), &module);
  return module;
}

std::wstring RecordPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(Self(), path, MAX_PATH);
  std::wstring file(path, length);
  return file.substr(0, file.find_last_of(L'\\') + 1) + L"unlha_calls.txt";
}

}  // namespace

extern "C" __declspec(dllexport) WORD WINAPI UnlhaGetVersion() { return 255; }

extern "C" __declspec(dllexport) int WINAPI Unlha(HWND owner, LPCSTR commandLine, LPSTR output,
                                                  DWORD size) {
  const std::string line = "owner=" + std::to_string(reinterpret_cast<UINT_PTR>(owner)) +
                           " size=" + std::to_string(size) + " " + commandLine + "\r\n";
  HANDLE file = CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  if (output && size > 0) lstrcpynA(output, "ok", static_cast<int>(size));
  return 0;
}
