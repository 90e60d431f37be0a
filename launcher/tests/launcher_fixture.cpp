#include "launcher/tests/launcher_fixture.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/file_io.h"
#include "win/text.h"

namespace kb::testing {

TempExeFolder::TempExeFolder(const std::string& tag) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string base = *win::Narrow(temp);
  path_ = base + tag + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + "\\";
  RemoveTree(path_);
  if (!CreateDirectoryW(win::Widen(path_).c_str(), nullptr)) {
    throw std::runtime_error("cannot make " + path_);
  }
}

TempExeFolder::~TempExeFolder() { RemoveTree(path_); }

void TempExeFolder::WriteData(const std::string& fileName, const std::string& bytes) const {
  CreateDirectoryW(win::Widen(path_ + "data").c_str(), nullptr);
  if (!WriteFileAtomic(DataPath(fileName), bytes)) throw std::runtime_error("cannot write " + fileName);
}

std::string TempExeFolder::ReadData(const std::string& fileName) const {
  return ReadWholeFile(DataPath(fileName)).value_or("");
}

RECT ChildBounds(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool HasVisibleStyle(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace kb::testing
