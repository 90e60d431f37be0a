// Shared set-up of the launcher's Windows tests: a fresh folder standing in
// for the launcher's own folder, with or without a data folder.
#pragma once

#include <windows.h>

#include <string>

#include "win/testing/temp_folder.h"

namespace kb::testing {

// A new empty folder under the temporary folder (Shift-JIS path with a
// trailing backslash); removed with everything in it when destroyed.
class TempExeFolder {
 public:
  explicit TempExeFolder(const std::string& tag = "kb");
  ~TempExeFolder();
  TempExeFolder(const TempExeFolder&) = delete;
  TempExeFolder& operator=(const TempExeFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string DataPath(const std::string& fileName) const { return path_ + "data\\" + fileName; }

  // Creates the data folder and writes a file there.
  void WriteData(const std::string& fileName, const std::string& bytes) const;
  std::string ReadData(const std::string& fileName) const;

 private:
  std::string path_;
};

// Deletes a folder tree (Shift-JIS path).
using win::testing::RemoveTree;

// The bounds of a child window relative to its parent.
RECT ChildBounds(HWND child);
bool HasVisibleStyle(HWND hwnd);

}  // namespace kb::testing
