// Stand-in for a launched program: writes what it was started with (its
// command line, current folder and the show command it was given) to the file
// named by KB_LAUNCH_RECORD, or to "launch_record.txt" beside itself.  One
// line each, UTF-8, so a test can compare exactly.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring RecordPath() {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD n = GetEnvironmentVariableW(L"KB_LAUNCH_RECORD", buffer, MAX_PATH * 2);
  if (n > 0 && n < MAX_PATH * 2) return buffer;
  GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
  std::wstring self = buffer;
  return self.substr(0, self.find_last_of(L'\\') + 1) + L"launch_record.txt";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int showCmd) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const int shown = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : showCmd;
  wchar_t folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, folder);

  const std::string text = "cmdline=" + Utf8(GetCommandLineW()) + "\n" + "folder=" +
                           Utf8(folder) + "\n" + "show=" + std::to_string(shown) + "\n";
  // Written under a temporary name and renamed, so a test polling for the
  // file never reads it half written.
  const std::wstring target = RecordPath();
  const std::wstring temporary = target + L".part";
  HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
