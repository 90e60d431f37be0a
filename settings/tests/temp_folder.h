// A fresh folder under the temporary folder standing in for the launcher's
// own folder; removed with its files at the end.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "common/file_io.h"
#include "win/text.h"

namespace kb::testing {

class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = *win::Narrow(temp) + "kbset" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + "\\";
    if (!CreateDirectoryW(win::Widen(path_).c_str(), nullptr)) {
      throw std::runtime_error("cannot make " + path_);
    }
  }
  ~TempFolder() {
    WIN32_FIND_DATAW found;
    const std::wstring wide = win::Widen(path_);
    HANDLE find = FindFirstFileW((wide + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((wide + found.cFileName).c_str());
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    RemoveDirectoryW(wide.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  void Write(const std::string& name, const std::string& bytes) const {
    if (!WriteFileAtomic(path_ + name, bytes)) throw std::runtime_error("cannot write " + name);
  }

 private:
  std::string path_;
};

}  // namespace kb::testing
