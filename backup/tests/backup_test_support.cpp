#include "backup/tests/backup_test_support.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <stdexcept>

#include "common/file_io.h"
#include "common/path.h"
#include "win/text.h"

namespace kb::backup_testing {

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
