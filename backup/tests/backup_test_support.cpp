#include "backup/tests/backup_test_support.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <stdexcept>

#include "common/file_io.h"
#include "common/path.h"
#include "win/text.h"

namespace kb::backup_testing {

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempDir::TempDir(const std::string& tag) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  GetLongPathNameW(temp, temp, MAX_PATH);
  path_ = *win::Narrow(temp) + tag + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++counter) + "\\";
  if (!CreateDirectoryW(win::Widen(path_).c_str(), nullptr)) {
    throw std::runtime_error("cannot make " + path_);
  }
}

TempDir::~TempDir() {
  std::wstring wide = win::Widen(path_);
  wide.pop_back();
  RemoveTree(wide);
}

void TempDir::MakeFolder(const std::string& relative) const {
  CreateDirectoryW(win::Widen(Path(relative)).c_str(), nullptr);
}

void TempDir::Write(const std::string& relative, const std::string& bytes) const {
  const std::string folder = FolderPart(relative);
  if (!folder.empty()) MakeFolder(folder);
  if (!WriteFileAtomic(Path(relative), bytes)) throw std::runtime_error("cannot write " + relative);
}

std::string TempDir::Read(const std::string& relative) const {
  return ReadWholeFile(Path(relative)).value_or("<missing>");
}

bool TempDir::Exists(const std::string& relative) const {
  return GetFileAttributesW(win::Widen(Path(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempDir::List(const std::string& relative) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(win::Widen(Path(relative) + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(win::Narrow(name).value_or("?"));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

ULONGLONG LastWrite(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(win::Widen(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void SetLastWrite(const std::string& path, ULONGLONG time) {
  HANDLE file = CreateFileW(win::Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  FILETIME ft{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SetFileTime(file, nullptr, nullptr, &ft);
  CloseHandle(file);
}

HeldFile::HeldFile(const std::string& path)
    : handle_(CreateFileW(win::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, 0, nullptr)) {}

HeldFile::~HeldFile() {
  if (held()) CloseHandle(handle_);
}

namespace {

std::map<UINT_PTR, std::function<void()>>& Pending() {
  static std::map<UINT_PTR, std::function<void()>> steps;
  return steps;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto it = Pending().find(id);
  if (it == Pending().end()) return;
  std::function<void()> step = std::move(it->second);
  Pending().erase(it);
  step();
}

}  // namespace

UINT_PTR RunLater(std::function<void()> step, UINT delayMs) {
  const UINT_PTR id = SetTimer(nullptr, 0, delayMs, &RunPending);
  Pending()[id] = std::move(step);
  return id;
}

void Cancel(UINT_PTR id) {
  KillTimer(nullptr, id);
  Pending().erase(id);
}

}  // namespace kb::backup_testing
