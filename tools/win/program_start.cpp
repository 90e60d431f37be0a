#include "tools/win/program_start.h"

#include <windows.h>

#include <vector>

#include "common/module_folder.h"
#include "common/encoding.h"

namespace kb::tools {

namespace {

// The first word of a command line: quoted, or up to the first blank.
std::wstring ProgramWord(std::wstring_view line) {
  size_t pos = 0;
  while (pos < line.size() && line[pos] <= L' ') ++pos;
  if (pos < line.size() && line[pos] == L'"') {
    const size_t close = line.find(L'"', pos + 1);
    const size_t end = close == line.npos ? line.size() : close;
    return std::wstring(line.substr(pos + 1, end - pos - 1));
  }
  size_t end = pos;
  while (end < line.size() && line[end] > L' ') ++end;
  return std::wstring(line.substr(pos, end - pos));
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring ProgramBesideSelf(std::wstring_view commandLine, const std::wstring& ownFolder) {
  std::wstring name = ProgramWord(commandLine);
  if (name.empty() || ownFolder.empty() || name.find_first_of(L"\\/:") != name.npos) return {};
  if (name.find(L'.') == name.npos) name += L".exe";
  std::wstring path = ownFolder + name;
  return IsFile(path) ? path : std::wstring();
}

bool StartLikeWinExec(std::string_view commandLine, int showCommand) {
  const std::wstring line = WideFromShiftJis(commandLine);
  const std::wstring program = ProgramBesideSelf(line, kb::ModuleFolderW());
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), mutableLine.data(), nullptr,
                      nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  // WinExec returns only once the new program waits for input (its first
  // GetMessage) or 30 s have passed; a GUI program started this way gets
  // the same head start before the tool ends.
  WaitForInputIdle(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace kb::tools
