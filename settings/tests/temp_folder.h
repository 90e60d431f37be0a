// A fresh folder under the temporary folder standing in for the launcher's
// own folder; removed with its files at the end.
#pragma once

#include <windows.h>

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
    CreateDirectoryW(win::Widen(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    for (const char* name : {"Pelkan.HLP", "Pelkan2.hlp"}) DeleteFileW(win::Widen(path_ + name).c_str());
    RemoveDirectoryW(win::Widen(path_).c_str());
  }
  const std::string& path() const { return path_; }
  void Write(const std::string& name, const std::string& bytes) const { WriteFileAtomic(path_ + name, bytes); }

 private:
  std::string path_;
};

}  // namespace kb::testing
