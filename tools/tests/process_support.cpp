#include "tools/tests/process_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace kb::tools::testing {

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(temp) + L"kbtools_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter) + L"\\";
    if (CreateDirectoryW(path_.c_str(), nullptr)) return;
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW((path_ + found.cFileName).c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(path_.c_str());
}

void TempFolder::CopyIn(const std::wstring& source, const std::wstring& name) const {
  CopyFileW(source.c_str(), (path_ + name).c_str(), FALSE);
}

Process::Process(const std::wstring& exe, const std::wstring& arguments,
                 const std::wstring& currentDir) {
  std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

Process::~Process() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> Process::WaitExit(DWORD ms) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

StandinLauncher::StandinLauncher(const std::wstring& title, const std::wstring& sessionFile)
    : title_(title), stopFile_(folder_.path() + L"stop") {
  std::wstring arguments = L"\"" + title + L"\" 60000 \"" + stopFile_ + L"\"";
  if (!sessionFile.empty()) arguments += L" \"" + sessionFile + L"\"";
  process_.emplace(kb::ModuleFolderW() + L"tools_standin_launcher.exe", arguments, L"");
  // Generous: the first window of a fresh prefix takes Wine many seconds.
  WaitUntil([&] { return Present(); }, 30000);
}

StandinLauncher::~StandinLauncher() {
  if (Present()) CloseAndWaitGone();
}

bool StandinLauncher::Present() const {
  return FindWindowW(L"TApplication", title_.c_str()) != nullptr;
}

DWORD StandinLauncher::CloseAndWaitGone() {
  HANDLE f = CreateFileW(stopFile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  // Polled finely: the tools' timing is measured from this moment.
  while (Present()) Sleep(2);
  return GetTickCount();
}

void WaitForStartsToSettle(int chain, DWORD ms) {
  TempFolder folder;
  folder.CopyIn(kb::ModuleFolderW() + L"tools_standins\\WEXDO.EXE", L"settle.exe");
  for (int i = 0; i < chain; ++i) {
    Process control(folder.path() + L"settle.exe", L"", L"");
    control.WaitExit(120000);
  }
  Sleep(ms);
}

bool RecordExists(const std::wstring& exePath) {
  return GetFileAttributesW((exePath + L".record").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<Record> WaitForRecord(const std::wstring& exePath, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!RecordExists(exePath)) {
    if (GetTickCount() - start >= ms) return std::nullopt;
    Sleep(5);
  }
  Record record;
  record.seenAt = GetTickCount();
  std::ifstream in(std::filesystem::path(exePath + L".record"), std::ios::binary);
  std::getline(in, record.commandLine);
  std::getline(in, record.showLine);
  return record;
}

}  // namespace kb::tools::testing
