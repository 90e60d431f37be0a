// Stands in for a program the tools start ("Pelkan2.exe", "WEXDO.EXE"):
// records that it ran, with its command line and how it was asked to show,
// in "<own path>.record" beside itself, and ends.
//
// Record: line 1 the command line as received (UTF-8), line 2
// "usesShowWindow=<0|1> show=<n>".
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::vector<wchar_t> self(32768);
  const DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  const std::wstring record = std::wstring(self.data(), n) + L".record";
  const std::wstring temp = record + L".tmp";

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const std::string text = Utf8(GetCommandLineW()) + "\n" + "usesShowWindow=" +
                           std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) +
                           " show=" + std::to_string(startup.wShowWindow) + "\n";
  // Written whole and renamed into place, so a test polling for the record
  // never reads half of it.
  HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  MoveFileExW(temp.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING);
  return 0;
}
